#include "controls/QelChat.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QSignalSpy>

#include <gtest/gtest.h>

using kelpo::QelChat;

namespace {

struct ChatFixture : ::testing::Test {
    ChatFixture()
    {
        chat.setLocalUserName(QStringLiteral("张三"));
        chat.setTimeSource([] { return QTime(9, 5, 7); });
        chat.Initialise();
    }
    QelChat chat;
};

} // namespace

TEST_F(ChatFixture, MarkupFromPeersAndServerIsShownLiterally)
{
    const QString evil = QStringLiteral("<b>hi</b> <a href=\"http://x\">x</a> &amp;");
    chat.ShowChatLine({QStringLiteral("<i>李四</i>"), QStringLiteral("所有人"), QStringLiteral("10:00:00"),
                       QStringLiteral("宋体"), QStringLiteral("12"), QStringLiteral("#FF0000"),
                       QStringLiteral("1"), evil});
    chat.ShowServerText(QStringLiteral("<script>alert(1)</script>"));
    chat.AppendNotice(QStringLiteral("<img src=x>进来了"));
    const QStringList lines = chat.transcript().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], QStringLiteral("[10:00:00] <i>李四</i> 对 所有人 说：") + evil);
    EXPECT_EQ(lines[1], QStringLiteral("<script>alert(1)</script>"));
    EXPECT_EQ(lines[2], QStringLiteral("<img src=x>进来了"));
}

TEST_F(ChatFixture, ShortOrOddLinesNeverBreakTheView)
{
    chat.ShowChatLine({QStringLiteral("a"), QStringLiteral("b")});
    EXPECT_TRUE(chat.transcript().isEmpty());
    // Absurd formatting values fall back instead of being applied.
    chat.ShowChatLine({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QString(),
                       QStringLiteral("99999"), QStringLiteral("red;"), QStringLiteral("x"),
                       QStringLiteral("line\nbreak")});
    EXPECT_EQ(chat.transcript(), QStringLiteral("a 对 b 说：line break"));
    // The time stands before the sender's name: a peer's "time" that is not
    // one could show the line as someone else's.
    chat.ShowChatLine({QStringLiteral("甲"), QStringLiteral("所有人"),
                       QStringLiteral("10:00:00] 乙 对 所有人 说：我认输了 [10:00:01"), QString(), QString(),
                       QString(), QString(), QStringLiteral("x")});
    EXPECT_TRUE(chat.transcript().endsWith(QStringLiteral("\n甲 对 所有人 说：x"))) << chat.transcript().toStdString();
    chat.ShowChatLine({QStringLiteral("甲"), QStringLiteral("所有人"), QStringLiteral("09:05:07"), QString(), QString(),
                       QString(), QString(), QStringLiteral("y")});
    EXPECT_TRUE(chat.transcript().endsWith(QStringLiteral("\n[09:05:07] 甲 对 所有人 说：y")));
}

TEST_F(ChatFixture, SendRaisesTheTenTextsAndKeepsTheFieldsApart)
{
    QSignalSpy sent(&chat, &QelChat::sendRequested);
    chat.ChangeAddressee(QStringLiteral("李四"), QStringLiteral("ADD"));
    chat.SetCurrentAddressee(QStringLiteral("李四"));
    chat.input()->setText(QStringLiteral("  a`b 你好 "));
    chat.SendInput();
    ASSERT_EQ(sent.count(), 1);
    const QStringList f = sent.at(0).at(0).toStringList();
    ASSERT_EQ(f.size(), QelChat::FieldCount);
    EXPECT_EQ(f[0], QStringLiteral("CHAT"));
    EXPECT_EQ(f[1], QStringLiteral("张三"));
    EXPECT_EQ(f[2], QStringLiteral("张三"));
    EXPECT_EQ(f[3], QStringLiteral("李四"));
    EXPECT_EQ(f[4], QStringLiteral("09:05:07"));
    EXPECT_EQ(f[7], QStringLiteral("#000000"));
    EXPECT_EQ(f[8], QStringLiteral("0"));
    EXPECT_EQ(f[9], QStringLiteral("a'b 你好"));
    EXPECT_TRUE(chat.input()->text().isEmpty());
    chat.input()->setText(QStringLiteral("   "));
    chat.SendInput();
    EXPECT_EQ(sent.count(), 1);
}

TEST_F(ChatFixture, AddresseeListAddsOnceAndFallsBackToEveryone)
{
    chat.ChangeAddressee(QStringLiteral("李四"), QStringLiteral("ADD"));
    chat.ChangeAddressee(QStringLiteral("李四"), QStringLiteral("ADD"));
    chat.ChangeAddressee(QStringLiteral("张三"), QStringLiteral("ADD")); // ourselves
    chat.ChangeAddressee(QStringLiteral("王五"), QStringLiteral("ADD"));
    EXPECT_EQ(chat.addressees(), (QStringList{QStringLiteral("所有人"), QStringLiteral("李四"), QStringLiteral("王五")}));
    chat.SetCurrentAddressee(QStringLiteral("王五"));
    chat.ChangeAddressee(QStringLiteral("王五"), QStringLiteral("DEL"));
    // The next line must not go privately to whoever stood next in the list.
    EXPECT_EQ(chat.currentAddressee(), QStringLiteral("所有人"));
    chat.ChangeAddressee(QStringLiteral("所有人"), QStringLiteral("DEL"));
    EXPECT_EQ(chat.addressees(), (QStringList{QStringLiteral("所有人"), QStringLiteral("李四")}));
    EXPECT_FALSE(chat.currentAddressee().isEmpty());
    chat.ClearAddressees();
    EXPECT_EQ(chat.currentAddressee(), QStringLiteral("所有人"));
    EXPECT_EQ(chat.addressees().size(), 1);
}

TEST_F(ChatFixture, ShownChatFollowsItsNewestLineThroughWrapsAndTheLineLimit)
{
    chat.resize(220, 240);
    chat.show();
    auto* view = chat.findChild<QPlainTextEdit*>();
    QScrollBar* bar = view->verticalScrollBar();
    for (int i = 0; i < 2010; ++i) {
        chat.AppendNotice(QStringLiteral("%1 一行很长的文字，在窄的窗口里会折成几行显示").arg(i));
        if (i % 500 == 0)
            QCoreApplication::processEvents();
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(view->document()->blockCount(), 2000);
    EXPECT_GT(bar->maximum(), 2000); // the wrapped lines' lines are counted
    EXPECT_EQ(bar->value(), bar->maximum());
    const QPoint bottom(10, view->viewport()->height() - 4);
    EXPECT_EQ(view->cursorForPosition(bottom).block(), view->document()->lastBlock());
}
