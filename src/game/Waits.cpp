#include "game/Waits.h"

#include "game/Client.h"
#include "platform/TickClock.h"

#include <QCoreApplication>
#include <QTimer>

namespace kelpo {

namespace {

// One pass of the event loop inside a handler. Events posted before the
// handler ran may still be pending (the window's repaint among them), and
// the loop would leave them until something new is posted: they go first.
void Pass(QEventLoop::ProcessEventsFlags flags)
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(flags);
}

// A pass unless the program is ending; false when it is, before or after.
bool PassUnlessQuitting(Client& client, QEventLoop::ProcessEventsFlags flags)
{
    if (client.state.globals.QuitRequested)
        return false;
    Pass(flags);
    return !client.state.globals.QuitRequested;
}

} // namespace

bool PumpEvents(Client& client)
{
    return PassUnlessQuitting(client, QEventLoop::AllEvents);
}

NestedLoop::NestedLoop(Client& client) : client_(client) { client_.enterWait(); }
NestedLoop::~NestedLoop() { client_.leaveWait(); }

bool WaitMilliseconds(Client& client, std::int64_t ms)
{
    const NestedLoop nested(client);
    const std::int64_t start = client.clock().TickCount();
    // A pass that does not block first: what is pending is delivered, and a
    // wait that is over by then has no timer to make and nothing to sleep on.
    if (!PassUnlessQuitting(client, QEventLoop::AllEvents))
        return false;
    if (client.clock().TickCount() - start >= ms)
        return true;
    // Only wakes an idle pass so the clock is read again: a pass with events
    // pending returns at once, so messages that arrive during the wait are
    // handled as fast as outside it, while an idle wait does not spin.
    QTimer wake;
    wake.setTimerType(Qt::PreciseTimer);
    wake.start(2);
    for (;;) {
        if (!PassUnlessQuitting(client, QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents))
            return false;
        if (client.clock().TickCount() - start >= ms)
            return true;
    }
}

} // namespace kelpo
