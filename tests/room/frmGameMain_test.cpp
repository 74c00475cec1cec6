#include "room/frmGameMain.h"

#include "controls/QelAdvWeb.h"
#include "controls/QelChat.h"
#include "controls/QelList.h"
#include "controls/SplitterBar.h"
#include "controls/YuClock.h"
#include "game/Client.h"
#include "table/TableWidget.h"
#include "room/VSplitterBar.h"
#include "room/UserCard.h"
#include "shop/frmDaoJuMaket.h"
#include "skin/ModalBoxes.h"
#include "skin/MsgPool.h"
#include "skin/frmMsg.h"
#include "state/Session.h"

#include <QCoreApplication>
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
    Client client;
    std::vector<QByteArray> sent;
    std::unique_ptr<frmGameMain> window;
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
