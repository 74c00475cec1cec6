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
        std::uint32_t events = 0;
    };
    struct Timer {
        qint64 intervalMs = 0;
        Qt::TimerType type = Qt::CoarseTimer;
        QObject* object = nullptr;
        Clock::time_point due;
        // Its event is being delivered: a nested loop must not deliver it again.
        bool firing = false;
    };

    void updateInterest(int fd, Watched& watched);
    // Milliseconds until the next timer is due; -1 when there is none.
    int nextTimeoutMs() const;
    int activateTimers();
    int activateSockets(int ready);

    int epoll_ = -1;
    int wake_ = -1;
    std::unordered_map<int, Watched> watched_;
    std::map<int, Timer> timers_;
    std::uint64_t nextSerial_ = 1;
    QAtomicInt interrupted_ = 0;
};

} // namespace kelpo::server
