// What a screen reader learns from the real main window's table.

#include "TableFlowFixture.h"

#include "table/TableDescription.h"
#include "table/TableWidget.h"

#include <QAccessible>
#include <QPushButton>
#include <QTest>

using namespace kelpo;
using namespace kelpo::test;

TEST_F(TableFlowTest, TheTableNamesCardsButtonsSeatsAndClockAndAnnouncesWhatHappens)
{
    QStringList alerts;
    QObject::connect(&client, &Client::announced, [&](const QString& text) { alerts << text; });
    startHand({12, 0, 25, 11, 24, 5, 18, 1, 14}, 0, 1);
    deliver(PlayMsg(0, {3}, 1, 2));
    QTest::keyClick(window->picGameBack, Qt::Key_Right);
    QTest::keyClick(window->picGameBack, Qt::Key_Space);

    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(window->picGameBack);
    ASSERT_NE(table, nullptr);
    QHash<QString, QAccessibleInterface*> byName;
    for (int i = 0; i < table->childCount(); ++i) {
        QAccessibleInterface* c = table->child(i);
        ASSERT_NE(c, nullptr) << i;
        byName.insert(c->text(QAccessible::Name), c);
    }
    ASSERT_TRUE(byName.contains(QStringLiteral("黑桃2")));
    EXPECT_EQ(byName[QStringLiteral("黑桃2")]->role(), QAccessible::ListItem);
    EXPECT_TRUE(byName[QStringLiteral("黑桃2")]->state().selected);
    ASSERT_TRUE(byName.contains(QStringLiteral("梅花2")));
    EXPECT_FALSE(byName[QStringLiteral("梅花2")]->state().selected);
    EXPECT_TRUE(byName[QStringLiteral("黑桃2")]->rect().isValid());
    for (const char* button : {"出牌", "不出", "上一轮", "重新排序"}) {
        QAccessibleInterface* b = byName.value(QString::fromUtf8(button));
        ASSERT_NE(b, nullptr) << button << " among " << QStringList(byName.keys()).join('|').toStdString();
        EXPECT_EQ(b->role(), QAccessible::Button) << button;
    }
    ASSERT_TRUE(byName.contains(QStringLiteral("1号座位 p0")));
    EXPECT_TRUE(byName[QStringLiteral("1号座位 p0")]->text(QAccessible::Description).contains(QStringLiteral("黑桃6")));
    ASSERT_TRUE(byName.contains(QStringLiteral("出牌时间")));
    EXPECT_TRUE(byName[QStringLiteral("出牌时间")]->text(QAccessible::Description).startsWith(QStringLiteral("p1 还剩")));
    // A name is told as it is, also one that looks like a placeholder.
    client.state.seats[1].name = QStringLiteral("p%1");
    for (const TableItem& it : DescribeTable(client.state))
        if (it.kind == TableItem::Kind::Clock)
            EXPECT_TRUE(it.description.startsWith(QStringLiteral("p%1 还剩"))) << it.description.toStdString();

    EXPECT_TRUE(alerts.contains(QStringLiteral("1号 p0 出 黑桃6"))) << alerts.join('|').toStdString();
    ASSERT_FALSE(alerts.isEmpty());
    EXPECT_EQ(alerts.last(), QStringLiteral("轮到你跟牌"));
    EXPECT_EQ(table->child(table->childCount() - 1)->text(QAccessible::Name), QStringLiteral("轮到你跟牌"));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(window->cmdReview)->text(QAccessible::Name),
              QStringLiteral("上局回顾"));
}

TEST_F(TableFlowTest, ASeatIsToldItsCardCountOnlyWhenTheTableShowsIt)
{
    const auto seatText = [this](int seat) {
        for (const TableItem& it : DescribeTable(client.state))
            if (it.kind == TableItem::Kind::Seat && it.name.startsWith(QStringLiteral("%1号座位").arg(seat + 1)))
                return it.description.toStdString();
        return std::string();
    };
    // The table owner hid the counts: only the local hand's own is known.
    startHand({12, 0, 25, 11, 24, 5, 18, 1, 14}, 0, 1);
    EXPECT_EQ(seatText(0), "对手，正在出牌");
    EXPECT_EQ(seatText(3), "同伴");
    EXPECT_EQ(seatText(1), "自己，剩9张");

    QByteArray start = HandStartMsg(0, 1, 5, 1);
    start[17] = 1;
    deliver(start);
    deliver(DealMsg({12, 0, 25, 11, 24, 5, 18, 1, 14}));
    EXPECT_EQ(seatText(3), "同伴，剩9张");
    seatAt(1, true);
    EXPECT_EQ(seatText(1), "你观看的玩家，剩9张");
}
