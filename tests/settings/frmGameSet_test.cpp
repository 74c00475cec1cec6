#include "settings/frmGameSet.h"

#include "net/Packet.h"
#include "skin/ModalBoxes.h"
#include "state/ClientState.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace kelpo {
namespace {

struct Reply {
    int cls = -1;
    int code = -1;
    QString body;
};

class GameSetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        state.globals.GameName = QStringLiteral("牌局");
        state.globals.UserName = QStringLiteral("张三");
        ModalBoxes::instance().clearHistory();
        // Every warning is acknowledged at once, as a user clicking OK.
        ModalBoxes::instance().setObserver([](QWidget* box) { box->close(); });
        dialog = new frmGameSet(state, [this](const QByteArray& packet) {
            replies.push_back({static_cast<std::uint8_t>(packet[0]), static_cast<std::uint8_t>(packet[1]),
                               BytesToText(packet, 2)});
        });
    }

    void TearDown() override
    {
        ModalBoxes::instance().clearObserver();
        delete dialog.data();
    }

    QStringList warnings() const
    {
        QStringList texts;
        for (const auto& shown : ModalBoxes::instance().history()) {
            EXPECT_EQ(shown.caption, QStringLiteral("牌局"));
            texts << shown.text;
        }
        return texts;
    }

    void tick(int n)
    {
        for (int i = 0; i < n && dialog && !dialog->isUnloaded(); ++i)
            dialog->tmrDelay_Timer();
    }

    ClientState state;
    QPointer<frmGameSet> dialog;
    std::vector<Reply> replies;
};

TEST_F(GameSetTest, OwnerLeftAloneConfirmsOnTheTwentyFirstTickWithBoundsRewritten)
{
    ASSERT_TRUE(dialog->SetInitGameSetInfo(true, QStringLiteral("50`0100`0010`20`+30`-5")));
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("牌局 游戏设置"));
    EXPECT_EQ(dialog->frameCaption(), QStringLiteral("你是桌主，请进行本桌游戏设置"));
    EXPECT_EQ(dialog->buttonCaption(1), QStringLiteral("取消"));
    EXPECT_FALSE(dialog->boxReadOnly(0));
    EXPECT_TRUE(dialog->isCounting());

    tick(1);
    EXPECT_EQ(dialog->buttonCaption(0), QStringLiteral("20 确定"));
    tick(19);
    EXPECT_EQ(dialog->buttonCaption(0), QStringLiteral("1 确定"));
    EXPECT_TRUE(replies.empty());
    tick(1);
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].cls, 112);
    EXPECT_EQ(replies[0].code, 0);
    EXPECT_EQ(replies[0].body, QStringLiteral("张三`50`100`10`20`30`-5"));
    EXPECT_TRUE(dialog->isUnloaded());
    EXPECT_TRUE(warnings().isEmpty());
}

TEST_F(GameSetTest, OthersModeIsReadOnlyAndNeverValidates)
{
    ASSERT_TRUE(dialog->SetInitGameSetInfo(false, QStringLiteral("5`100`10`999`30`0")));
    EXPECT_EQ(dialog->frameCaption(), QStringLiteral("桌主对本桌游戏进行的设置情况"));
    EXPECT_EQ(dialog->buttonCaption(0), QStringLiteral("同意"));
    EXPECT_EQ(dialog->buttonCaption(1), QStringLiteral("不同意"));
    EXPECT_TRUE(dialog->boxReadOnly(0) && dialog->boxReadOnly(1));
    tick(1);
    EXPECT_EQ(dialog->buttonCaption(0), QStringLiteral("20 同意"));

    dialog->cmdUser_Click(0);
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].cls, 112);
    EXPECT_EQ(replies[0].code, 1);
    EXPECT_EQ(replies[0].body, QStringLiteral("张三"));
    EXPECT_TRUE(warnings().isEmpty());
    // A second click on an unloaded dialog sends nothing more.
    dialog->cmdUser_Click(1);
    EXPECT_EQ(replies.size(), 1u);
}

TEST_F(GameSetTest, CancelAndDisagreeAnswerLikeLeaving)
{
    for (bool owner : {true, false}) {
        replies.clear();
        delete dialog.data();
        dialog = new frmGameSet(state, [this](const QByteArray& p) {
            replies.push_back({static_cast<std::uint8_t>(p[0]), static_cast<std::uint8_t>(p[1]), BytesToText(p, 2)});
        });
        ASSERT_TRUE(dialog->SetInitGameSetInfo(owner, QStringLiteral("1`2`3`4`5`6")));
        dialog->cmdUser_Click(1);
        ASSERT_EQ(replies.size(), 1u);
        EXPECT_EQ(replies[0].cls, 110);
        EXPECT_EQ(replies[0].code, 0);
        EXPECT_EQ(replies[0].body, QStringLiteral("张三"));
    }
}

TEST_F(GameSetTest, ValidationChecksLengthThenStakeThenPenalty)
{
    ASSERT_TRUE(dialog->SetInitGameSetInfo(true, QStringLiteral("50`100000000`10`20`100000000`0")));
    const auto confirmExpecting = [&](const QString& stake, const QString& penalty, const QString& message) {
        ModalBoxes::instance().clearHistory();
        dialog->setBoxText(0, stake);
        dialog->setBoxText(1, penalty);
        dialog->cmdUser_Click(0);
        if (message.isEmpty())
            return;
        EXPECT_EQ(warnings(), QStringList{message}) << stake.toStdString() << " / " << penalty.toStdString();
        EXPECT_TRUE(replies.empty());
        EXPECT_TRUE(dialog->isCounting()) << "an invalid input keeps the countdown going";
        EXPECT_EQ(dialog->boxText(0), stake) << "typed values stay in the boxes";
    };
    const QString tooLong = QStringLiteral("每个输入区域的数字不能超过 7 位！");
    confirmExpecting(QStringLiteral("12345678"), QStringLiteral("20"), tooLong);
    confirmExpecting(QStringLiteral("20"), QStringLiteral("00000020"), tooLong);
    confirmExpecting(QStringLiteral("5"), QStringLiteral("99999999"), tooLong);
    confirmExpecting(QStringLiteral("5"), QStringLiteral("20"),
                     QStringLiteral("本桌大小必须在 10 和 100000000 之间！"));
    confirmExpecting(QStringLiteral(""), QStringLiteral("20"),
                     QStringLiteral("本桌大小必须在 10 和 100000000 之间！"));
    confirmExpecting(QStringLiteral("1234567"), QStringLiteral("-1"),
                     QStringLiteral("逃跑者扣分大小必须在 0 和 100000000 之间！"));
    // Seven digits pass, and an empty penalty box reads as 0, inside 0..max.
    confirmExpecting(QStringLiteral("1234567"), QStringLiteral(""), QString());
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].body, QStringLiteral("张三`1234567`100000000`10``100000000`0"));
}

TEST_F(GameSetTest, StakeRangeMessageNamesMinimumThenMaximum)
{
    ASSERT_TRUE(dialog->SetInitGameSetInfo(true, QStringLiteral("5`100`10`0`50`0")));
    dialog->cmdUser_Click(0);
    EXPECT_EQ(warnings(), QStringList{QStringLiteral("本桌大小必须在 10 和 100 之间！")});
}

TEST_F(GameSetTest, FailedAutomaticConfirmationCountsOnBelowZeroAndRetriesEveryTick)
{
    ASSERT_TRUE(dialog->SetInitGameSetInfo(true, QStringLiteral("5`100`10`0`50`0")));
    tick(21);
    EXPECT_EQ(dialog->buttonCaption(0), QStringLiteral("0 确定"));
    EXPECT_EQ(warnings().size(), 1);
    EXPECT_TRUE(dialog->isCounting());
    tick(1);
    EXPECT_EQ(dialog->buttonCaption(0), QStringLiteral("-1 确定"));
    tick(1);
    EXPECT_EQ(dialog->buttonCaption(0), QStringLiteral("-2 确定"));
    EXPECT_EQ(warnings().size(), 3);
    EXPECT_TRUE(replies.empty());

    dialog->setBoxText(0, QStringLiteral("10"));
    tick(1);
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].body, QStringLiteral("张三`10`100`10`0`50`0"));
}

// A settings message that ends the dialog may arrive while its warning
// waits; the dialog and the warning then go away together.
TEST_F(GameSetTest, DialogEndedUnderItsWarningTakesTheWarningAlong)
{
    ASSERT_TRUE(dialog->SetInitGameSetInfo(true, QStringLiteral("5`100`10`0`50`0")));
    ModalBoxes::instance().setObserver([this](QWidget* box) {
        dialog->Unload();
        QTimer::singleShot(50, box, &QWidget::close);
    });
    dialog->cmdUser_Click(0);
    EXPECT_TRUE(dialog.isNull());
    EXPECT_TRUE(replies.empty());
}

TEST_F(GameSetTest, WrongFieldCountFailsButKeepsTheMode)
{
    for (const QString& text : {QStringLiteral("1`2`3`4`5"), QStringLiteral("1`2`3`4`5`6`7"), QString(),
                                QStringLiteral("``````````")}) {
        EXPECT_FALSE(dialog->SetInitGameSetInfo(true, text)) << text.toStdString();
        EXPECT_FALSE(dialog->isCounting());
        EXPECT_EQ(dialog->frameCaption(), QStringLiteral("你是桌主，请进行本桌游戏设置"));
    }
    EXPECT_TRUE(replies.empty());
}

TEST_F(GameSetTest, CalledAgainWhileOpenKeepsTheCounter)
{
    ASSERT_TRUE(dialog->SetInitGameSetInfo(true, QStringLiteral("50`100`10`20`30`0")));
    tick(5);
    ASSERT_TRUE(dialog->SetInitGameSetInfo(false, QStringLiteral("50`100`10`20`30`0")));
    tick(1);
    EXPECT_EQ(dialog->buttonCaption(0), QStringLiteral("15 同意"));
}

TEST_F(GameSetTest, OnlyDigitsAndBackspaceCanBeTyped)
{
    ASSERT_TRUE(dialog->SetInitGameSetInfo(true, QStringLiteral("`100`10``30`0")));
    auto* box = dialog->findChildren<QLineEdit*>().value(0);
    ASSERT_NE(box, nullptr);
    QTest::keyClicks(box, QStringLiteral("1a2-3.4 5"));
    QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QStringLiteral("中"), Qt::NoModifier);
    QGuiApplication::clipboard()->setText(QStringLiteral("99"));
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(box->text(), QStringLiteral("12345"));
    QTest::keyClick(box, Qt::Key_Backspace);
    EXPECT_EQ(box->text(), QStringLiteral("1234"));
    // Pasting from the box's menu is not typing: a back-quote would split
    // the reply into more fields.
    QGuiApplication::clipboard()->setText(QStringLiteral("5`6"));
    box->paste();
    EXPECT_EQ(box->text(), QStringLiteral("1234"));
    QGuiApplication::clipboard()->setText(QStringLiteral("56"));
    box->paste();
    EXPECT_EQ(box->text(), QStringLiteral("123456"));
    EXPECT_TRUE(frmGameSet::AcceptsTypedCharacter(QChar(8)));
    EXPECT_FALSE(frmGameSet::AcceptsTypedCharacter(u'+'));
}

TEST_F(GameSetTest, ClosingTheWindowSendsNothingAndKeepsCounting)
{
    ASSERT_TRUE(dialog->SetInitGameSetInfo(false, QStringLiteral("50`100`10`20`30`0")));
    dialog->show();
    dialog->close();
    QTest::keyClick(dialog, Qt::Key_Escape);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(dialog->isCounting());
    EXPECT_TRUE(replies.empty());
}


// Editing and moving between the boxes are not typing: Delete and Tab must
// reach the boxes as they do in any other field.
TEST_F(GameSetTest, DeleteAndTabStillEditAndMoveBetweenTheBoxes)
{
    ASSERT_TRUE(dialog->SetInitGameSetInfo(true, QStringLiteral("50`100`10`20`30`0")));
    dialog->show();
    auto* stake = dialog->findChildren<QLineEdit*>().value(0);
    auto* penalty = dialog->findChildren<QLineEdit*>().value(1);
    ASSERT_TRUE(stake && penalty);
    stake->setFocus();
    stake->setCursorPosition(0);
    // The window system sends these keys with the text it types: DEL, TAB.
    QTest::sendKeyEvent(QTest::Click, stake, Qt::Key_Delete, QString(QChar(0x7f)), Qt::NoModifier);
    EXPECT_EQ(stake->text(), QStringLiteral("0"));
    QTest::sendKeyEvent(QTest::Click, stake, Qt::Key_Tab, QStringLiteral("\t"), Qt::NoModifier);
    EXPECT_EQ(dialog->focusWidget(), penalty);
}

} // namespace
} // namespace kelpo
