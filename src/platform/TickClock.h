#pragma once
// The millisecond tick count behind every wait and countdown. Code takes a
// TickClock so tests can set the time instead of sleeping.

#include <QElapsedTimer>

#include <cstdint>

namespace kelpo {

class TickClock {
public:
    virtual ~TickClock() = default;
    // Milliseconds since an arbitrary start; never goes backwards.
    virtual std::int64_t TickCount() const = 0;
};

// The real, steady clock.
class SteadyTickClock final : public TickClock {
public:
    SteadyTickClock() { timer_.start(); }
    std::int64_t TickCount() const override { return timer_.elapsed(); }

private:
    QElapsedTimer timer_;
};

// A clock that moves only when told to.
class ManualTickClock final : public TickClock {
public:
    explicit ManualTickClock(std::int64_t start = 0) : now_(start) {}
    std::int64_t TickCount() const override { return now_; }
    void advance(std::int64_t ms)
    {
        if (ms > 0)
            now_ += ms;
    }

private:
    std::int64_t now_;
};

// The program's one real clock, for code that is not given another.
TickClock& SystemTickClock();

} // namespace kelpo
