#include "game/Client.h"
#include "game/TableFlow.h"
#include "table/TableWidget.h"

#include <QPointer>

namespace kelpo {

namespace {

int ButtonNumber(int qtButton)
{
    switch (qtButton) {
    case Qt::LeftButton: return 1;
    case Qt::RightButton: return 2;
    case Qt::MiddleButton: return 4;
    default: return 0;
    }
}

} // namespace

void ConnectTableFlowControls(Client& client)
{
    RoomView& room = client.room;
    Client* c = &client;
    // Calling again replaces the connections instead of doubling them.
    if (YuClock* clock = room.YuClock) {
        QObject::disconnect(clock, nullptr, c, nullptr);
        QObject::connect(clock, &YuClock::Ticked, c, [c] { YuClock_Tick(*c); });
        QObject::connect(clock, &YuClock::Warning, c, [c] { YuClock_Warning(*c); });
        QObject::connect(clock, &YuClock::Expired, c, [c] { OnTurnExpired(*c); });
    }
    if (QTimer* timer = room.tmrPaintLastOutPai) {
        QObject::disconnect(timer, nullptr, c, nullptr);
        QObject::connect(timer, &QTimer::timeout, c, [c] { tmrPaintLastOutPai_Timer(*c); });
    }
    if (auto* table = qobject_cast<TableWidget*>(room.picGameBack.data())) {
        table->MouseMove = [c](int, int x, int y) { picGameBack_MouseMove(*c, x, y); };
        table->MouseUp = [c](int button, int x, int y) { picGameBack_MouseUp(*c, ButtonNumber(button), x, y); };
        table->KeyDown = [c](int key) { return picGameBack_KeyDown(*c, key); };
    }
}

} // namespace kelpo
