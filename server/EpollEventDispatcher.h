#pragma once
// An event dispatcher for a thread that holds many sockets, most of them
// quiet at any moment. The stock one asks the kernel about every registered
// socket on each pass of the event loop, so a thread with hundreds of
// connections pays for all of them on every message and every tick; this
// one keeps the sockets registered with the kernel (epoll) and is told only
// about those that are ready.
//
// Only what epoll can watch may be watched (sockets, pipes, eventfds; not
// regular files). Install it before the thread's event loop exists:
// QCoreApplication::setEventDispatcher before the application object, or
// QThread::setEventDispatcher before start().

#include <QAbstractEventDispatcher>

#include <array>
#include <chrono>
#include <cstdint>
#include <map>
#include <unordered_map>
#include <vector>

namespace kelpo::server {

class EpollEventDispatcher : public QAbstractEventDispatcher {
public:
    explicit EpollEventDispatcher(QObject* parent = nullptr);
    ~EpollEventDispatcher() override;

    bool processEvents(QEventLoop::ProcessEventsFlags flags) override;

    void registerSocketNotifier(QSocketNotifier* notifier) override;
    void unregisterSocketNotifier(QSocketNotifier* notifier) override;

    void registerTimer(int timerId, qint64 interval, Qt::TimerType timerType, QObject* object) override;
    bool unregisterTimer(int timerId) override;
    bool unregisterTimers(QObject* object) override;
    QList<TimerInfo> registeredTimers(QObject* object) const override;
    int remainingTime(int timerId) override;

    void wakeUp() override;
    void interrupt() override;

private:
    using Clock = std::chrono::steady_clock;

    struct Watched {
        // Read, write and exception notifiers, by QSocketNotifier::Type.
        std::array<QSocketNotifier*, 3> notifiers{};
        // Bumped on every change, so a readiness reported for a notifier
        // that has since been replaced on a reused descriptor is dropped.
        std::array<std::uint64_t, 3> serial{};
        // What the kernel was last told; 0 while not registered there.
        std::uint32_t events = 0;
        bool pending = false;
    };
    struct Timer {
        qint64 intervalMs = 0;
        Qt::TimerType type = Qt::CoarseTimer;
        QObject* object = nullptr;
        Clock::time_point due;
        // Its event is being delivered: a nested loop must not deliver it again.
        bool firing = false;
    };

    // A new or emptied descriptor is told to the kernel at once; a change
    // between two interests waits for applyInterest before the next wait,
    // so a write notifier switched on and off again within one pass (a
    // write flushed at once) costs nothing.
    void updateInterest(int fd, Watched& watched);
    void applyInterest(int fd, Watched& watched);
    void applyPendingInterest();
    // Milliseconds until the next timer is due; -1 when there is none.
    int nextTimeoutMs() const;
    int activateTimers();
    int activateSockets(int ready);

    int epoll_ = -1;
    int wake_ = -1;
    std::unordered_map<int, Watched> watched_;
    std::vector<int> pendingInterest_;
    std::map<int, Timer> timers_;
    std::uint64_t nextSerial_ = 1;
    QAtomicInt interrupted_ = 0;
};

} // namespace kelpo::server
