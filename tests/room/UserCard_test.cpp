#include "room/UserCard.h"

#include "controls/QelChat.h"
#include "controls/QelList.h"
#include "game/Client.h"
#include "net/Packet.h"
#include "room/frmGameMain.h"
#include "state/Levels.h"

#include <QCoreApplication>
#include <QImage>
#include <QMenu>

#include <gtest/gtest.h>

using namespace kelpo;

namespace {

QString Record(const QString& name, const QString& icon)
{
    return QStringList{name, QStringLiteral("u77"), QStringLiteral("340"), QStringLiteral("120"),
                       QStringLiteral("李四"), QStringLiteral("25"), QStringLiteral("60"), QStringLiteral("4"),
                       QStringLiteral("15"), QStringLiteral("9"), QStringLiteral("1"), QStringLiteral("1"),
                       icon, QStringLiteral("3"), QStringLiteral("0"), QStringLiteral("0")}
        .join(QLatin1Char('`'));
}

} // namespace

TEST(UserCard, CaptionsNameClassLevelAndScores)
{
    ClientState s;
    s.globals.LevelTable = ParseLevelTable(QStringLiteral("新手_0`高手_100"));
    s.globals.ScoreKind = 0;
    const auto c = UserCardCaptions(s, Record(QStringLiteral("王五"), QStringLiteral("2005")));
    ASSERT_TRUE(c);
    EXPECT_EQ((*c)[0], QStringLiteral("王五   身份：蓝钻会员"));
    EXPECT_EQ((*c)[1], QStringLiteral("游戏ID：u77"));
    EXPECT_EQ((*c)[2], QStringLiteral("旁观对象：李四"));
    EXPECT_EQ((*c)[3], QStringLiteral("-"));
    EXPECT_EQ((*c)[4], QStringLiteral("与他（她）交谈"));
    EXPECT_EQ((*c)[6], QStringLiteral("级别:高手   胜率:60%   逃跑率:4%"));
    EXPECT_EQ((*c)[7], QStringLiteral("经验:340   胜:15   输:9   和:1   总局数:25"));

    s.globals.ScoreKind = 2;
    EXPECT_TRUE((*UserCardCaptions(s, Record(QStringLiteral("a"), QStringLiteral("1")))) [7].startsWith(QStringLiteral("积分:340")));
    for (const char* icon : {"5000", "-1000", "9999999999"})
        EXPECT_TRUE((*UserCardCaptions(s, Record(QStringLiteral("a"), QString::fromLatin1(icon))))[0].endsWith(
            QStringLiteral("未知身份")))
            << icon;
    EXPECT_FALSE(UserCardCaptions(s, QString()));
    EXPECT_FALSE(UserCardCaptions(s, Record(QStringLiteral("a"), QStringLiteral("1")) + QStringLiteral("`extra")));
}

TEST(UserCard, OnlyTheTalkItemChangesTheAddressee)
{
    Client client;
    client.setPacketSink([](const QByteArray&) {});
    frmGameMain window(client);
    const QString rec = Record(QStringLiteral("A&B"), QStringLiteral("1"));
    window.lstUser->Add(rec);
    emit window.lstUser->userClicked(true, QStringLiteral("A&B"), rec);
    ASSERT_NE(window.userMenu(), nullptr);
    EXPECT_EQ(window.userMenu()->mnuUserItem(0)->text(), QStringLiteral("A&&B   身份：普通用户"));
    EXPECT_TRUE(window.userMenu()->mnuUserItem(3)->isSeparator());
    {
        // A separator shows its line and nothing before it, as a plain one does.
        QMenu plain;
        plain.addAction(QStringLiteral("x"));
        QAction* line = plain.addSeparator();
        plain.addAction(QStringLiteral("y"));
        const auto start = [](QMenu* m, QAction* a) {
            m->resize(m->sizeHint());
            const QRect r = m->actionGeometry(a);
            return m->grab().toImage().copy(r.x(), r.y(), 24, r.height());
        };
        EXPECT_EQ(start(window.userMenu(), window.userMenu()->mnuUserItem(3)), start(&plain, line));
    }
    EXPECT_EQ(window.userMenu()->mnuUserItem(7)->data().toString(), QStringLiteral("A&B"));

    window.userMenu()->Choose(6);
    EXPECT_EQ(window.chat->currentAddressee(), QStringLiteral("所有人"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(window.userMenu(), nullptr);

    emit window.lstUser->userClicked(true, QStringLiteral("A&B"), rec);
    window.userMenu()->Choose(UserCardTalkItem);
    EXPECT_EQ(window.chat->currentAddressee(), QStringLiteral("A&B"));

    // A card still open when its user leaves no longer leads to them: the
    // server gives a line for someone gone to the whole table.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    window.chat->SetCurrentAddressee(QelChat::Everyone);
    emit window.lstUser->userClicked(true, QStringLiteral("A&B"), rec);
    QByteArray left;
    ASSERT_TRUE(BuildPacket(QStringLiteral("A&B"), left, 2, QByteArray("\x6e\x00", 2)));
    client.OnDataArrived(left);
    ASSERT_NE(window.userMenu(), nullptr);
    window.userMenu()->Choose(UserCardTalkItem);
    EXPECT_EQ(window.chat->currentAddressee(), QStringLiteral("所有人"));

    // A damaged record opens no card.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    emit window.lstUser->userClicked(true, QStringLiteral("x"), QStringLiteral("x`y"));
    EXPECT_EQ(window.userMenu(), nullptr);
}
