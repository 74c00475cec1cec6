#include "room/frmGameMain.h"

#include "controls/QelAdvWeb.h"
#include "controls/QelChat.h"
#include "controls/QelList.h"
#include "controls/SplitterBar.h"
#include "controls/YuClock.h"
#include "game/Client.h"
#include "game/RoomMessages.h"
#include "game/ShopFlow.h"
#include "game/TableFlow.h"
#include "game/TurnFlow.h"
#include "game/Waits.h"
#include "net/Packet.h"
#include "room/AdvertPane.h"
#include "room/SiteBase.h"
#include "room/UserButtonStrip.h"
#include "room/frmHandReview.h"
#include "room/UserCard.h"
#include "room/VSplitterBar.h"
#include "settings/UserSet.h"
#include "skin/MsgPool.h"
#include "state/CardStateOps.h"
#include "state/Session.h"
#include "table/TablePainter.h"
#include "table/TableWidget.h"

#include <QApplication>
#include <QAction>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QCursor>
#include <QFrame>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>

namespace kelpo {

namespace {

const QString ForceQuitQuestion =
    QStringLiteral("大伙正在游戏，如果你现在退出是很不道德的，并且系统会算你逃跑！你是否强退？");

QStringList ColumnTitles(std::uint8_t scoreKind)
{
    return {QStringLiteral("用户名"), QStringLiteral("用户ID"),
            scoreKind == 0 ? QStringLiteral("经验") : QStringLiteral("积分"),
            QStringLiteral("级别"), QStringLiteral("旁观对象"), QStringLiteral("总局数"),
            QStringLiteral("胜率"), QStringLiteral("逃跑率"), QStringLiteral("胜"),
            QStringLiteral("输"), QStringLiteral("和"), QStringLiteral("人物类型"),
            QStringLiteral("图标号"), QStringLiteral("实际椅子号"), QStringLiteral("举手"),
            QStringLiteral("掉线")};
}

} // namespace

frmGameMain::frmGameMain(Client& client, QWidget* parent)
    : QWidget(parent), painter(std::make_unique<TablePainter>(client.state)), famGameBack(new QFrame(this)),
      picGameBack(new TableWidget(*painter, famGameBack)),
      picSplitter(new VSplitterBar(this)), picUserButBk(new UserButtonStrip(this, frameImages_)),
      lstUser(new QelList(this)), cmdReview(new QPushButton(QStringLiteral("上局回顾"), lstUser)),
      HSplitterBar(new SplitterBar(this)), picAdvBack(new AdvertPane(this)), advWeb(new QelAdvWeb(picAdvBack)),
      HSplitterBar1(new SplitterBar(this)), chat(new QelChat(this)), timeBar(new YuClock(picGameBack)),
      client_(client)
{
    ClientState& s = client_.state;
    setAttribute(Qt::WA_DeleteOnClose, false);
    // The window draws its own caption and border and moves and sizes
    // itself from them.
    setWindowFlag(Qt::FramelessWindowHint, true);
    setMouseTracking(true);
    setMinimumSize(FrameZones::MinimumSize);

    tmrForm.setInterval(100);
    connect(&tmrForm, &QTimer::timeout, this, &frmGameMain::PollFrameZone);
    tmrForm.start();

    setWindowTitle(s.globals.GameName);
    setUpUserList();
    setUpChat();

    tmrStart.stop();
    tmrStart.setInterval(1000);
    tmrStart.setProperty("tag", QStringLiteral("20"));

    LoadUserSet(s);

    tmrPaintLastOutPai.stop();
    tmrPaintLastOutPai.setInterval(1000);

    // Window and pane colours, the advert page.
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(250, 250, 250));
    setPalette(pal);
    setAutoFillBackground(true);
    famGameBack->setFrameShape(QFrame::NoFrame);
    painter->TableBackColor = qRgb(41, 73, 123);
    painter->YuClockControl = timeBar;
    painter->WaitMilliseconds = [this](int ms) { WaitMilliseconds(client_, ms); };
    HSplitterBar->setColor(QColor(250, 250, 250));
    HSplitterBar->setBarHeight(5);
    HSplitterBar1->setColor(QColor(250, 250, 250));
    HSplitterBar1->setBarHeight(5);
    connect(HSplitterBar, &SplitterBar::positionChanged, this, &frmGameMain::HSplitterBar_PositionChanged);
    connect(HSplitterBar1, &SplitterBar::positionChanged, this, &frmGameMain::HSplitterBar1_PositionChanged);
    connect(HSplitterBar, &SplitterBar::moving, this, [this] { HSplitterSkip = true; });
    connect(HSplitterBar1, &SplitterBar::moving, this, [this] { HSplitter1Skip = true; });
    picUserButBk->setAppPath(s.globals.AppPath);
    picUserButBk->setFrameBusy([this] { return frameZone_ != FrameZone::None || drag_.active; });
    connect(picUserButBk, &UserButtonStrip::buttonReleased, this, &frmGameMain::DoUserButton);
    picAdvBack->setView(advWeb);
    picSplitter->setAppPath(s.globals.AppPath);
    picSplitter->setBusy([this] { return client_.state.view.BombPlaying; });
    connect(picSplitter, &VSplitterBar::toggleRequested, this, &frmGameMain::ToggleRoomPane);
    connect(picSplitter, &VSplitterBar::moveRequested, this, &frmGameMain::MoveSplitterTo);
    advWeb->setMode(1);
    advWeb->Navigate(AdvertPageUrl(s));
    timeBar->SetTag(QStringLiteral("100"));

    const QScreen* screen = QGuiApplication::primaryScreen();
    InitLayout(screen ? screen->size() : QSize(1024, 768));

    RoomView& room = client_.room;
    room.frmGameMain = this;
    room.picGameBack = picGameBack;
    room.painter = painter.get();
    room.lstUser = lstUser;
    room.QelChat = chat;
    room.YuClock = timeBar;
    room.tmrStart = &tmrStart;
    room.tmrPaintLastOutPai = &tmrPaintLastOutPai;

    connect(&client_, &Client::unloadRequested, this, &frmGameMain::Unload);

    cmdReview->setEnabled(client_.handRecorder().lastHand().has_value());
    cmdReview->setToolTip(QStringLiteral("一步步看上一局的出牌和结果"));
    connect(cmdReview, &QPushButton::clicked, this, &frmGameMain::ShowHandReview);
    connect(&client_, &Client::announced, picGameBack, &TableWidget::Announce);
    connect(&client_, &Client::handReviewed, this, [this] {
        cmdReview->setEnabled(true);
        if (handReview_)
            handReview_->ShowReview(client_.handRecorder().lastHand());
    });

    // The handlers of the room side and the table flow.
    painter->RefreshStartButton = [this] { PlaceStartButton(client_); };
    ConnectRoomSide(client_);
    ConnectTableFlowControls(client_);
}

frmGameMain::~frmGameMain()
{
    if (client_.room.frmGameMain == this)
        client_.room = RoomView{};
    // The table widget and the time bar refer to the painter: they go first.
    delete famGameBack;
    famGameBack = nullptr;
}

void frmGameMain::setUpUserList()
{
    const ClientState& s = client_.state;
    lstUser->setLocalUserName(s.globals.UserName);
    lstUser->setColours(QColor(0, 138, 140), QColor(255, 255, 255));
    lstUser->setRowPadding(6);
    lstUser->setTitle(QStringLiteral("用户列表"));
    lstUser->setScoreWord(s.globals.ScoreKind != 0 ? QStringLiteral("积分") : QStringLiteral("经验"));
    lstUser->setColumns(ColumnTitles(s.globals.ScoreKind).join(FieldSeparator), 11);
    lstUser->setColumnWidths(QStringLiteral("100`90`70`80`80`60`50`50`50`50`50"));
    lstUser->setLevelTable(s.globals.LevelTableText);
    connect(lstUser, &QelList::userClicked, this, &frmGameMain::onUserClicked);
}

void frmGameMain::setUpChat()
{
    const ClientState& s = client_.state;
    chat->setFaceFolder(s.globals.ParentPath + QStringLiteral("UserRes/face"));
    chat->setProgramFolder(s.globals.AppPath);
    chat->setPageFile(QStringLiteral("MeChatWeb.htm"));
    chat->setLocalUserName(s.globals.UserName);
    chat->SetCurrentAddressee(QelChat::Everyone);
    chat->Initialise();
    chat->setAutoScroll(true);
    chat->setTitle(QStringLiteral("聊天室"));
    chat->setStampNotices(false);
    connect(chat, &QelChat::sendRequested, this, &frmGameMain::onChatSend);
}

void frmGameMain::onChatSend(const QStringList& fields)
{
    QByteArray packet;
    if (BuildPacket(fields.join(FieldSeparator), packet, 1, QByteArray(1, '\x01')))
        client_.SendPacket(packet);
}

void frmGameMain::onUserClicked(bool menuRequest, const QString& name, const QString& record)
{
    if (!menuRequest) {
        chat->SetCurrentAddressee(name);
        return;
    }
    // Each card is a fresh window; an open one is replaced.
    if (userMenu_)
        userMenu_->close();
    auto* card = new frmUserMenu(this);
    if (!card->BuildUserCard(client_.state, record)) {
        delete card;
        return;
    }
    userMenu_ = card;
    card->onChosen = [this](int index) { ExecUserMenu(index); };
    card->popup(QCursor::pos());
}

void frmGameMain::ExecUserMenu(int lngUserMenuItemIdx)
{
    if (!userMenu_)
        return;
    const QAction* item = userMenu_->mnuUserItem(lngUserMenuItemIdx);
    const QString name = item ? item->data().toString() : QString();
    // The card may have stayed open while its user left; a line to someone
    // gone would reach the whole table.
    if (!name.isEmpty() && lngUserMenuItemIdx == UserCardTalkItem && lstUser->Contains(name))
        chat->SetCurrentAddressee(name);
    else if (lngUserMenuItemIdx == UserCardShopItem && name == client_.state.globals.UserName)
        OpenDaoJuMaket(client_);
}

void frmGameMain::keyPressEvent(QKeyEvent* e)
{
    // The item shop has no button of its own on the table.
    if (e->key() == Qt::Key_F9 && e->modifiers() == Qt::NoModifier) {
        OpenDaoJuMaket(client_);
        return;
    }
    QWidget::keyPressEvent(e);
}

void frmGameMain::PlaceOnScreen()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    move(area.topLeft());
    resize(area.width(), std::max(area.height() - 32, 1));
}

void frmGameMain::ConnectRoomServer() { client_.ConnectRoomServer(); }

void frmGameMain::SendGameSetResult(const QByteArray& bteCmd) { client_.SendGameSetResult(bteCmd); }

bool frmGameMain::ConfirmClose()
{
    ClientState& s = client_.state;
    if (s.globals.QuitRequested)
        return false;
    const bool playing = !s.globals.IsSpectator && !s.table.NoHandInPlay && !s.table.StartOffered;
    return !playing || s.prefs.AskForceQuit == 0 || AskForceQuit();
}

bool frmGameMain::AskForceQuit()
{
    ClientState& s = client_.state;
    QPointer<frmGameMain> self(this);
    const std::int16_t answer = client_.msgPool().ShowMsg(
        0, this, 2, ForceQuitQuestion, QStringLiteral("系统提示"), 10, QStringLiteral("强退"),
        QStringLiteral("取消"), false);
    // The connection may have ended the program while the question was up.
    if (!self || s.globals.QuitRequested)
        return false;
    return answer == -1;
}

void frmGameMain::closeEvent(QCloseEvent* e)
{
    e->ignore();
    if (unloaded_)
        return;
    if (ConfirmClose())
        Unload(0);
}

frmHandReview* frmGameMain::handReview() const
{
    return handReview_;
}

void frmGameMain::ShowHandReview()
{
    if (!handReview_)
        handReview_ = new frmHandReview(this);
    handReview_->ShowReview(client_.handRecorder().lastHand());
    handReview_->show();
    handReview_->raise();
    handReview_->activateWindow();
}

void frmGameMain::Unload(int exitCode)
{
    if (unloaded_)
        return;
    unloaded_ = true;
    ClientState& s = client_.state;
    s.globals.QuitRequested = true;
    client_.msgPool().CloseMsgBoxes(0);
    InitSession(s);
    // Waits still running below us must end, not carry on into this window.
    s.globals.QuitRequested = true;
    ResetCardState(s);
    tmrForm.stop();
    tmrStart.stop();
    tmrPaintLastOutPai.stop();
    timeBar->Stop();
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w != this && w->isVisible())
            w->close();
    painter->picSaveGameBack.resize(0, 0);
    client_.room = RoomView{};
    emit unloaded(exitCode);
    hide();
}

} // namespace kelpo
