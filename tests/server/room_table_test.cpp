#include "net/Packet.h"
#include "platform/TickClock.h"
#include "server/AccountStore.h"
#include "server/GameMessages.h"
#include "server/RoomMessages.h"
#include "server/RoomTable.h"
#include "server/ScratchPostgres.h"
#include "state/CardStateOps.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <vector>

namespace kelpo::server {
namespace {

QByteArray Text(int cls, int code, const QString& body)
{
    QByteArray header;
    header.append(static_cast<char>(cls));
    header.append(static_cast<char>(code));
    QByteArray packet;
    BuildPacket(body, packet, 2, header);
    return packet;
}

QByteArray Identification(int allowWatch = 0, const QString& game = QStringLiteral("KELPO"))
{
    return Text(130, 0, QStringLiteral("300`%1`%2").arg(game).arg(allowWatch));
}

int Cls(const QByteArray& m) { return static_cast<std::uint8_t>(m[0]); }
int Code(const QByteArray& m) { return m.size() > 1 ? static_cast<std::uint8_t>(m[1]) : -1; }

RoomConfig Config(const QStringList& players, const QList<ExpectedSpectator>& spectators = {})
{
    RoomConfig c;
    c.players = players;
    c.spectators = spectators;
    c.bots = SeatCount - static_cast<int>(players.size());
    c.table.botDelayMs = 0;
    c.table.stake = 10;
    c.table.escapePenalty = 7;
    c.stakeRange = {1, 1000};
    c.escapeRange = {0, 1000};
    c.identifyTimeoutMs = 5000;
    c.seed = 7;
    return c;
}

class RoomTableTest : public ::testing::Test {
protected:
    void make(const RoomConfig& config)
    {
        table = std::make_unique<RoomTable>(
            config, clock, [this](int id, const QByteArray& m) { inbox[id].push_back(m); },
            [this](int id) { closed.insert(id); });
    }
    void join(int id, int allowWatch = 0)
    {
        table->connectionOpened(id);
        table->messageArrived(id, Identification(allowWatch));
    }
    std::vector<QByteArray> take(int id)
    {
        std::vector<QByteArray> out;
        out.swap(inbox[id]);
        return out;
    }
    static std::vector<QByteArray> OfClass(const std::vector<QByteArray>& ms, int cls)
    {
        std::vector<QByteArray> out;
        for (const QByteArray& m : ms)
            if (Cls(m) == cls)
                out.push_back(m);
        return out;
    }
    // The record of name in the last user list among messages.
    static QStringList RecordIn(const std::vector<QByteArray>& ms, const QString& name)
    {
        QStringList found;
        for (const QByteArray& m : ms) {
            if (Cls(m) != 130 || Code(m) != 2)
                continue;
            const QStringList f = MessageFields(m, 2);
            for (qsizetype at = 0; at + 16 <= f.size(); at += 16)
                if (f[at] == name)
                    found = f.mid(at, 16);
        }
        return found;
    }
    static int IndexOfClass(const std::vector<QByteArray>& ms, int cls)
    {
        for (std::size_t i = 0; i < ms.size(); ++i)
            if (Cls(ms[i]) == cls)
                return static_cast<int>(i);
        return -1;
    }
    // Every human turn runs out, so the referee plays the hand to its end.
    void finishHand()
    {
        for (int i = 0; i < 500 && table->referee().handInPlay(); ++i) {
            clock.advance(60000);
            table->tick();
        }
        ASSERT_FALSE(table->referee().handInPlay());
    }
    // 甲 alone among bots, accounts in store, the first hand dealt.
    void startAloneWith(AccountStore& store)
    {
        RoomConfig c = Config({QStringLiteral("甲")});
        c.settingsRound = false;
        make(c);
        table->setAccounts(&store);
        join(1);
        table->messageArrived(1, Text(112, 1, QStringLiteral("甲")));
    }
    void ownerSets(int id, const QString& name, int stake = 10, int escape = 7)
    {
        table->messageArrived(id, Text(112, 0, QStringLiteral("%1`%2`1000`1`%3`1000`0").arg(name).arg(stake).arg(escape)));
    }

    ManualTickClock clock;
    std::unique_ptr<RoomTable> table;
    std::map<int, std::vector<QByteArray>> inbox;
    std::set<int> closed;
};

TEST_F(RoomTableTest, OwnerJoinsGetsTheSettingsAndTheBotsRaiseOnlyAfterTheOwner)
{
    make(Config({QStringLiteral("甲")}));
    join(1);
    auto got = take(1);
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(Cls(got[0]), 130);
    EXPECT_EQ(Code(got[0]), 3);
    EXPECT_EQ(BytesToText(got[0], 2), QStringLiteral("甲`甲"));
    EXPECT_EQ(Code(got[1]), 2);
    EXPECT_EQ(MessageFields(got[1], 2).size(), 6 * 16);
    EXPECT_EQ(Cls(got[2]), 111);
    const QStringList f = MessageFields(got[2], 2);
    ASSERT_EQ(f.size(), 13);
    EXPECT_EQ(f[3], QStringLiteral("1"));
    EXPECT_EQ(f[5], QStringLiteral("1"));
    EXPECT_EQ(f.mid(7).join(u'`'), QStringLiteral("10`1000`1`7`1000`0"));
    for (const auto& m : got)
        EXPECT_FALSE(Cls(m) == 130 && Code(m) == 1) << "a table reset would clear the identity";

    // Out of range, or in another's name: asked again, nothing decided.
    ownerSets(1, QStringLiteral("甲"), 5000);
    EXPECT_FALSE(table->settingsMade());
    got = take(1);
    EXPECT_EQ(OfClass(got, 111).size(), 1u);
    ownerSets(1, QStringLiteral("乙"), 20);
    EXPECT_FALSE(table->settingsMade());

    ownerSets(1, QStringLiteral("甲"), 25, 3);
    EXPECT_EQ(table->stake(), 25);
    EXPECT_EQ(table->escapePenalty(), 3);
    got = take(1);
    ASSERT_GE(got.size(), 7u);
    EXPECT_EQ(Cls(got[0]), 112);
    EXPECT_EQ(BytesToText(got[0], 2), QStringLiteral("甲"));
    for (int i = 1; i <= 5; ++i) {
        EXPECT_EQ(Cls(got[i]), 112);
        EXPECT_EQ(Code(got[i]), 1);
        EXPECT_EQ(BytesToText(got[i], 2), table->seatHolder(i));
    }
    EXPECT_EQ(Cls(got[6]), MsgHandStart);
    EXPECT_TRUE(table->referee().handInPlay());
    EXPECT_EQ(table->referee().config().stake, 25);
}

TEST_F(RoomTableTest, OtherPlayersWaitThenAgreeAndADeclinerIsReplacedByABot)
{
    make(Config({QStringLiteral("甲"), QStringLiteral("乙"), QStringLiteral("丁")}));
    join(1);
    take(1);
    join(2);
    auto second = take(2);
    const auto waiting = OfClass(second, 111);
    ASSERT_EQ(waiting.size(), 1u);
    EXPECT_EQ(MessageFields(waiting[0], 2).mid(3, 4), (QStringList{"0", "0", "1", "0"}));
    const auto arrivals = OfClass(take(1), 130);
    ASSERT_EQ(arrivals.size(), 1u);
    EXPECT_EQ(Code(arrivals[0]), 4);
    EXPECT_EQ(MessageFields(arrivals[0], 2)[0], QStringLiteral("乙"));

    ownerSets(1, QStringLiteral("甲"));
    second = take(2);
    ASSERT_EQ(second.size(), 1u);
    EXPECT_EQ(MessageFields(second[0], 2),
              (QStringList{"甲", "10", "1000", "1", "7", "1000", "0"}));
    // A player arriving after the settings is asked to agree at once.
    join(3);
    const auto third = OfClass(take(3), 111);
    ASSERT_EQ(third.size(), 1u);
    EXPECT_EQ(MessageFields(third[0], 2).mid(6), (QStringList{"1", "10", "1000", "1", "7", "1000", "0"}));

    table->messageArrived(2, Text(112, 1, QStringLiteral("乙")));
    EXPECT_TRUE(table->isHandUp(1));
    EXPECT_FALSE(table->isHandUp(3)) << "bots wait for every human";
    EXPECT_FALSE(table->referee().handInPlay());

    take(1);
    table->messageArrived(3, Text(110, 0, QStringLiteral("丁")));
    EXPECT_TRUE(closed.count(3));
    const auto seen = take(1);
    ASSERT_GE(seen.size(), 2u);
    EXPECT_EQ(Cls(seen[0]), 110);
    EXPECT_EQ(BytesToText(seen[0], 2), QStringLiteral("丁"));
    EXPECT_EQ(Cls(seen[1]), 130);
    EXPECT_EQ(Code(seen[1]), 4);
    const QStringList bot = MessageFields(seen[1], 2);
    EXPECT_EQ(bot[0], table->seatHolder(2));
    EXPECT_EQ(bot[13], QStringLiteral("2"));
    EXPECT_NE(table->seatHolder(2), QStringLiteral("丁"));
    EXPECT_TRUE(table->referee().handInPlay());

    // The identity is given out no more.
    join(4);
    EXPECT_TRUE(closed.count(4));
}

TEST_F(RoomTableTest, ConnectionsTakeTheFreeIdentitiesAndOthersAreClosed)
{
    make(Config({QStringLiteral("甲")}, {{QStringLiteral("丙"), QStringLiteral("甲")}}));
    table->connectionOpened(1);
    table->messageArrived(1, Identification(0, QStringLiteral("OTHER")));
    EXPECT_TRUE(closed.count(1));

    table->connectionOpened(5);
    // Nothing but the identification counts before it.
    table->messageArrived(5, QByteArray("\x14\0\0\0\0\0\0\x01\x05", 9));
    table->messageArrived(5, Text(112, 1, QStringLiteral("甲")));
    table->messageArrived(5, QByteArray(1, '\x82'));
    EXPECT_TRUE(take(5).empty());

    join(2);
    take(2);
    join(3);
    EXPECT_EQ(table->userOf(2), QStringLiteral("甲"));
    EXPECT_EQ(table->userOf(3), QStringLiteral("丙"));
    const auto spectator = take(3);
    EXPECT_EQ(BytesToText(spectator[0], 2), QStringLiteral("丙`甲"));
    EXPECT_TRUE(OfClass(spectator, 111).empty());
    const auto arrival = OfClass(take(2), 130);
    ASSERT_EQ(arrival.size(), 1u);
    EXPECT_EQ(Code(arrival[0]), 0);
    EXPECT_EQ(MessageFields(arrival[0], 2)[4], QStringLiteral("甲"));

    join(4);
    EXPECT_TRUE(closed.count(4));

    EXPECT_FALSE(closed.count(5));
    clock.advance(4999);
    table->tick();
    EXPECT_FALSE(closed.count(5));
    clock.advance(1);
    table->tick();
    EXPECT_TRUE(closed.count(5));
}

TEST_F(RoomTableTest, SpectatorSeesTheWatchedSeatWithTheViewFlagButNoRefusals)
{
    make(Config({QStringLiteral("甲")}, {{QStringLiteral("丙"), QStringLiteral("甲")}}));
    join(1, 1);
    join(2);
    ownerSets(1, QStringLiteral("甲"));
    const auto player = take(1);
    const auto spectator = take(2);
    const int start = IndexOfClass(spectator, MsgHandStart);
    ASSERT_GE(start, 0);
    ASSERT_LT(start + 1, static_cast<int>(spectator.size()));
    EXPECT_EQ(spectator[start + 1], BuildViewFlag(true));
    const auto deals = OfClass(spectator, MsgDeal);
    ASSERT_EQ(deals.size(), 1u);
    EXPECT_EQ(deals[0], OfClass(player, MsgDeal).at(0));

    // A card nobody holds twice over: refused, and to the player alone.
    table->messageArrived(1, QByteArray("\x14\0\0\0\0\0\0\x02\x35\x35", 10));
    EXPECT_EQ(OfClass(take(1), MsgRefused).size(), 1u);
    EXPECT_TRUE(OfClass(take(2), MsgRefused).empty());
    // A spectator's play is nobody's.
    table->messageArrived(2, QByteArray("\x14\0\0\0\0\0\0\x01\x00", 9));
    EXPECT_TRUE(take(2).empty());

    table->messageArrived(1, Text(113, 1, QStringLiteral("甲`0")));
    EXPECT_EQ(take(2), std::vector<QByteArray>{BuildViewFlag(false)});
}

TEST_F(RoomTableTest, ChatGoesToTheTableOrOnlyToSenderAndAddressee)
{
    RoomConfig c = Config({QStringLiteral("甲"), QStringLiteral("乙")}, {{QStringLiteral("丙"), QStringLiteral("乙")}});
    c.settingsRound = false;
    make(c);
    join(1);
    join(2);
    join(3);
    take(1), take(2), take(3);
    QByteArray line;
    BuildPacket(QStringLiteral("CHAT`甲`甲`所有人`12:00:00`宋体`9`#000000`0`你好"), line, 1, QByteArray(1, '\1'));
    table->messageArrived(1, line);
    for (int id : {1, 2, 3})
        EXPECT_EQ(take(id), std::vector<QByteArray>{line});

    QByteArray whisper;
    BuildPacket(QStringLiteral("CHAT`甲`甲`丙`12:00:01`宋体`9`#000000`0`悄悄话"), whisper, 1, QByteArray(1, '\1'));
    table->messageArrived(1, whisper);
    EXPECT_EQ(take(1), std::vector<QByteArray>{whisper});
    EXPECT_TRUE(take(2).empty());
    EXPECT_EQ(take(3), std::vector<QByteArray>{whisper});

    // Nobody by that name at the table (gone since the sender chose him):
    // the line stays with its sender, who is told so.
    QByteArray toNobody;
    BuildPacket(QStringLiteral("CHAT`甲`甲`丁`12:00:01`宋体`9`#000000`0`悄悄话"), toNobody, 1, QByteArray(1, '\1'));
    table->messageArrived(1, toNobody);
    const auto back = take(1);
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(back[0], toNobody);
    EXPECT_EQ(Cls(back[1]), MsgServerText);
    EXPECT_TRUE(take(2).empty());
    EXPECT_TRUE(take(3).empty());

    QByteArray shortLine;
    BuildPacket(QStringLiteral("CHAT`甲`甲`所有人`x`y`z`w`v"), shortLine, 1, QByteArray(1, '\1'));
    table->messageArrived(1, shortLine);
    EXPECT_TRUE(take(2).empty());

    // A spectator speaking in a player's name is relayed under its own.
    QByteArray forged;
    BuildPacket(QStringLiteral("CHAT`甲`甲`所有人`12:00:02`宋体`9`#000000`0`我是甲`多余"), forged, 1, QByteArray(1, '\1'));
    table->messageArrived(3, forged);
    take(1), take(3);
    const auto relayed = take(2);
    ASSERT_EQ(relayed.size(), 1u);
    EXPECT_EQ(BytesToText(relayed[0], 1), QStringLiteral("CHAT`丙`丙`所有人`12:00:02`宋体`9`#000000`0`我是甲"));

    // An oversized line is refused to its sender and reaches nobody.
    QByteArray huge;
    BuildPacket(QStringLiteral("CHAT`丙`丙`所有人`x`y`z`w`v`") + QString(30000, u'长'), huge, 1, QByteArray(1, '\1'));
    table->messageArrived(3, huge);
    EXPECT_TRUE(take(1).empty());
    const auto refusal = take(3);
    ASSERT_EQ(refusal.size(), 1u);
    EXPECT_EQ(Cls(refusal[0]), MsgServerText);
}

TEST_F(RoomTableTest, NobodyIsPlayedForWhileTheClientsPauseAfterARoundOrBeforeTheExchange)
{
    RoomConfig c = Config({QStringLiteral("甲")});
    c.settingsRound = false;
    c.table.turnSeconds = 1;
    c.table.overdueGraceMs = 0;
    make(c);
    join(1);
    table->messageArrived(1, Text(112, 1, QStringLiteral("甲")));
    std::vector<std::pair<std::int64_t, QByteArray>> seen;
    for (int hand = 1; hand <= 2; ++hand) {
        for (int step = 0; step < 20000 && table->handsFinished() < hand; ++step) {
            for (QByteArray& m : take(1))
                seen.emplace_back(clock.TickCount(), std::move(m));
            clock.advance(50);
            table->tick();
        }
        ASSERT_EQ(table->handsFinished(), hand);
        table->messageArrived(1, QByteArray("\x12\x00", 2));
    }
    int roundEnds = 0, exchanges = 0;
    for (std::size_t i = 0; i + 1 < seen.size(); ++i) {
        const QByteArray& m = seen[i].second;
        const bool roundEnd = Cls(m) == MsgPlay && m.size() > 3 && m[3] == 1;
        const bool exchange = Cls(m) == MsgTribute && m.size() > 5 && m[5] == 1;
        if (!roundEnd && !exchange)
            continue;
        roundEnds += roundEnd;
        exchanges += exchange;
        const auto& next = seen[i + 1];
        if (Cls(next.second) == MsgPlay) {
            EXPECT_GE(next.first - seen[i].first, exchange ? 3500 : 300) << i;
        }
    }
    EXPECT_GT(roundEnds, 2);
    EXPECT_EQ(exchanges, 1);
}

// The accounts' database server crashes while a hand is played: a hand that
// ends after it came back is written on a new connection, one that ends
// while it is down is kept and written with the next, and the table plays on.
TEST_F(RoomTableTest, TheDatabaseKilledMidHandKeepsEveryFinishedHand)
{
    ScratchPostgres cluster;
    if (!cluster.binariesFound())
        GTEST_SKIP() << "PostgreSQL 15 binaries missing: install postgresql (scripts/install-deps)";
    QString error;
    ASSERT_TRUE(cluster.start(error)) << error.toStdString();
    AccountStore store;
    ASSERT_TRUE(store.open({{}, cluster.connection()}, error)) << error.toStdString();
    // Read on a connection of its own, as another server would.
    const auto gamesSaved = [&] {
        AccountStore reader;
        QString e;
        const auto a = reader.open({{}, cluster.connection()}, e) ? reader.find(QStringLiteral("甲"), e) : std::nullopt;
        return a ? a->games : -1;
    };
    const auto gamesShown = [&] {
        const QStringList record = RecordIn(take(1), QStringLiteral("甲"));
        return record.size() == 16 ? record[5].toInt() : -1;
    };

    startAloneWith(store);
    const auto midHand = [&] {
        clock.advance(60000);
        table->tick();
        return table->referee().handInPlay();
    };
    for (int hand = 1; hand <= 4; ++hand) {
        ASSERT_TRUE(table->referee().handInPlay()) << hand;
        take(1);
        if (hand == 2) { // back before the hand ends
            ASSERT_TRUE(midHand());
            ASSERT_TRUE(cluster.restart(error)) << error.toStdString();
        }
        if (hand == 3) // still down when it ends
            ASSERT_TRUE(midHand() && cluster.crash(error)) << error.toStdString();
        if (hand == 4)
            ASSERT_TRUE(midHand() && cluster.startAgain(error)) << error.toStdString();
        finishHand();
        EXPECT_EQ(gamesShown(), hand);
        EXPECT_EQ(gamesSaved(), hand == 3 ? -1 : hand);
        table->messageArrived(1, QByteArray("\x12\x00", 2));
    }
}

// The accounts database is down when the player comes and when his first
// hand ends: that hand waits with his seat in it, and is his once the
// database is back; his account is there for the shop then too.
TEST_F(RoomTableTest, AHandWaitsWholeForADatabaseThatWasDownWhenItsPlayerCame)
{
    AccountStore store(100); // not open: the database is down
    startAloneWith(store);
    finishHand();
    EXPECT_EQ(RecordIn(take(1), QStringLiteral("甲")).value(5), QStringLiteral("1"));
    // Back on a new connection while the database is still down.
    table->connectionClosed(1);
    join(2);
    EXPECT_EQ(RecordIn(take(2), QStringLiteral("甲")).value(5), QStringLiteral("1"));

    QTemporaryDir dir;
    QString error;
    ASSERT_TRUE(store.open({dir.filePath(QStringLiteral("a.sqlite")), {}}, error)) << error.toStdString();
    // Nor is he kept out of the shop.
    table->setShop(std::make_unique<ItemShop>(
        *ParseCatalogue(QStringLiteral("type 功能\nitem 9 | 功能 | 鲜花 | 5 | 2 | 10 | 5 | 10 | 4 | other"), {}).catalogue,
        store, [] { return QDateTime::currentDateTime(); }));
    table->messageArrived(2, QByteArray("\x85\x00" "9", 3));
    EXPECT_EQ(Code(take(2).at(0)), ItemOwned) << "bought";
    table->messageArrived(2, QByteArray("\x12\x00", 2));
    finishHand();
    const auto saved = store.find(QStringLiteral("甲"), error);
    ASSERT_TRUE(saved.has_value()) << error.toStdString();
    EXPECT_EQ(saved->games, 2);
}

// A player nobody waits for is never closed for not starting: his client
// shows no countdown until another seat raised its hand.
TEST_F(RoomTableTest, APlayerIsHurriedToStartOnlyOnceAnotherSeatIsReady)
{
    RoomConfig c = Config({QStringLiteral("甲"), QStringLiteral("乙")});
    c.settingsRound = false;
    make(c);
    join(1);
    join(2);
    clock.advance(600000);
    table->tick();
    EXPECT_TRUE(closed.empty()) << "closed before the first hand";
    table->messageArrived(1, Text(112, 1, QStringLiteral("甲")));
    table->messageArrived(2, Text(112, 1, QStringLiteral("乙")));
    finishHand();
    // Back between hands before anyone is ready.
    table->connectionClosed(2);
    join(3);
    clock.advance(600000);
    table->tick();
    EXPECT_TRUE(closed.empty()) << "closed on coming back";
}

class DropTest : public RoomTableTest {
protected:
    void SetUp() override { begin(false, false); }
    void begin(bool standIn, bool playOn)
    {
        RoomConfig c = Config({QStringLiteral("甲"), QStringLiteral("乙")});
        c.settingsRound = false;
        c.botsStandIn = standIn;
        c.botsPlayOn = playOn;
        make(c);
        join(1);
        join(2);
        const auto offered = OfClass(take(2), 111);
        ASSERT_EQ(offered.size(), 1u);
        EXPECT_EQ(MessageFields(offered[0], 2)[5], QStringLiteral("0")) << "no settings: the start button";
        table->messageArrived(1, Text(112, 1, QStringLiteral("甲")));
        table->messageArrived(2, Text(112, 1, QStringLiteral("乙")));
        ASSERT_TRUE(table->referee().handInPlay());
        take(1), take(2);
    }
    void raise(int id) { table->messageArrived(id, QByteArray("\x12\x00", 2)); }
    static bool IsEscapeResult(int result) { return result == 10 - 7 || result == -7 || result == -10 - 7; }
    static bool IsPlainResult(int result) { return result == 10 || result == 0 || result == -10; }
};

TEST_F(DropTest, DroppedSeatPaysTheEscapeAndTheNextHandWaitsForItsPlayer)
{
    table->connectionClosed(2);
    EXPECT_EQ(take(1).at(0), BuildConnectionState(ConnectionDropped, QStringLiteral("乙")));
    EXPECT_TRUE(table->isOffline(1));
    EXPECT_TRUE(table->referee().actingSeat() != 1 || !table->referee().handInPlay());
    finishHand();
    const auto results = table->referee().lastResults();
    ASSERT_TRUE(results.has_value());
    EXPECT_TRUE(IsEscapeResult((*results)[1])) << (*results)[1];
    EXPECT_TRUE(IsPlainResult((*results)[0])) << (*results)[0];

    // The standings follow the hand over: games, the sign of the result,
    // the escape, and the score as the level.
    const auto seen = take(1);
    const int over = IndexOfClass(seen, MsgHandOver);
    ASSERT_GE(over, 0);
    const QStringList gone = RecordIn({seen.begin() + over, seen.end()}, QStringLiteral("乙"));
    ASSERT_EQ(gone.size(), 16);
    EXPECT_EQ(gone[2].toInt(), (*results)[1]);
    EXPECT_EQ(gone[3], gone[2]);
    EXPECT_EQ(gone[5], QStringLiteral("1"));
    EXPECT_EQ(gone[7], QStringLiteral("100"));
    EXPECT_EQ(gone[8].toInt() + gone[9].toInt() + gone[10].toInt(), 1);
    EXPECT_EQ(gone[15], QStringLiteral("1"));

    // Without stand-ins the table waits for the player, however long, and
    // says so.
    take(1);
    raise(1);
    const auto told = OfClass(take(1), MsgServerText);
    ASSERT_EQ(told.size(), 1u);
    EXPECT_TRUE(BytesToText(told[0], 3).contains(QStringLiteral("乙")));
    clock.advance(600000);
    table->tick();
    EXPECT_FALSE(table->referee().handInPlay());
    EXPECT_FALSE(closed.count(1)) << "a raised hand is not timed out";

    join(7);
    EXPECT_EQ(table->userOf(7), QStringLiteral("乙"));
    raise(7);
    EXPECT_TRUE(table->referee().handInPlay());
}

TEST_F(DropTest, ReturningPlayerGetsItsSeatAndTheSnapshotAndPaysNothing)
{
    table->connectionClosed(2);
    take(1);
    join(7);
    EXPECT_EQ(table->userOf(7), QStringLiteral("乙"));
    EXPECT_FALSE(table->isOffline(1));
    const auto back = take(7);
    ASSERT_EQ(back.size(), 3u);
    EXPECT_EQ(BytesToText(back[0], 2), QStringLiteral("乙`乙"));
    EXPECT_EQ(Code(back[1]), 2);
    EXPECT_EQ(Cls(back[2]), MsgSnapshot);
    EXPECT_EQ(take(1).at(0), BuildConnectionState(ConnectionBack, QStringLiteral("乙")));
    finishHand();
    const auto results = table->referee().lastResults();
    ASSERT_TRUE(results.has_value());
    EXPECT_TRUE(IsPlainResult((*results)[1])) << (*results)[1];
}

TEST_F(DropTest, PlayerWhoNeverRaisesIsTakenToHaveLeftAndStandInsPlayWithoutPenalty)
{
    begin(true, false);
    finishHand();
    take(1), take(2);
    // Nobody is hurried while nobody is ready: a client counts down only
    // once another seat raised its hand.
    clock.advance(600000);
    table->tick();
    EXPECT_TRUE(closed.empty());
    // The client's 20 s countdown and the margin pass without 乙 raising.
    raise(1);
    clock.advance(29999);
    table->tick();
    EXPECT_FALSE(closed.count(2));
    EXPECT_FALSE(table->referee().handInPlay());
    clock.advance(1);
    table->tick();
    EXPECT_TRUE(closed.count(2));
    EXPECT_TRUE(table->isOffline(1));
    // With stand-ins allowed the hand goes on, the seat played for; the
    // player away pays nothing and his account is not charged.
    ASSERT_TRUE(table->referee().handInPlay());
    // Back in the middle of it and gone again: played for again, still free.
    join(9);
    EXPECT_FALSE(table->referee().isBot(1));
    table->connectionClosed(9);
    EXPECT_TRUE(table->referee().isBot(1));
    EXPECT_FALSE(table->referee().isAbsent(1));
    finishHand();
    EXPECT_TRUE(IsPlainResult((*table->referee().lastResults())[1]));
    EXPECT_EQ(RecordIn(take(1), QStringLiteral("乙")).value(5), QStringLiteral("1"));

    // Leaving between hands is not an escape either; with nobody left the
    // table waits quietly.
    table->messageArrived(1, Text(110, 0, QStringLiteral("甲")));
    EXPECT_TRUE(closed.count(1));
    clock.advance(600000);
    table->tick();
    EXPECT_FALSE(table->referee().handInPlay());
    EXPECT_EQ(table->handsFinished(), 2);
    join(8);
    EXPECT_EQ(table->userOf(8), QStringLiteral("甲"));
    raise(8);
    EXPECT_TRUE(table->referee().handInPlay());
}

TEST_F(DropTest, BotsAloneDealOnForAHostWhoAskedPausingBetweenHands)
{
    begin(false, true);
    table->messageArrived(1, Text(110, 0, QStringLiteral("甲")));
    table->connectionClosed(2);
    finishHand();
    const auto results = table->referee().lastResults();
    EXPECT_TRUE(IsEscapeResult((*results)[0]) && IsEscapeResult((*results)[1]));
    clock.advance(5000);
    table->tick();
    EXPECT_FALSE(table->referee().handInPlay()) << "a spectator still shows the hand's end";
    clock.advance(1000);
    table->tick();
    EXPECT_TRUE(table->referee().handInPlay());
    finishHand();
    EXPECT_TRUE(IsPlainResult((*table->referee().lastResults())[0])) << "an escape is paid once";
}

// The accounts database is down while the bots deal on at a table its
// players left: their hands have no results to keep, and the hand of the
// players that waits for the database stays until it is back.
TEST_F(DropTest, BotHandsDoNotPushOutAHandWaitingForTheDatabase)
{
    begin(false, true);
    AccountStore store; // not open: the database is down
    table->setAccounts(&store);
    table->messageArrived(1, Text(110, 0, QStringLiteral("甲")));
    table->connectionClosed(2);
    finishHand();
    for (std::size_t hand = 0; hand < Standings::MaxUnsavedHands; ++hand) {
        clock.advance(6000);
        table->tick();
        finishHand();
    }
    QTemporaryDir dir;
    QString error;
    ASSERT_TRUE(store.open({dir.filePath(QStringLiteral("a.sqlite")), {}}, error)) << error.toStdString();
    clock.advance(6000);
    table->tick();
    finishHand();
    for (const QString& name : {QStringLiteral("甲"), QStringLiteral("乙")}) {
        const auto saved = store.find(name, error);
        EXPECT_EQ(saved ? saved->escapes : -1, 1) << name.toStdString();
    }
}

TEST_F(RoomTableTest, IdentitiesGoBackToTheirAddressAndABoundOneOnlyToItsOwn)
{
    RoomConfig c = Config({QStringLiteral("甲"), QStringLiteral("乙"), QStringLiteral("丙")});
    c.boundAddress.insert(QStringLiteral("甲"), QStringLiteral("10.0.0.5"));
    make(c);
    auto joinFrom = [&](int id, const QString& address) {
        table->connectionOpened(id, address);
        table->messageArrived(id, Identification());
        return table->userOf(id);
    };
    EXPECT_EQ(joinFrom(1, QStringLiteral("10.0.0.9")), QStringLiteral("乙"));
    EXPECT_EQ(joinFrom(2, QStringLiteral("::ffff:10.0.0.5")), QStringLiteral("甲"));
    EXPECT_EQ(joinFrom(3, QStringLiteral("10.0.0.7")), QStringLiteral("丙"));
    table->connectionClosed(2);
    table->connectionClosed(1);
    table->connectionClosed(3);
    EXPECT_EQ(joinFrom(4, QStringLiteral("10.0.0.7")), QStringLiteral("丙"));
    EXPECT_EQ(joinFrom(5, QStringLiteral("10.0.0.8")), QStringLiteral("乙"));
    EXPECT_TRUE(joinFrom(6, QStringLiteral("10.0.0.9")).isEmpty());
    EXPECT_TRUE(closed.count(6)) << "甲 is bound elsewhere";
    EXPECT_EQ(joinFrom(7, QStringLiteral("10.0.0.5")), QStringLiteral("甲"));
}

TEST_F(DropTest, APlayerGoneAtAnyPointOfTwoHandsComesBackToItsOwnCards)
{
    // The second player's client is killed every few steps, whatever the
    // table is doing, and comes back on a new connection.
    int conn = 2;
    int next = 10;
    int returnsInPlay = 0;
    for (int step = 0; step < 600 && table->handsFinished() < 2; ++step) {
        if (step % 5 == 2) {
            table->connectionClosed(conn);
            clock.advance(700);
            table->tick();
            conn = next++;
            join(conn);
            const auto back = take(conn);
            ASSERT_EQ(table->userOf(conn), QStringLiteral("乙"));
            const int snap = IndexOfClass(back, MsgSnapshot);
            if (table->referee().handInPlay()) {
                ASSERT_GE(snap, 0) << step;
                ClientState seen;
                seen.globals.MySeat = 1;
                RestoreCardSnapshot(seen, back[static_cast<std::size_t>(snap)]);
                const auto sorted = [](const CardList& l) {
                    std::vector<int> v;
                    for (int i = 1; i <= l.count(); ++i)
                        v.push_back(l.at(i));
                    std::sort(v.begin(), v.end());
                    return v;
                };
                EXPECT_EQ(sorted(seen.cards.HandCards), sorted(table->referee().state().seats[1].hand)) << step;
                ++returnsInPlay;
            }
        }
        clock.advance(20000);
        table->tick();
        if (!table->referee().handInPlay()) {
            table->messageArrived(1, QByteArray("\x12\x00", 2));
            table->messageArrived(conn, QByteArray("\x12\x00", 2));
        }
        take(1), take(conn);
    }
    EXPECT_EQ(table->handsFinished(), 2);
    EXPECT_GT(returnsInPlay, 4);
}

} // namespace
} // namespace kelpo::server
