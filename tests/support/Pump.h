#pragma once
// Runs events until a condition holds or ms milliseconds have passed; for
// tests that talk to a socket on the loopback interface.

#include <QCoreApplication>
#include <QElapsedTimer>

#include <functional>

namespace kelpo::test {

inline bool PumpUntil(const std::function<bool()>& done, int ms = 5000)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

} // namespace kelpo::test
