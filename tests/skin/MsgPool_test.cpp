#include "skin/ModalBoxes.h"
#include "skin/MsgPool.h"

#include <QCoreApplication>
#include <QTimer>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace kelpo;

namespace {

const QString ForceQuitText =
    QStringLiteral("大伙正在游戏，如果你现在退出是很不道德的，并且系统会算你逃跑！你是否强退？");

struct PoolFixture : ::testing::Test {
    PoolFixture()
    {
        state.globals.ParentPath = dir.path() + QStringLiteral("/");
        pool.InitMsgObjects();
        ModalBoxes::instance().clearHistory();
    }
    ~PoolFixture() override
    {
        ModalBoxes::instance().clearObserver();
        pool.CloseMsgBoxes(0);
        pool.CloseMsgBoxes(1);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    std::int16_t forceQuit()
    {
        return pool.ShowMsg(0, nullptr, 2, ForceQuitText, QStringLiteral("系统提示"), 10,
                            QStringLiteral("强退"), QStringLiteral("取消"), false);
    }
    std::int16_t okBox(const QString& text)
    {
        return pool.ShowMsg(0, nullptr, 1, text, QStringLiteral("系统提示"), 10, QStringLiteral("确定"),
                            QString(), true);
    }
    void notice(std::int32_t tag)
    {
        pool.ShowMsg(tag, nullptr, 0, QStringLiteral("等待桌主进行本桌游戏设置..."), QString(), 0,
                     QString(), QString(), false);
    }

    QTemporaryDir dir;
    ClientState state;
    MsgPool pool{state};
};

frmMsg* Box(QWidget* w) { return qobject_cast<frmMsg*>(w); }

} // namespace

TEST_F(PoolFixture, NoticesTakeSlotsInOrderAndAFreedSlotIsReused)
{
    notice(0);
    notice(1);
    ASSERT_EQ(pool.MsgObjectMax(), 1);
    EXPECT_EQ(pool.slot(0)->frm->lngRoomObjectIdx(), 0);
    EXPECT_EQ(pool.slot(1)->frm->lngMsgObjectIdx(), 1);
    EXPECT_TRUE(pool.slot(0)->frm->isVisible());

    pool.CloseMsgBoxes(0);
    EXPECT_EQ(pool.slot(0)->frm, nullptr);
    ASSERT_NE(pool.slot(1)->frm, nullptr); // another owner's box stays
    notice(0);
    EXPECT_EQ(pool.MsgObjectMax(), 1);
    EXPECT_EQ(pool.openBoxes().size(), 2u);
    EXPECT_EQ(pool.openBoxes()[0]->lngMsgObjectIdx(), 0);
    EXPECT_EQ(pool.slot(2), nullptr);
}

TEST_F(PoolFixture, NestedModalBoxesTakeTheNextSlot)
{
    std::int16_t inner = 1;
    int depth = 0;
    ModalBoxes::instance().setObserver([&](QWidget* w) {
        frmMsg* box = Box(w);
        ASSERT_NE(box, nullptr);
        if (++depth == 1) {
            EXPECT_EQ(box->lngMsgObjectIdx(), 0);
            inner = forceQuit(); // opened while the first one waits
            box->cmdUser_Click(0);
        } else {
            EXPECT_EQ(box->lngMsgObjectIdx(), 1);
            box->cmdUser_Click(1);
        }
    });
    EXPECT_EQ(okBox(QStringLiteral("本局游戏结束!")), -1);
    EXPECT_EQ(inner, 0);
    EXPECT_EQ(pool.MsgObjectMax(), 1);
    EXPECT_TRUE(pool.openBoxes().empty());
}

TEST_F(PoolFixture, ForceQuitLeftAloneCountsDownAndCancelsOnTheEleventhTick)
{
    QStringList captions;
    bool openAfterTen = false;
    ModalBoxes::instance().setObserver([&](QWidget* w) {
        frmMsg* box = Box(w);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->windowTitle(), QStringLiteral("系统提示"));
        EXPECT_TRUE(box->cmdUser(1)->hasFocus() || box->cmdUser(1)->isDefault());
        QPointer<frmMsg> guard(box);
        for (int i = 0; i < 10; ++i) {
            box->tmrDelay_Timer();
            captions << box->cmdUser(1)->text();
        }
        openAfterTen = guard && !guard->isUnloaded();
        EXPECT_EQ(box->cmdUser(0)->text(), QStringLiteral("强退(&Y)"));
        box->tmrDelay_Timer();
    });
    EXPECT_EQ(forceQuit(), 0);
    EXPECT_TRUE(openAfterTen);
    ASSERT_EQ(captions.size(), 10);
    EXPECT_EQ(captions.front(), QStringLiteral("取消(&N) 10"));
    EXPECT_EQ(captions.back(), QStringLiteral("取消(&N) 1"));
    EXPECT_EQ(pool.slot(0)->intResult, 0);
}

TEST_F(PoolFixture, ABoxClosedFromOutsideNeverInheritsAnEarlierForceQuit)
{
    ModalBoxes::instance().setObserver([](QWidget* w) { Box(w)->cmdUser_Click(0); });
    EXPECT_EQ(forceQuit(), -1);
    EXPECT_EQ(pool.slot(0)->intResult, -1);

    // The same slot again, this time closed by a room reset.
    ModalBoxes::instance().setObserver([&](QWidget* w) {
        EXPECT_EQ(Box(w)->lngMsgObjectIdx(), 0);
        pool.CloseMsgBoxes(0);
    });
    EXPECT_EQ(forceQuit(), 0);
    EXPECT_TRUE(pool.openBoxes().empty());
}

TEST_F(PoolFixture, OnceQuittingEveryAnswerIsCancel)
{
    ModalBoxes::instance().setObserver([&](QWidget* w) {
        state.globals.QuitRequested = true;
        Box(w)->cmdUser_Click(0);
    });
    EXPECT_EQ(forceQuit(), 0);
    int shown = 0;
    ModalBoxes::instance().setObserver([&](QWidget*) { ++shown; });
    EXPECT_EQ(forceQuit(), 0);
    EXPECT_EQ(shown, 0);
}

TEST_F(PoolFixture, AnUnansweredBoxWaitsUntilClosedAndThenAnswersNothing)
{
    // No observer: the box must still be up once its loop runs.
    std::size_t upWhileWaiting = 0;
    QTimer::singleShot(0, [&] {
        upWhileWaiting = ModalBoxes::instance().running().size();
        if (upWhileWaiting == 1)
            ModalBoxes::instance().running().back()->close();
    });
    EXPECT_EQ(okBox(QStringLiteral("没人回答")), 0);
    EXPECT_EQ(upWhileWaiting, 1u);
    ASSERT_EQ(ModalBoxes::instance().history().size(), 1u);
    EXPECT_EQ(ModalBoxes::instance().history()[0].text, QStringLiteral("没人回答"));
    EXPECT_TRUE(pool.openBoxes().empty());
}

TEST_F(PoolFixture, InitClosesLeftoverBoxesAndStartsFromSlotZero)
{
    notice(0);
    notice(0);
    pool.InitMsgObjects();
    EXPECT_EQ(pool.MsgObjectMax(), -1);
    EXPECT_TRUE(pool.openBoxes().empty());
    EXPECT_EQ(pool.MsgResPath(), dir.path() + QStringLiteral("/res/"));
    notice(0);
    EXPECT_EQ(pool.openBoxes().size(), 1u);
    EXPECT_EQ(pool.openBoxes()[0]->lngMsgObjectIdx(), 0);
}

TEST_F(PoolFixture, SystemMessageBoxGoesThroughTheService)
{
    QString seen;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    ModalBoxes::instance().setObserver([&](QWidget* w) {
        auto* m = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(m, nullptr);
        seen = m->windowTitle() + QLatin1Char('|') + m->text();
        icon = m->icon();
        m->accept();
    });
    ModalBoxes::instance().SystemMessage(nullptr, QMessageBox::Critical, QStringLiteral("游戏提示"),
                                         QStringLiteral("<b>1号错误</b>"));
    EXPECT_EQ(seen, QStringLiteral("游戏提示|<b>1号错误</b>"));
    EXPECT_EQ(icon, QMessageBox::Critical);
    EXPECT_TRUE(ModalBoxes::instance().running().empty());
}
