#include "server/EpollEventDispatcher.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimerEvent>

#include <algorithm>
#include <cerrno>
#include <poll.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <unistd.h>
#include <vector>

namespace kelpo::server {

namespace {

// Readiness reported at once; the rest waits for the next pass.
constexpr int MaxEvents = 256;

// What wakes each kind of notifier, as the stock dispatcher does: a hang-up
// or an error is something to read (the socket learns of it by reading).
constexpr std::uint32_t ReadEvents = EPOLLIN | EPOLLRDHUP | EPOLLHUP | EPOLLERR;
constexpr std::uint32_t WriteEvents = EPOLLOUT | EPOLLERR;
constexpr std::uint32_t ExceptionEvents = EPOLLPRI;
constexpr std::array<std::uint32_t, 3> WakingEvents{ReadEvents, WriteEvents, ExceptionEvents};
constexpr std::array<std::uint32_t, 3> InterestEvents{EPOLLIN | EPOLLRDHUP, EPOLLOUT, EPOLLPRI};

// A coarse timer may fire this early (a twentieth of its interval), so that
// timers falling due close together share one wake-up; being rescheduled
// from when they fired, such timers stay together from then on.
std::chrono::milliseconds Slack(qint64 intervalMs, Qt::TimerType type)
{
    return std::chrono::milliseconds(type == Qt::PreciseTimer ? 0 : intervalMs / 20);
}

} // namespace

EpollEventDispatcher::EpollEventDispatcher(QObject* parent) : QAbstractEventDispatcher(parent)
{
    epoll_ = epoll_create1(EPOLL_CLOEXEC);
    wake_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (epoll_ < 0 || wake_ < 0)
        qFatal("EpollEventDispatcher: no epoll or eventfd descriptor (errno %d)", errno);
    epoll_event ev{};
    ev.events = EPOLLIN;
    ev.data.fd = wake_;
    epoll_ctl(epoll_, EPOLL_CTL_ADD, wake_, &ev);
}

EpollEventDispatcher::~EpollEventDispatcher()
{
    close(wake_);
    close(epoll_);
}

bool EpollEventDispatcher::processEvents(QEventLoop::ProcessEventsFlags flags)
{
    interrupted_.storeRelaxed(0);
    emit awake();
    // Events posted from here on write the wake-up descriptor, so the wait
    // below returns at once for them.
    QCoreApplication::sendPostedEvents();
    if (interrupted_.loadRelaxed())
        return false;

    const bool includeTimers = !(flags & QEventLoop::X11ExcludeTimers);
    const bool includeSockets = !(flags & QEventLoop::ExcludeSocketNotifiers);
    int timeoutMs = 0;
    if (flags & QEventLoop::WaitForMoreEvents) {
        timeoutMs = includeTimers ? nextTimeoutMs() : -1;
        if (timeoutMs != 0)
            emit aboutToBlock();
    }

    int handled = 0;
    if (includeSockets) {
        applyPendingInterest();
        std::array<epoll_event, MaxEvents> events;
        const int ready = epoll_wait(epoll_, events.data(), MaxEvents, timeoutMs);
        // Collected before any is delivered: a handler may close or replace
        // any of the others.
        struct Pending {
            int fd;
            int type;
            QSocketNotifier* notifier;
            std::uint64_t serial;
        };
        std::vector<Pending> pending;
        for (int i = 0; i < ready; ++i) {
            const int fd = events[i].data.fd;
            if (fd == wake_) {
                eventfd_t count;
                eventfd_read(wake_, &count);
                continue;
            }
            const auto it = watched_.find(fd);
            if (it == watched_.end())
                continue;
            for (int type = 0; type < 3; ++type)
                if (it->second.notifiers[type] && (events[i].events & WakingEvents[type]))
                    pending.push_back({fd, type, it->second.notifiers[type], it->second.serial[type]});
        }
        for (const Pending& p : pending) {
            const auto it = watched_.find(p.fd);
            if (it == watched_.end() || it->second.notifiers[p.type] != p.notifier
                || it->second.serial[p.type] != p.serial)
                continue;
            QEvent event(QEvent::SockAct);
            QCoreApplication::sendEvent(p.notifier, &event);
            ++handled;
        }
    } else {
        // Ready sockets would end the wait at once; only a wake-up or a
        // timer may.
        pollfd wake{wake_, POLLIN, 0};
        if (poll(&wake, 1, timeoutMs) > 0) {
            eventfd_t count;
            eventfd_read(wake_, &count);
        }
    }
    if (includeTimers)
        handled += activateTimers();
    return handled > 0;
}

void EpollEventDispatcher::updateInterest(int fd, Watched& watched)
{
    if (watched.events == 0 || !(watched.notifiers[0] || watched.notifiers[1] || watched.notifiers[2])) {
        applyInterest(fd, watched);
    } else if (!watched.pending) {
        watched.pending = true;
        pendingInterest_.push_back(fd);
    }
}

void EpollEventDispatcher::applyInterest(int fd, Watched& watched)
{
    watched.pending = false;
    std::uint32_t events = 0;
    for (int type = 0; type < 3; ++type)
        if (watched.notifiers[type])
            events |= InterestEvents[type];
    epoll_event ev{};
    ev.events = events;
    ev.data.fd = fd;
    if (events == 0) {
        // The descriptor may be closed already, which removed it.
        epoll_ctl(epoll_, EPOLL_CTL_DEL, fd, &ev);
    } else if (watched.events == 0) {
        if (epoll_ctl(epoll_, EPOLL_CTL_ADD, fd, &ev) < 0 && errno == EEXIST)
            epoll_ctl(epoll_, EPOLL_CTL_MOD, fd, &ev);
    } else if (events != watched.events) {
        // A closed and reused descriptor is no longer registered.
        if (epoll_ctl(epoll_, EPOLL_CTL_MOD, fd, &ev) < 0 && errno == ENOENT)
            epoll_ctl(epoll_, EPOLL_CTL_ADD, fd, &ev);
    }
    watched.events = events;
}

void EpollEventDispatcher::applyPendingInterest()
{
    for (const int fd : pendingInterest_)
        if (const auto it = watched_.find(fd); it != watched_.end() && it->second.pending)
            applyInterest(fd, it->second);
    pendingInterest_.clear();
}

void EpollEventDispatcher::registerSocketNotifier(QSocketNotifier* notifier)
{
    const int fd = static_cast<int>(notifier->socket());
    const int type = static_cast<int>(notifier->type());
    if (fd < 0 || type < 0 || type > 2)
        return;
    Watched& watched = watched_[fd];
    watched.notifiers[type] = notifier;
    watched.serial[type] = nextSerial_++;
    updateInterest(fd, watched);
}

void EpollEventDispatcher::unregisterSocketNotifier(QSocketNotifier* notifier)
{
    const int fd = static_cast<int>(notifier->socket());
    const int type = static_cast<int>(notifier->type());
    const auto it = watched_.find(fd);
    if (it == watched_.end() || type < 0 || type > 2 || it->second.notifiers[type] != notifier)
        return;
    it->second.notifiers[type] = nullptr;
    it->second.serial[type] = nextSerial_++;
    updateInterest(fd, it->second);
    if (it->second.events == 0)
        watched_.erase(it);
}

void EpollEventDispatcher::registerTimer(int timerId, qint64 interval, Qt::TimerType timerType, QObject* object)
{
    Timer& timer = timers_[timerId];
    timer.intervalMs = std::max<qint64>(interval, 0);
    timer.type = timerType;
    timer.object = object;
    timer.due = Clock::now() + std::chrono::milliseconds(timer.intervalMs);
    timer.firing = false;
}

bool EpollEventDispatcher::unregisterTimer(int timerId) { return timers_.erase(timerId) > 0; }

bool EpollEventDispatcher::unregisterTimers(QObject* object)
{
    const auto removed = std::erase_if(timers_, [object](const auto& entry) { return entry.second.object == object; });
    return removed > 0;
}

QList<QAbstractEventDispatcher::TimerInfo> EpollEventDispatcher::registeredTimers(QObject* object) const
{
    QList<TimerInfo> list;
    for (const auto& [id, timer] : timers_)
        if (timer.object == object)
            list.append(TimerInfo(id, static_cast<int>(timer.intervalMs), timer.type));
    return list;
}

int EpollEventDispatcher::remainingTime(int timerId)
{
    const auto it = timers_.find(timerId);
    if (it == timers_.end())
        return -1;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(it->second.due - Clock::now()).count();
    return static_cast<int>(std::max<std::int64_t>(left, 0));
}

int EpollEventDispatcher::nextTimeoutMs() const
{
    const Clock::time_point now = Clock::now();
    std::int64_t best = -1;
    for (const auto& [id, timer] : timers_) {
        if (timer.firing)
            continue;
        const auto left = std::max<std::int64_t>(
            std::chrono::ceil<std::chrono::milliseconds>(timer.due - now).count(), 0);
        if (best < 0 || left < best)
            best = left;
    }
    return static_cast<int>(std::min<std::int64_t>(best, 24 * 3600 * 1000));
}

int EpollEventDispatcher::activateTimers()
{
    const Clock::time_point now = Clock::now();
    // Only the timers due now, in the order they fell due: a timer started
    // by a handler waits for the next pass, so a zero timer cannot starve
    // the sockets.
    std::vector<std::pair<Clock::time_point, int>> due;
    for (const auto& [id, timer] : timers_)
        if (!timer.firing && timer.due - Slack(timer.intervalMs, timer.type) <= now)
            due.emplace_back(timer.due, id);
    std::sort(due.begin(), due.end());
    int fired = 0;
    for (const auto& [when, id] : due) {
        auto it = timers_.find(id);
        if (it == timers_.end())
            continue;
        Timer& timer = it->second;
        if (timer.firing || timer.due - Slack(timer.intervalMs, timer.type) > now)
            continue;
        const auto interval = std::chrono::milliseconds(timer.intervalMs);
        if (timer.type == Qt::PreciseTimer) {
            timer.due += interval;
            // A late timer does not fire again and again to catch up.
            if (timer.due <= now)
                timer.due = now + interval;
        } else {
            timer.due = now + interval;
        }
        timer.firing = true;
        QTimerEvent event(id);
        QCoreApplication::sendEvent(timer.object, &event);
        ++fired;
        it = timers_.find(id);
        if (it != timers_.end())
            it->second.firing = false;
    }
    return fired;
}

void EpollEventDispatcher::wakeUp() { eventfd_write(wake_, 1); }

void EpollEventDispatcher::interrupt()
{
    interrupted_.storeRelaxed(1);
    wakeUp();
}

} // namespace kelpo::server
