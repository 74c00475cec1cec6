#pragma once
// The parts of the main window that message handlers and the table flow
// reach through the client. The window fills them when it loads and clears
// them when it unloads; until then and afterwards each is null, so every
// user checks before use and never touches a window that is going away.

#include "controls/QelChat.h"
#include "controls/QelList.h"
#include "controls/YuClock.h"
#include "settings/frmGameSet.h"
#include "shop/frmDaoJuMaket.h"

#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

namespace kelpo {

class TablePainter;

struct RoomView {
    QPointer<QWidget> frmGameMain;
    QPointer<QWidget> picGameBack;
    QPointer<kelpo::QelList> lstUser;
    QPointer<kelpo::QelChat> QelChat;
    QPointer<kelpo::YuClock> YuClock;
    // Start countdown: interval 1000 ms, tag (property "tag") "20".
    QPointer<QTimer> tmrStart;
    // Previous-round view: interval 1000 ms.
    QPointer<QTimer> tmrPaintLastOutPai;
    // The table view drawing into picGameBack; owned by the main window.
    TablePainter* painter = nullptr;
    // The start button between hands, a child of picGameBack.
    QPointer<QPushButton> cmdStart;
    // The one table-settings dialog while it is open.
    QPointer<kelpo::frmGameSet> gameSet;
    // The item shop while it is open.
    QPointer<kelpo::frmDaoJuMaket> daoJuMaket;
};

} // namespace kelpo
