#include "room/frmGameMain.h"

#include "controls/QelAdvWeb.h"
#include "controls/QelChat.h"
#include "controls/QelList.h"
#include "controls/SplitterBar.h"
#include "controls/YuClock.h"
#include "game/Client.h"
#include "table/TableWidget.h"
#include "room/AdvertPane.h"
#include "room/frmHandReview.h"
#include "room/UserButtonStrip.h"
#include "room/VSplitterBar.h"
#include "room/UserCard.h"
#include "shop/frmDaoJuMaket.h"
#include "settings/frmUserSet.h"
#include "skin/ModalBoxes.h"
#include "skin/MsgPool.h"
#include "skin/frmMsg.h"
#include "state/Session.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <gtest/gtest.h>

using namespace kelpo;

namespace {

struct WindowFixture : ::testing::Test {
    WindowFixture()
    {
        // Preferences saved by one test must not be read by the next.
        qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
        ClientGlobals& g = client.state.globals;
        g.GameName = QStringLiteral("牌局");
        g.UserName = QStringLiteral("张三");
        g.ScoreKind = 1;
        g.LevelTableText = QStringLiteral("新手_0`高手_100");
        QFile f(dir.filePath(QStringLiteral("bin/UserSet.ini")));
        QDir(dir.path()).mkpath(QStringLiteral("bin"));
        f.open(QIODevice::WriteOnly);
        f.write("0 1 0 1 0");
        f.close();
        InitSession(client.state, dir.filePath(QStringLiteral("bin")));
        client.msgPool().InitMsgObjects();
        client.setPacketSink([this](const QByteArray& p) { sent.push_back(p); });
        window = std::make_unique<frmGameMain>(client);
    }
    ~WindowFixture() override
    {
        ModalBoxes::instance().clearObserver();
        window.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    void sized(int w, int h)
    {
        window->resize(w, h);
        window->LayoutMainWindow();
    }
    void playing()
    {
        client.state.table.NoHandInPlay = false;
        client.state.table.StartOffered = false;
        client.state.globals.IsSpectator = false;
    }

    QTemporaryDir dir;
    QTemporaryDir config;
    Client client;
    std::vector<QByteArray> sent;
    std::unique_ptr<frmGameMain> window;
};

// The frame's bitmaps in plain colours, so each piece is known by its colour.
constexpr QRgb TileColour = qRgb(10, 20, 30);
constexpr QRgb CapInner = qRgb(40, 50, 60); // the cap's first column
constexpr QRgb CapOuter = qRgb(70, 80, 90); // its last
constexpr QRgb LogoColour = qRgb(200, 10, 10);
QRgb SysCell(int cell) { return qRgb(0, 100, 10 + 20 * cell); }
QRgb UserCell(int cell) { return qRgb(100, 0, 10 + 20 * cell); }

QImage Cells(int count, int w, int h, QRgb (*colour)(int))
{
    QImage img(count * w, h, QImage::Format_RGB32);
    for (int c = 0; c < count; ++c)
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                img.setPixel(c * w + x, y, colour(c));
    return img;
}

void WriteFrameArt(const QString& app)
{
    QDir().mkpath(app + QStringLiteral("/Res"));
    QImage tile(12, 33, QImage::Format_RGB32);
    tile.fill(TileColour);
    QImage cap(15, 33, QImage::Format_RGB32);
    cap.fill(CapInner);
    for (int y = 0; y < 33; ++y)
        cap.setPixel(14, y, CapOuter);
    QImage logo(24, 24, QImage::Format_RGB32);
    logo.fill(LogoColour);
    tile.save(app + QStringLiteral("/Res/CaptionMid.bmp"));
    cap.save(app + QStringLiteral("/Res/CaptionLR.bmp"));
    logo.save(app + QStringLiteral("/Res/CaptionLogo.bmp"));
    Cells(8, 21, 21, SysCell).save(app + QStringLiteral("/Res/SysMenu.bmp"));
    Cells(4, 41, 25, UserCell).save(app + QStringLiteral("/Res/UserButton.bmp"));
}

// Answers URL opening so no test starts a browser.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    UrlCatcher() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open"); }
    ~UrlCatcher() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened.push_back(url); }
};

} // namespace

TEST_F(WindowFixture, LoadSetsTimersCaptionControlsAndReadsThePreferences)
{
    EXPECT_EQ(window->windowTitle(), QStringLiteral("牌局"));
    EXPECT_TRUE(window->tmrForm.isActive());
    EXPECT_EQ(window->tmrForm.interval(), 100);
    EXPECT_FALSE(window->tmrStart.isActive());
    EXPECT_EQ(window->tmrStart.interval(), 1000);
    EXPECT_EQ(window->tmrStart.property("tag").toString(), QStringLiteral("20"));
    EXPECT_FALSE(window->tmrPaintLastOutPai.isActive());
    EXPECT_EQ(window->tmrPaintLastOutPai.interval(), 1000);

    EXPECT_EQ(window->lstUser->title(), QStringLiteral("用户列表"));
    EXPECT_EQ(window->lstUser->scoreWord(), QStringLiteral("积分"));
    EXPECT_EQ(window->lstUser->view()->headerItem()->text(2), QStringLiteral("积分"));
    EXPECT_EQ(window->lstUser->view()->columnWidth(1), 90);
    EXPECT_EQ(window->chat->title(), QStringLiteral("聊天室"));
    EXPECT_EQ(window->chat->localUserName(), QStringLiteral("张三"));
    EXPECT_EQ(window->chat->pageFile(), QStringLiteral("MeChatWeb.htm"));
    EXPECT_EQ(window->chat->currentAddressee(), QStringLiteral("所有人"));
    EXPECT_EQ(window->advWeb->mode(), 1);
    EXPECT_TRUE(window->advWeb->address().toLocalFile().endsWith(QStringLiteral("/site/adv/KELPO/ga.htm")));

    const Preferences& p = client.state.prefs;
    EXPECT_EQ((std::array<int, 5>{p.AllowWatchCards, p.SoundOn, p.ShowInOutMsg, p.AskForceQuit, p.WarnBadPlay}),
              (std::array<int, 5>{0, 1, 0, 1, 0}));
    EXPECT_EQ(client.room.lstUser, window->lstUser);
    EXPECT_EQ(client.room.tmrStart, &window->tmrStart);
}

TEST_F(WindowFixture, SplitterStartsByScreenWidthAndCollapsingHidesTheRoomPane)
{
    window->InitLayout({800, 600});
    EXPECT_EQ(window->SplitterX, 680);
    EXPECT_EQ(window->UpperSplitTop, 200);
    EXPECT_EQ(window->LowerSplitTop, 391);
    window->InitLayout({1024, 768});
    EXPECT_EQ(window->SplitterX, 843);
    sized(1024, 736);
    EXPECT_EQ(window->picSplitter->geometry(), QRect(843, 35, 12, 696));
    EXPECT_EQ(window->famGameBack->geometry(), QRect(5, 35, 837, 696));
    EXPECT_EQ(window->picGameBack->size(), QSize(837, 696));
    EXPECT_EQ(window->lstUser->geometry(), QRect(857, 68, 161, 256 - 68));
    EXPECT_FALSE(window->lstUser->isHidden());

    window->ToggleRoomPane();
    EXPECT_EQ(window->SplitterX, 1024 - 14);
    EXPECT_TRUE(window->lstUser->isHidden());
    EXPECT_TRUE(window->chat->isHidden());
    EXPECT_TRUE(window->HSplitterBar->isHidden());
    window->ToggleRoomPane();
    EXPECT_EQ(window->SplitterX, 843);
    EXPECT_FALSE(window->chat->isHidden());

    window->MoveSplitterTo(2000);
    EXPECT_EQ(window->SplitterX, 1024 - 100);
    window->MoveSplitterTo(10);
    EXPECT_EQ(window->SplitterX, 650);

    // A narrower window pulls the bar in with it, so the caption and the
    // room pane stay in view; a collapsed pane stays at the right edge.
    window->MoveSplitterTo(900);
    sized(850, 736);
    EXPECT_EQ(window->SplitterX, 750);
    EXPECT_FALSE(window->lstUser->isHidden());
    window->ToggleRoomPane();
    sized(1000, 736);
    EXPECT_EQ(window->SplitterX, 1000 - 14);
}

TEST_F(WindowFixture, HorizontalSplittersSnapIntoTheirRanges)
{
    window->InitLayout({1024, 768});
    sized(1024, 736);
    window->HSplitterBar->setTop(50);
    window->HSplitterBar_PositionChanged();
    EXPECT_EQ(window->UpperSplitTop, 200);
    EXPECT_EQ(window->HSplitterBar1->top(), 200 + 5 + 182);
    window->HSplitterBar->setTop(700);
    window->HSplitterBar_PositionChanged();
    EXPECT_EQ(window->UpperSplitTop, 736 - 282);
    EXPECT_EQ(window->lstUser->height(), 736 - 282 - 68);

    window->HSplitterBar1->setTop(100);
    window->HSplitterBar1_PositionChanged();
    EXPECT_EQ(window->LowerSplitTop, 382);
    EXPECT_EQ(window->HSplitterBar->top(), 382 - 182 - 5);
    window->HSplitterBar1->setTop(735);
    window->HSplitterBar1_PositionChanged();
    EXPECT_EQ(window->LowerSplitTop, 636);
    EXPECT_EQ(window->chat->geometry().bottom(), 736 - 6 - 1);
}

// Bars placed for a tall screen stay inside a window made low, so the chat
// stays in sight, and come back when the window grows again.
TEST_F(WindowFixture, ALowWindowKeepsTheChatAndItsBarInSight)
{
    window->InitLayout({1024, 1440});
    sized(1024, 570);
    EXPECT_EQ(window->HSplitterBar1->top(), 570 - 95);
    EXPECT_EQ(window->HSplitterBar->top(), 570 - 95 - 182 - 5);
    EXPECT_EQ(window->chat->geometry(), QRect(857, 480, 161, 570 - 4 - 480 - 2));
    sized(1024, 1408);
    EXPECT_EQ(window->HSplitterBar1->top(), 480 + 5 + 182 + 4);
    EXPECT_EQ(window->lstUser->height(), 480 - 68);
}

TEST_F(WindowFixture, VerticalBarDragClampsAndTheMiddleZoneToggles)
{
    window->InitLayout({1024, 768});
    sized(1024, 736);
    VSplitterBar* bar = window->picSplitter;
    bar->MouseDown(Qt::LeftButton, 5, 10);
    bar->MouseMove(Qt::LeftButton, 5 + 100, 10); // 943 > W - 100
    EXPECT_EQ(bar->ghost()->x(), 843);
    bar->MouseMove(Qt::LeftButton, 5 + 50, 10);
    EXPECT_EQ(bar->ghost()->x(), 893);
    bar->MouseMove(Qt::LeftButton, 5 + 150, 10);
    EXPECT_EQ(bar->ghost()->x(), 893);
    bar->MouseUp(Qt::LeftButton, 5 + 150, 10);
    EXPECT_EQ(window->SplitterX, 924);
    EXPECT_TRUE(bar->ghost()->isHidden());

    client.state.view.BombPlaying = true;
    bar->MouseDown(Qt::LeftButton, 5, bar->height() / 2);
    EXPECT_FALSE(window->SplitterCollapsed);
    client.state.view.BombPlaying = false;
    bar->MouseDown(Qt::RightButton, 5, bar->height() / 2);
    EXPECT_TRUE(window->SplitterCollapsed);
}

// A collapsed bar dragged to a place opens the room pane there; a click
// that moves nothing leaves it collapsed.
TEST_F(WindowFixture, DraggingTheCollapsedBarOpensThePaneWhereItIsDropped)
{
    window->InitLayout({1024, 768});
    sized(1024, 736);
    window->ToggleRoomPane();
    VSplitterBar* bar = window->picSplitter;
    ASSERT_EQ(bar->x(), 1010);
    bar->MouseDown(Qt::LeftButton, 5, 10);
    bar->MouseUp(Qt::LeftButton, 5, 10);
    EXPECT_TRUE(window->SplitterCollapsed);
    EXPECT_EQ(bar->x(), 1010);
    bar->MouseDown(Qt::LeftButton, 5, 10);
    bar->MouseMove(Qt::LeftButton, 5 - 200, 10);
    bar->MouseUp(Qt::LeftButton, 5 - 200, 10);
    EXPECT_FALSE(window->SplitterCollapsed);
    EXPECT_EQ(bar->x(), 810);
    EXPECT_FALSE(window->chat->isHidden());
}

// Names are other players' text: markup in one must not turn the results
// into one run-together line.
TEST_F(WindowFixture, HandReviewShowsNamesWithMarkupLiterallyOneResultALine)
{
    window->ShowHandReview();
    HandReview review;
    review.results = QStringList{QStringLiteral("1号 <b>甲</b>：+30"), QStringLiteral("2号 乙：-30")};
    window->handReview()->ShowReview(review);
    QLabel* results = window->handReview()->resultLabel();
    EXPECT_GE(results->heightForWidth(400), 2 * results->fontMetrics().lineSpacing());
}

TEST_F(WindowFixture, CloseOutsideAHandUnloadsAtOnceWithZero)
{
    QSignalSpy unloaded(window.get(), &frmGameMain::unloaded);
    int asked = 0;
    ModalBoxes::instance().setObserver([&](QWidget*) { ++asked; });
    window->close();
    ASSERT_EQ(unloaded.count(), 1);
    EXPECT_EQ(unloaded.at(0).at(0).toInt(), 0);
    EXPECT_EQ(asked, 0);
    EXPECT_TRUE(client.state.globals.QuitRequested);
    EXPECT_EQ(client.room.frmGameMain, nullptr);
    window->Unload(3); // a second unload does nothing
    EXPECT_EQ(unloaded.count(), 1);
}

TEST_F(WindowFixture, CloseDuringAHandAsksAndOnlyForceQuitCloses)
{
    playing();
    QSignalSpy unloaded(window.get(), &frmGameMain::unloaded);
    int answer = 1;
    QString text;
    ModalBoxes::instance().setObserver([&](QWidget* w) {
        auto* box = qobject_cast<frmMsg*>(w);
        ASSERT_NE(box, nullptr);
        text = box->labNote()->text();
        EXPECT_EQ(box->windowTitle(), QStringLiteral("系统提示"));
        box->cmdUser_Click(answer);
    });
    window->close();
    EXPECT_EQ(unloaded.count(), 0);
    EXPECT_TRUE(text.startsWith(QStringLiteral("大伙正在游戏")));
    answer = 0; // 强退
    window->close();
    ASSERT_EQ(unloaded.count(), 1);
    EXPECT_EQ(unloaded.at(0).at(0).toInt(), 0);
}

TEST_F(WindowFixture, NoQuestionForSpectatorsOrWithThePreferenceOff)
{
    playing();
    int asked = 0;
    ModalBoxes::instance().setObserver([&](QWidget* w) {
        ++asked;
        w->close();
    });
    client.state.prefs.AskForceQuit = 0;
    EXPECT_TRUE(window->ConfirmClose());
    client.state.prefs.AskForceQuit = 1;
    client.state.globals.IsSpectator = true;
    EXPECT_TRUE(window->ConfirmClose());
    client.state.globals.IsSpectator = false;
    client.state.table.StartOffered = true;
    EXPECT_TRUE(window->ConfirmClose());
    EXPECT_EQ(asked, 0);
}

TEST_F(WindowFixture, ConnectionLossUnloadsWithItsStatusAndClosesTheBoxes)
{
    QSignalSpy unloaded(window.get(), &frmGameMain::unloaded);
    client.msgPool().ShowMsg(0, window.get(), 0, QStringLiteral("等待桌主进行本桌游戏设置..."), QString(), 0,
                             QString(), QString(), false);
    ASSERT_EQ(client.msgPool().openBoxes().size(), 1u);
    client.OnClosed();
    ASSERT_EQ(unloaded.count(), 1);
    EXPECT_EQ(unloaded.at(0).at(0).toInt(), ExitConnectionClosed);
    EXPECT_TRUE(client.msgPool().openBoxes().empty());
    EXPECT_TRUE(client.state.globals.QuitRequested);
}

TEST_F(WindowFixture, ChatSendGoesOutAsOneClassOneMessage)
{
    window->chat->setTimeSource([] { return QTime(12, 0, 1); });
    window->chat->input()->setText(QStringLiteral("你好"));
    window->chat->SendInput();
    ASSERT_EQ(sent.size(), 1u);
    const QByteArray& p = sent[0];
    EXPECT_EQ(static_cast<unsigned char>(p[0]), 1);
    EXPECT_EQ(p.count('`'), 9);
    EXPECT_TRUE(p.startsWith(QByteArray("\x01" "CHAT`")));
    EXPECT_TRUE(p.contains("`12:00:01`"));
}

TEST_F(WindowFixture, PlainClickOnAUserMakesThemTheAddressee)
{
    QStringList rec(16);
    rec[0] = QStringLiteral("李四");
    window->lstUser->Add(rec.join(QLatin1Char('`')));
    emit window->lstUser->userClicked(false, QStringLiteral("李四"), rec.join(QLatin1Char('`')));
    EXPECT_EQ(window->chat->currentAddressee(), QStringLiteral("李四"));
    emit window->lstUser->userClicked(true, QStringLiteral("王五"), QString());
    EXPECT_EQ(window->chat->currentAddressee(), QStringLiteral("李四"));
}

TEST_F(WindowFixture, F9AndTheLocalUsersOwnCardOpenTheOneShop)
{
    QKeyEvent f9(QEvent::KeyPress, Qt::Key_F9, Qt::NoModifier);
    QCoreApplication::sendEvent(window.get(), &f9);
    QPointer<frmDaoJuMaket> shop = client.room.daoJuMaket;
    ASSERT_TRUE(shop);
    EXPECT_TRUE(client.state.shop.MaketOpen);
    shop->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(shop);
    EXPECT_FALSE(client.state.shop.MaketOpen);

    for (const QString& name : {QStringLiteral("李四"), QStringLiteral("张三")}) {
        QStringList record(16, QStringLiteral("0"));
        record[0] = name;
        emit window->lstUser->userClicked(true, name, record.join(u'`'));
        ASSERT_NE(window->userMenu(), nullptr);
        EXPECT_EQ(window->userMenu()->mnuUserItem(UserCardShopItem)->isVisible(), name == QStringLiteral("张三"));
    }
    window->userMenu()->Choose(UserCardShopItem);
    EXPECT_TRUE(client.room.daoJuMaket);
}
TEST_F(WindowFixture, CaptionBorderAndButtonsOnTheGrabbedWindow)
{
    WriteFrameArt(dir.filePath(QStringLiteral("bin")));
    window->InitLayout({1024, 768});
    sized(1024, 736);
    const int W = 1024;
    QImage img = window->grab().toImage();
    const QRgb border[4] = {qRgb(115, 113, 115), qRgb(173, 174, 173), qRgb(214, 211, 214), qRgb(231, 231, 231)};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(img.pixel(k, 400), border[k]) << k;
        EXPECT_EQ(img.pixel(W - 1 - k, 400), border[k]) << k;
        EXPECT_EQ(img.pixel(500, 735 - k), border[k]) << k;
    }
    EXPECT_EQ(img.pixel(300, 30), TileColour);
    // The left cap is the right one mirrored.
    EXPECT_EQ(img.pixel(W - 19, 20), CapInner);
    EXPECT_EQ(img.pixel(W - 5, 20), CapOuter);
    EXPECT_EQ(img.pixel(18, 20), CapInner);
    EXPECT_EQ(img.pixel(4, 20), CapOuter);
    EXPECT_EQ(img.pixel(30, 10), LogoColour);
    EXPECT_EQ(img.pixel(W - 90, 17), SysCell(0));
    EXPECT_EQ(img.pixel(W - 64, 17), SysCell(1));
    EXPECT_EQ(img.pixel(W - 38, 17), SysCell(3));
    int dark = 0;
    for (int y = 12; y < 30; ++y)
        for (int x = 54; x < 90; ++x)
            dark += qGray(img.pixel(x, y)) < 60;
    EXPECT_GT(dark, 10) << "the title is printed in black";

    window->HoverSysButton(2);
    EXPECT_EQ(window->grab().toImage().pixel(W - 38, 17), SysCell(7));
    window->HoverSysButton(-1);
    EXPECT_EQ(window->grab().toImage().pixel(W - 38, 17), SysCell(3));

    const QImage advert = window->picAdvBack->grab().toImage();
    EXPECT_EQ(advert.pixel(0, 0), qRgb(0, 0, 150));
    EXPECT_EQ(advert.pixel(1, 10), qRgb(192, 192, 190));
    EXPECT_EQ(advert.pixel(advert.width() - 3, 10), qRgb(0, 0, 250));

    UserButtonStrip* strip = window->picUserButBk;
    const QPoint slot1 = strip->positions().UserButtonPos[1] + QPoint(20, 12);
    EXPECT_EQ(strip->grab().toImage().pixel(slot1), UserCell(1));
    strip->MouseMove(slot1);
    EXPECT_EQ(strip->HoverUserIdx(), 1);
    EXPECT_EQ(strip->grab().toImage().pixel(slot1), UserCell(3));
}

TEST_F(WindowFixture, MaximiseSwapsTheGlyphAndFreezesTheFrame)
{
    WriteFrameArt(dir.filePath(QStringLiteral("bin")));
    window->show();
    sized(1024, 736);
    window->move(40, 30);
    window->FrameDoubleClick(Qt::LeftButton, window->mapToGlobal(QPoint(400, 20)));
    ASSERT_TRUE(window->frameMaximised());
    const auto glyph = [&] {
        return window->grab().toImage().pixel(window->buttonPositions().SysButtonPos[1] + QPoint(10, 10));
    };
    EXPECT_EQ(glyph(), SysCell(2));
    const QRect maximised = window->geometry();
    window->FrameMouseDown(Qt::LeftButton, window->mapToGlobal(QPoint(400, 20)));
    window->FrameMouseMove(Qt::LeftButton, QPoint(450, 60), window->mapToGlobal(QPoint(450, 60)));
    window->FrameMouseUp(Qt::LeftButton, QPoint(450, 60));
    EXPECT_EQ(window->geometry(), maximised);

    window->DoSysButton(1);
    EXPECT_FALSE(window->frameMaximised());
    EXPECT_EQ(glyph(), SysCell(1));
    window->DoSysButton(0);
    EXPECT_TRUE(window->isMinimized());
}

TEST_F(WindowFixture, FrameTicksRunOnlyWhileThePointerIsOverTheWindow)
{
    window->show();
    window->setGeometry(100, 50, 1024, 736);
    QCursor::setPos(600, 60);
    window->PollFrameZone();
    EXPECT_TRUE(window->tmrForm.isActive());
    QCursor::setPos(20, 20);
    window->PollFrameZone();
    EXPECT_FALSE(window->tmrForm.isActive());

    QEnterEvent enter(QPointF(10, 10), QPointF(10, 10), QPointF(110, 60));
    QCoreApplication::sendEvent(window.get(), &enter);
    EXPECT_TRUE(window->tmrForm.isActive());
    window->PollFrameZone();
    ASSERT_FALSE(window->tmrForm.isActive());
    // A maximise needs them for its check, wherever the pointer is.
    window->DoSysButton(FramePaint::SlotMaximise);
    EXPECT_TRUE(window->tmrForm.isActive());
}

TEST_F(WindowFixture, FrameDragsMoveAndSizeTheWindowWithinItsMinimum)
{
    window->show();
    window->setGeometry(100, 50, 1024, 736);
    window->resize(300, 200);
    EXPECT_EQ(window->size(), QSize(800, 570));
    window->resize(1024, 736);
    window->PollFrameZone();
    EXPECT_EQ(window->size(), QSize(1024, 736));

    // Pointer shapes follow the zone at each tick.
    QCursor::setPos(102, 300);
    window->PollFrameZone();
    EXPECT_EQ(window->frameZone(), FrameZone::Left);
    EXPECT_EQ(window->cursor().shape(), Qt::SizeHorCursor);
    QCursor::setPos(600, 60);
    window->PollFrameZone();
    EXPECT_EQ(window->frameZone(), FrameZone::Move);
    EXPECT_EQ(window->cursor().shape(), Qt::ArrowCursor);

    // Caption: the window follows once the pointer has moved.
    window->FrameMouseDown(Qt::LeftButton, {600, 60});
    window->FrameMouseMove(Qt::LeftButton, {}, {650, 100});
    window->FrameMouseUp(Qt::LeftButton, {});
    EXPECT_EQ(window->geometry(), QRect(150, 90, 1024, 736));

    // Bottom-right corner, dragged far past the minimum.
    const QPoint corner(150 + 1024 - 2, 90 + 736 - 2);
    window->FrameMouseDown(Qt::LeftButton, corner);
    window->FrameMouseMove(Qt::LeftButton, {}, corner - QPoint(900, 900));
    window->FrameMouseUp(Qt::LeftButton, {});
    EXPECT_EQ(window->geometry(), QRect(150, 90, 800, 570));

    client.state.view.BombPlaying = true;
    window->FrameMouseDown(Qt::LeftButton, {600, 100});
    window->FrameMouseMove(Qt::LeftButton, {}, {700, 200});
    EXPECT_EQ(window->geometry(), QRect(150, 90, 800, 570));
}

// The caption's close button asks exactly when closing the window would:
// between hands, with the start button offered, leaving is no escape.
TEST_F(WindowFixture, CloseButtonAsksDuringAHandButNotWithTheStartButtonOffered)
{
    sized(1024, 736);
    playing();
    QSignalSpy unloaded(window.get(), &frmGameMain::unloaded);
    int answer = 1;
    int asked = 0;
    ModalBoxes::instance().setObserver([&](QWidget* w) {
        ++asked;
        qobject_cast<frmMsg*>(w)->cmdUser_Click(answer);
    });
    const QPoint close = window->buttonPositions().SysButtonPos[2] + QPoint(10, 10);
    window->FrameMouseUp(Qt::LeftButton, close);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(unloaded.count(), 0);
    client.state.table.StartOffered = true;
    window->FrameMouseUp(Qt::LeftButton, close);
    EXPECT_EQ(asked, 1);
    ASSERT_EQ(unloaded.count(), 1);
    EXPECT_EQ(unloaded.at(0).at(0).toInt(), 0);
}

TEST_F(WindowFixture, UserButtonsOpenOnePreferencesDialogAndTheHelpPage)
{
    UrlCatcher urls;
    sized(1024, 736);
    UserButtonStrip* strip = window->picUserButBk;
    const QPoint settings = strip->positions().UserButtonPos[0] + QPoint(20, 12);
    strip->MouseUp(Qt::LeftButton, settings);
    QPointer<frmUserSet> first = window->userSet();
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->isVisible());
    EXPECT_FALSE(first->isModal());
    strip->MouseUp(Qt::LeftButton, settings);
    EXPECT_EQ(window->userSet(), first.data());

    // Ticking "spectators may see my cards" and confirming tells the server.
    first->chkUser(0)->setChecked(true);
    first->cmdUser_Click(1);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_TRUE(sent[0].startsWith("\x71\x01") && sent[0].endsWith("`1"));
    EXPECT_TRUE(first->isHidden());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(first);

    strip->MouseUp(Qt::LeftButton, strip->positions().UserButtonPos[1] + QPoint(20, 12));
    ASSERT_EQ(urls.opened.size(), 1);
    EXPECT_TRUE(urls.opened[0].toLocalFile().endsWith(QStringLiteral("/site/help/Zuduva/KELPO.htm")));
}

#include "frmGameMain_test.moc"
