#include "TableFlowFixture.h"

#include "game/RoomMessages.h"
#include "net/Packet.h"
#include "settings/frmGameSet.h"
#include "skin/ModalBoxes.h"
#include "skin/MsgPool.h"

#include <QRandomGenerator>

namespace kelpo::test {
namespace {

QByteArray RoomMsg(int cls, int code, const QString& text = QString())
{
    QByteArray packet;
    if (BuildPacket(text, packet, 2, Bytes({cls, code})))
        return packet;
    return Bytes({cls, code});
}

// name`id`score`level`watched`games`win`escape`w`l`d`figure`icon`chair`hand`offline
QString Record(const QString& name, const QString& watched, const QString& chair, const QString& icon = "2005",
               const QString& handUp = "0", const QString& offline = "0")
{
    return QStringList{name, "1001", "300", "120", watched, "10", "50", "0", "5", "5", "0", "1", icon, chair,
                       handUp, offline}
        .join(u'`');
}

class RoomMessagesTest : public TableFlowTest {
protected:
    RoomMessagesTest()
    {
        for (SeatRecord& s : client.state.seats)
            s = SeatRecord{};
        client.state.globals.UserName = QStringLiteral("张三");
        client.state.globals.ViewedUserName = QStringLiteral("张三");
        client.state.globals.MySeat = 0;
        client.state.globals.IsSpectator = false;
        ConnectRoomSide(client);
        cues.clear();
    }

    QelList& list() { return *client.room.lstUser; }
    QelChat& chat() { return *client.room.QelChat; }
    int seatOf(const QString& name) const
    {
        for (int i = 0; i < SeatCount; ++i)
            if (client.state.seats[static_cast<std::size_t>(i)].name == name)
                return i;
        return -1;
    }
    int openBoxes() { return static_cast<int>(client.msgPool().openBoxes().size()); }
};

TEST_F(RoomMessagesTest, SpectatorByCodeFourIsListedUnseatedAndSilentByCodeZeroWithCue)
{
    deliver(RoomMsg(130, 4, Record("看客甲", "李四", "3")));
    EXPECT_FALSE(list().Find("看客甲").isEmpty());
    EXPECT_TRUE(chat().addressees().contains("看客甲"));
    EXPECT_TRUE(chat().transcript().contains("看客甲 进来了..."));
    EXPECT_EQ(seatOf("看客甲"), -1);
    EXPECT_TRUE(cues.empty());

    deliver(RoomMsg(130, 0, Record("看客乙", " 李四 ", "3")));
    EXPECT_FALSE(list().Find("看客乙").isEmpty());
    EXPECT_TRUE(chat().transcript().contains("看客乙 进来了，正在旁观  李四  游戏..."));
    EXPECT_EQ(seatOf("看客乙"), -1);
    EXPECT_EQ(cues, std::vector<QString>{"PangGuanIn.wav"});

    // Code 0 only announces spectators; arrivals already listed change nothing.
    cues.clear();
    const QString before = chat().transcript();
    deliver(RoomMsg(130, 0, Record("玩家", "  ", "3")));
    deliver(RoomMsg(130, 0, Record("看客乙", "李四", "3")));
    deliver(RoomMsg(130, 4, Record("看客甲", "", "3")));
    EXPECT_EQ(chat().transcript(), before);
    EXPECT_TRUE(cues.empty());
    EXPECT_TRUE(list().Find("玩家").isEmpty());
    EXPECT_EQ(seatOf("看客甲"), -1);

    deliver(RoomMsg(108, 4, "看客乙"));
    EXPECT_TRUE(list().Find("看客乙").isEmpty());
    EXPECT_FALSE(chat().addressees().contains("看客乙"));
    EXPECT_TRUE(chat().transcript().contains("旁观用户 看客乙 走了..."));
    EXPECT_EQ(cues, std::vector<QString>{"PangGuanOut.wav"});
}

TEST_F(RoomMessagesTest, PlayersTakeTheSeatOfTheirChairModuloSix)
{
    deliver(RoomMsg(130, 4, Record("李四", "", "7", "2005")));
    ASSERT_EQ(seatOf("李四"), 1);
    EXPECT_EQ(client.state.seats[1].iconNumber, 2005);

    deliver(RoomMsg(130, 4, Record("王五", "", "-1")));
    deliver(RoomMsg(130, 4, Record("赵六", "", "99999999999999")));
    deliver(RoomMsg(130, 4, Record("钱七", "", "abc")));
    EXPECT_FALSE(list().Find("王五").isEmpty()) << "listed although seated nowhere";
    EXPECT_EQ(seatOf("王五"), -1);
    EXPECT_GE(seatOf("赵六"), 0);
    EXPECT_EQ(seatOf("钱七"), 0);

    // Records of the wrong size are ignored entirely.
    for (const QString& bad : {Record("孙八", "", "2") + "`x", Record("孙八", "", "2").section(u'`', 0, 14),
                               QString("孙八")}) {
        deliver(RoomMsg(130, 4, bad));
        deliver(RoomMsg(130, 0, bad));
    }
    EXPECT_TRUE(list().Find("孙八").isEmpty());
    EXPECT_EQ(seatOf("孙八"), -1);

    // A record without a name is nobody: no notice, no seat.
    const QString before = chat().transcript();
    deliver(RoomMsg(130, 4, Record("", "", "5")));
    deliver(RoomMsg(130, 0, Record("", "李四", "5")));
    EXPECT_EQ(chat().transcript(), before);
    EXPECT_TRUE(cues.empty());
}

TEST_F(RoomMessagesTest, IdentityNeedsExactlyTwoFields)
{
    deliver(RoomMsg(130, 3, "甲`乙`丙"));
    EXPECT_EQ(client.state.globals.UserName, "张三");
    deliver(RoomMsg(130, 3, "看客`李四"));
    EXPECT_EQ(client.state.globals.UserName, "看客");
    EXPECT_EQ(client.state.globals.ViewedUserName, "李四");
    EXPECT_EQ(list().localUserName(), "看客");
    EXPECT_EQ(chat().localUserName(), "看客");
}

TEST_F(RoomMessagesTest, UserListFillsSeatsAndMapsTheView)
{
    client.state.globals.ViewedUserName = "李四";
    const QString body = QStringList{Record("李四", "", "4", "1003", "1"), Record("王五", "", "5", "7", "0", "1"),
                                     Record("看客", "李四", "0")}
                             .join(u'`');
    deliver(RoomMsg(130, 2, body));
    EXPECT_EQ(seatOf("李四"), 4);
    EXPECT_TRUE(client.state.seats[4].isHandUp);
    EXPECT_EQ(client.state.seats[4].iconNumber, 1003);
    EXPECT_TRUE(client.state.seats[5].isOffline);
    EXPECT_EQ(seatOf("看客"), -1);
    EXPECT_TRUE(chat().addressees().contains("看客"));
    EXPECT_TRUE(chat().addressees().contains("王五"));
    EXPECT_EQ(client.state.globals.MySeat, 4);
    EXPECT_EQ(client.state.globals.SeatViewPos[4], 2);
    EXPECT_EQ(client.state.globals.SeatViewPos[0], 4);

    // During a match a raised hand in the list is not shown.
    client.state.table.MatchStarted = 1;
    deliver(RoomMsg(130, 2, Record("李四", "", "4", "1003", "1")));
    EXPECT_FALSE(client.state.seats[4].isHandUp);

    // A name the list holds no record for takes no seat.
    client.state.seats = {};
    lstUser_UsersAdded(client, "无名");
    EXPECT_EQ(seatOf("无名"), -1);
}

// A refreshed list is the whole table: whoever it no longer carries is gone
// from the seats and the addressees, though no departure was heard.
TEST_F(RoomMessagesTest, ARefreshedListDropsWhomItNoLongerCarries)
{
    deliver(RoomMsg(130, 2, QStringList{Record("李四", "", "2"), Record("王五", "", "3", "7", "1", "1"),
                                        Record("赵六", "", "4")}.join(u'`')));
    chat().SetCurrentAddressee("李四");
    deliver(RoomMsg(130, 2, QStringList{Record("王五", "", "1"), Record("赵六", "", "4")}.join(u'`')));
    EXPECT_EQ(seatOf("李四"), -1);
    EXPECT_EQ(seatOf("王五"), 1) << "moved, not shown twice";
    EXPECT_TRUE(client.state.seats[2].name.isEmpty() && client.state.seats[3].name.isEmpty());
    EXPECT_FALSE(client.state.seats[3].isOffline || client.state.seats[3].isHandUp);
    EXPECT_FALSE(chat().addressees().contains("李四"));
    EXPECT_EQ(chat().currentAddressee(), QelChat::Everyone);

    chat().SetCurrentAddressee("赵六");
    deliver(RoomMsg(130, 2, Record("赵六", "", "4")));
    EXPECT_EQ(chat().currentAddressee(), "赵六") << "still here: still the addressee";
    deliver(RoomMsg(130, 2));
    EXPECT_EQ(seatOf("赵六"), -1);
    EXPECT_EQ(chat().addressees(), QStringList{QelChat::Everyone});
}

TEST_F(RoomMessagesTest, ConnectionStateAndLeavingChangeOnlyTheNamedSeat)
{
    deliver(RoomMsg(130, 4, Record("李四", "", "2")));
    deliver(RoomMsg(108, 3, "李四"));
    EXPECT_TRUE(client.state.seats[2].isOffline);
    EXPECT_TRUE(chat().transcript().contains("不好，李四 掉线了..."));
    deliver(RoomMsg(108, 0, "李四"));
    EXPECT_FALSE(client.state.seats[2].isOffline);
    EXPECT_TRUE(chat().transcript().contains("哈哈，李四 终于上线了..."));

    const QString before = chat().transcript();
    deliver(RoomMsg(108, 3, "路人"));
    deliver(Bytes({108, 3}));
    EXPECT_EQ(chat().transcript(), before);
    for (const SeatRecord& s : client.state.seats)
        EXPECT_EQ(s.isOffline, false);

    client.state.seats[2].isHandUp = true;
    client.state.seats[2].isOffline = true;
    deliver(RoomMsg(110, 1, "李四"));
    EXPECT_EQ(seatOf("李四"), 2) << "other codes of 110 are ignored";
    deliver(RoomMsg(110, 0, "李四"));
    EXPECT_EQ(seatOf("李四"), -1);
    EXPECT_EQ(client.state.seats[2].iconNumber, 0);
    EXPECT_FALSE(client.state.seats[2].isHandUp || client.state.seats[2].isOffline);
    EXPECT_TRUE(list().Find("李四").isEmpty());
    EXPECT_FALSE(chat().addressees().contains("李四"));
    EXPECT_TRUE(chat().transcript().contains("李四 走了..."));
}

// With "显示用户进出消息" off, comings and goings still reach the list and
// the seats but not the chat.
TEST_F(RoomMessagesTest, ComingsAndGoingsAreNotShownWhenThePlayerTurnedThemOff)
{
    client.state.prefs.ShowInOutMsg = 0;
    deliver(RoomMsg(130, 4, Record("李四", "", "2")));
    deliver(RoomMsg(130, 0, Record("看客乙", "李四", "3")));
    EXPECT_EQ(seatOf("李四"), 2);
    deliver(RoomMsg(108, 4, "看客乙"));
    deliver(RoomMsg(110, 0, "李四"));
    EXPECT_TRUE(list().Find("李四").isEmpty());
    EXPECT_TRUE(chat().transcript().isEmpty());
}

TEST_F(RoomMessagesTest, SettingsRoundWithoutSettingsOffersTheStartEvenToANonOwner)
{
    client.state.table.MatchStarted = 1;
    deliver(RoomMsg(111, 0, "a`b`c`0`d`0"));
    EXPECT_EQ(client.state.table.MatchStarted, 0);
    EXPECT_TRUE(client.state.table.StartOffered);
    ASSERT_TRUE(client.room.cmdStart);
    EXPECT_FALSE(client.room.cmdStart->isHidden());
    EXPECT_TRUE(client.room.tmrStart->isActive());
    EXPECT_FALSE(client.room.gameSet);

    // Too few fields: nothing happens.
    client.state.table.MatchStarted = 1;
    deliver(RoomMsg(111, 0, "a`b`c`0`0"));
    EXPECT_EQ(client.state.table.MatchStarted, 1);
}

TEST_F(RoomMessagesTest, SettingsRoundOpensTheDialogInTheRightModeOrWaits)
{
    deliver(RoomMsg(111, 0, "a`b`c`1`d`1`0`50`100`10`20`30`0"));
    ASSERT_TRUE(client.room.gameSet);
    EXPECT_TRUE(client.room.gameSet->isOwnerMode());
    EXPECT_TRUE(client.room.gameSet->isVisible());
    EXPECT_EQ(client.room.gameSet->boxText(0), "50");

    // A second request reuses the one dialog.
    QPointer<frmGameSet> first = client.room.gameSet;
    deliver(RoomMsg(111, 0, "a`b`c`0`d`1`1`60`100`10`20`30`0"));
    EXPECT_EQ(client.room.gameSet, first);
    EXPECT_FALSE(first->isOwnerMode());
    EXPECT_EQ(first->boxText(0), "60");

    // Agreeing sends the reply through the client and forgets the dialog.
    first->cmdUser_Click(0);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0], RoomMsg(112, 1, "张三"));
    EXPECT_FALSE(client.room.gameSet);

    // Not the owner, and the owner has not decided yet: a waiting notice.
    deliver(RoomMsg(111, 0, "a`b`c`0`d`1`0`50`100`10`20`30`0"));
    EXPECT_EQ(openBoxes(), 1);
    EXPECT_FALSE(client.room.gameSet);
    // Exactly six fields: the missing seventh reads as 0, so it waits too,
    // under the one notice already up however often it is said.
    for (int i = 0; i < 50; ++i)
        deliver(RoomMsg(111, 0, "a`b`c`0`d`1"));
    EXPECT_EQ(openBoxes(), 1);
    client.msgPool().CloseMsgBoxes(0);
    deliver(RoomMsg(111, 0, "a`b`c`0`d`1"));
    EXPECT_EQ(openBoxes(), 1);
    EXPECT_TRUE(sent.size() == 1u);
}

TEST_F(RoomMessagesTest, MalformedSettingsDeclineForTheUser)
{
    for (const QString& settings : {QString("50`100`10`20`30"), QString("50`100`10`20`30`0`9"), QString()}) {
        sent.clear();
        deliver(RoomMsg(111, 0, "a`b`c`1`d`1`0`" + settings));
        EXPECT_FALSE(client.room.gameSet) << settings.toStdString();
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_EQ(sent[0], RoomMsg(110, 0, "张三"));
    }
}

TEST_F(RoomMessagesTest, RaisedHandsAndTheOwnersSettingsReachingOthers)
{
    deliver(RoomMsg(130, 4, Record("张三", "", "0")));
    deliver(RoomMsg(130, 4, Record("李四", "", "1")));
    deliver(RoomMsg(111, 0, "a`b`c`0`d`1`0`50`100`10`20`30`0"));
    ASSERT_EQ(openBoxes(), 1);

    // Nobody seated under that name: nothing at all, the notice stays.
    deliver(RoomMsg(112, 0, "路人`50`100`10`20`30`0"));
    EXPECT_EQ(openBoxes(), 1);

    // The local user's own settings with code 2: hands up, then all down, no dialog.
    deliver(RoomMsg(112, 2, "张三`50`100`10`20`30`0"));
    EXPECT_EQ(openBoxes(), 0);
    EXPECT_FALSE(client.room.gameSet);
    for (const SeatRecord& s : client.state.seats)
        EXPECT_FALSE(s.isHandUp);

    // The owner's settings reach another player: read-only dialog.
    deliver(RoomMsg(112, 0, "李四`50`100`10`20`30`0"));
    EXPECT_TRUE(client.state.seats[1].isHandUp);
    ASSERT_TRUE(client.room.gameSet);
    EXPECT_FALSE(client.room.gameSet->isOwnerMode());
    EXPECT_TRUE(sent.empty());
    client.room.gameSet->cmdUser_Click(1);
    EXPECT_EQ(sent.back(), RoomMsg(110, 0, "张三"));

    // Malformed settings from another player: decline, and the hands stay up.
    sent.clear();
    deliver(RoomMsg(112, 3, "李四`50`100"));
    EXPECT_FALSE(client.room.gameSet);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0], RoomMsg(110, 0, "张三"));
    EXPECT_TRUE(client.state.seats[1].isHandUp);
}

TEST_F(RoomMessagesTest, TableResetWhileAModalBoxWaitsClosesItCleanly)
{
    deliver(RoomMsg(130, 4, Record("李四", "", "1")));
    chat().SetCurrentAddressee("李四");
    client.state.table.StartOffered = true;
    bool resetInside = false;
    ModalBoxes::instance().setObserver([&](QWidget*) {
        if (resetInside)
            return;
        resetInside = true;
        deliver(RoomMsg(130, 1));
    });
    const std::int16_t answer =
        client.msgPool().ShowMsg(0, window.get(), 1, "x", "y", 10, "确定", QString(), true);
    EXPECT_TRUE(resetInside);
    EXPECT_EQ(answer, 0) << "a box closed by the reset gives no answer";
    EXPECT_EQ(openBoxes(), 0);
    EXPECT_EQ(client.msgPool().MsgObjectMax(), -1);
    EXPECT_EQ(list().count(), 0);
    EXPECT_TRUE(chat().addressees().isEmpty() || chat().addressees() == QStringList{QelChat::Everyone});
    EXPECT_EQ(chat().currentAddressee(), QelChat::Everyone);
    EXPECT_FALSE(client.state.table.StartOffered);
    EXPECT_TRUE(client.room.cmdStart->isHidden());
}

TEST_F(RoomMessagesTest, ServerTextSkipsItsThirdByte)
{
    QByteArray m = RoomMsg(105, 0, "X欢迎光临");
    deliver(m);
    EXPECT_TRUE(chat().transcript().contains("欢迎光临"));
    EXPECT_FALSE(chat().transcript().contains("X欢迎"));
}

TEST_F(RoomMessagesTest, WindowHiddenAndShownByCodeFive)
{
    deliver(Bytes({130, 5, 1}));
    EXPECT_FALSE(window->isVisible());
    deliver(Bytes({130, 5}));
    EXPECT_FALSE(window->isVisible()) << "without its byte the message is ignored";
    deliver(Bytes({130, 5, 0}));
    EXPECT_TRUE(window->isVisible());
}

TEST_F(RoomMessagesTest, IdleSnapshotOffersTheStartToAPlayerWhoseHandIsDown)
{
    deliver(RoomMsg(130, 4, Record("张三", "", "0")));
    deliver(Bytes({109, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0}));
    EXPECT_EQ(client.state.table.MatchStarted, 1);
    EXPECT_EQ(client.state.table.TurnPhase, PhaseBetweenHands);
    EXPECT_TRUE(client.state.seats[1].isHandUp);
    EXPECT_TRUE(client.state.table.StartOffered);
    EXPECT_FALSE(client.room.cmdStart->isHidden());

    deliver(Bytes({109, 0, 0, 0, 1, 1, 0, 0, 0, 0, 0}));
    EXPECT_FALSE(client.state.table.StartOffered) << "own hand already raised";

    client.state.globals.IsSpectator = true;
    deliver(Bytes({109, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0}));
    EXPECT_FALSE(client.state.table.StartOffered);
    EXPECT_TRUE(client.room.cmdStart->isHidden());

    // Too short to say anything: the match still counts as started.
    deliver(Bytes({109, 0}));
    EXPECT_EQ(client.state.table.MatchStarted, 1);
}

TEST_F(RoomMessagesTest, AnyBytesInAnyRoomClassAreSafe)
{
    // Answer any box at once so nothing waits.
    ModalBoxes::instance().setObserver([](QWidget* box) { box->close(); });
    QRandomGenerator rng(7);
    const int classes[] = {105, 108, 109, 110, 111, 112, 130, 95, 255};
    for (int i = 0; i < 3000; ++i) {
        QByteArray m;
        m.append(static_cast<char>(classes[rng.bounded(9)]));
        const int n = rng.bounded(40);
        for (int k = 0; k < n; ++k) {
            // Mostly digits and back-quotes, so records and fields take shape.
            const int pick = rng.bounded(10);
            m.append(pick < 5 ? static_cast<char>('0' + rng.bounded(10))
                     : pick < 8 ? '`'
                                : static_cast<char>(rng.bounded(256)));
        }
        if (m.size() > 1 && rng.bounded(2) == 0)
            m[1] = static_cast<char>(rng.bounded(7));
        deliver(m);
        if (client.room.gameSet)
            client.room.gameSet->cmdUser_Click(1);
    }
    for (const SeatRecord& s : client.state.seats)
        EXPECT_LE(s.name.size(), 40);
}

} // namespace
} // namespace kelpo::test
