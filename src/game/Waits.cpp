#include "game/Waits.h"

#include "game/Client.h"
#include "platform/TickClock.h"

#include <QCoreApplication>
#include <QThread>

#include <algorithm>

namespace kelpo {

bool PumpEvents(Client& client)
{
    if (client.state.globals.QuitRequested)
        return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    return !client.state.globals.QuitRequested;
}

namespace {

struct NestedWait {
    explicit NestedWait(Client& c) : client(c) { client.enterWait(); }
    ~NestedWait() { client.leaveWait(); }
    Client& client;
};

} // namespace

bool WaitMilliseconds(Client& client, std::int64_t ms)
{
    const NestedWait nested(client);
    const std::int64_t start = client.clock().TickCount();
    for (;;) {
        if (!PumpEvents(client))
            return false;
        const std::int64_t passed = client.clock().TickCount() - start;
        if (passed >= ms)
            return true;
        // Yield the processor between passes rather than spin; events that
        // arrive meanwhile are handled on the next pass.
        QThread::msleep(static_cast<unsigned long>(std::clamp<std::int64_t>(ms - passed, 0, 2)));
    }
}

} // namespace kelpo
