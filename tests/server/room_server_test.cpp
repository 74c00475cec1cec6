#include "net/FrameCodec.h"
#include "net/Packet.h"
#include "platform/TickClock.h"
#include "server/RoomMessages.h"
#include "server/RoomServer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace kelpo::server {
namespace {

bool PumpUntil(const std::function<bool()>& done, int ms = 5000)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

// A client of the test's own: raw bytes out, whole messages in.
struct Peer {
    explicit Peer(quint16 port) { socket.connectToHost(QHostAddress::LocalHost, port); }
    void sendFrame(const QByteArray& message)
    {
        QByteArray frame;
        AppendFrame(frame, message);
        socket.write(frame);
    }
    void sendRaw(const QByteArray& bytes) { socket.write(bytes); }
    void poll()
    {
        decoder.feed(socket.readAll());
        while (decoder.hasMessage())
            got.push_back(decoder.takeMessage());
    }
    bool closed() const { return socket.state() == QAbstractSocket::UnconnectedState; }

    QTcpSocket socket;
    FrameDecoder decoder;
    std::vector<QByteArray> got;
};

QByteArray Identification()
{
    QByteArray packet;
    BuildPacket(QStringLiteral("300`KELPO`0"), packet, 2, QByteArray("\x82\x00", 2));
    return packet;
}

class RoomServerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        config.players = {QStringLiteral("甲"), QStringLiteral("乙")};
        config.bots = 4;
        config.table.botDelayMs = 0;
        server = std::make_unique<RoomServer>(config, clock);
        QString error;
        ASSERT_TRUE(server->listen(error)) << error.toStdString();
        ASSERT_GT(server->port(), 0);
    }
    std::unique_ptr<Peer> connected()
    {
        auto p = std::make_unique<Peer>(server->port());
        EXPECT_TRUE(PumpUntil([&] { return p->socket.state() == QAbstractSocket::ConnectedState; }));
        return p;
    }

    ManualTickClock clock;
    RoomConfig config;
    std::unique_ptr<RoomServer> server;
};

TEST_F(RoomServerTest, BrokenStreamsCloseOnlyTheirSenderAndTheTableGoesOn)
{
    auto good = connected();
    good->sendFrame(Identification());
    ASSERT_TRUE(PumpUntil([&] {
        good->poll();
        return good->got.size() >= 3;
    }));
    EXPECT_EQ(BytesToText(good->got[0], 2), QStringLiteral("甲`甲"));

    auto zero = connected();
    auto huge = connected();
    auto junk = connected();
    zero->sendRaw(QByteArray(4, '\0'));
    huge->sendRaw(QByteArray("\x00\x01\x00\x01", 4)); // one byte over the limit
    // Whole frames of nonsense are ignored, not punished.
    junk->sendFrame(QByteArray("\xC8\x01zz", 4));
    junk->sendFrame(QByteArray("\x82", 1));
    junk->sendFrame(QByteArray(300, '\x14'));
    EXPECT_TRUE(PumpUntil([&] { return zero->closed() && huge->closed(); }));
    PumpUntil([] { return false; }, 200);
    EXPECT_FALSE(junk->closed());
    EXPECT_FALSE(good->closed());

    // The junk connection may still take the second identity.
    junk->sendFrame(Identification());
    ASSERT_TRUE(PumpUntil([&] {
        junk->poll();
        return !junk->got.empty();
    }));
    EXPECT_EQ(BytesToText(junk->got[0], 2), QStringLiteral("乙`乙"));
    // And the first sees it arrive.
    EXPECT_TRUE(PumpUntil([&] {
        good->poll();
        for (const QByteArray& m : good->got)
            if (static_cast<std::uint8_t>(m[0]) == MsgRoomState && m[1] == RoomPlayerArrived)
                return true;
        return false;
    }));

    // A third identification finds no identity left.
    auto extra = connected();
    extra->sendFrame(Identification());
    EXPECT_TRUE(PumpUntil([&] { return extra->closed(); }));
    EXPECT_TRUE(PumpUntil([&] { return server->openConnections() == 2; }));
}

TEST_F(RoomServerTest, ASplitStreamIsReassembled)
{
    auto p = connected();
    QByteArray frame;
    AppendFrame(frame, Identification());
    for (char c : frame) {
        p->sendRaw(QByteArray(1, c));
        p->socket.flush();
        QCoreApplication::processEvents();
    }
    ASSERT_TRUE(PumpUntil([&] {
        p->poll();
        return !p->got.empty();
    }));
    EXPECT_EQ(server->table().userOf(1), QStringLiteral("甲"));
}

// The real kelpo-room, killed outright after a hand and started again on the
// same database: the hand is there, and the user list shows it.
TEST(RoomRestartTest, FinishedHandsSurviveAKillAndReachTheUserList)
{
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("room.sqlite"));
    auto start = [&](QProcess& room) -> quint16 {
        room.start(QStringLiteral(KELPO_ROOM), {"--db", db, "--player", "甲", "--no-settings", "--bot-delay", "0",
                                                 "--packs", "1", "--seed", "5", "--start-coins", "30"});
        if (!room.waitForStarted(5000) || !PumpUntil([&] { return room.canReadLine(); }, 10000))
            return 0;
        return static_cast<quint16>(room.readLine().trimmed().toUInt());
    };
    auto identified = [](Peer& p) {
        return PumpUntil([&] {
            p.poll();
            return !p.got.empty();
        });
    };
    auto text = [](int cls, const QString& body) {
        QByteArray packet;
        BuildPacket(body, packet, 2, QByteArray(1, static_cast<char>(cls)) + QByteArray(1, '\x01'));
        return packet;
    };

    QProcess first;
    const quint16 port = start(first);
    ASSERT_NE(port, 0) << first.readAllStandardError().toStdString();
    {
        Peer player(port);
        player.sendFrame(Identification());
        ASSERT_TRUE(identified(player));
        player.sendFrame(text(112, QStringLiteral("甲")));
        ASSERT_TRUE(PumpUntil([&] {
            player.poll();
            return std::any_of(player.got.begin(), player.got.end(), [](const QByteArray& m) { return m[0] == 19; });
        }));
        // Gone in the middle of the hand: the bots finish it, the escape is
        // written.
        QByteArray leave = text(110, QStringLiteral("甲"));
        leave[1] = 0;
        player.sendFrame(leave);
        player.socket.flush();
        QCoreApplication::processEvents();
    }
    {
        QSqlDatabase side = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("restart"));
        side.setDatabaseName(db);
        ASSERT_TRUE(side.open());
        EXPECT_TRUE(PumpUntil([&] {
            QSqlQuery q(side);
            return q.exec(QStringLiteral("SELECT games FROM accounts WHERE name = '甲'")) && q.next() && q.value(0).toInt() == 1;
        }, 60000));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("restart"));
    first.kill();
    first.waitForFinished();

    QProcess second;
    const quint16 again = start(second);
    ASSERT_NE(again, 0);
    Peer back(again);
    back.sendFrame(Identification());
    ASSERT_TRUE(PumpUntil([&] {
        back.poll();
        return back.got.size() >= 2;
    }));
    const QStringList record = MessageFields(back.got[1], 2).mid(0, 16);
    ASSERT_EQ(record.size(), 16);
    EXPECT_EQ(record[0], QStringLiteral("甲"));
    EXPECT_EQ(record[5], QStringLiteral("1")) << "games";
    EXPECT_EQ(record[7], QStringLiteral("100")) << "escape rate";
    EXPECT_EQ(record[9], QStringLiteral("1")) << "losses";
    EXPECT_LT(record[2].toInt(), 0);
    second.kill();
    second.waitForFinished();
}

} // namespace
} // namespace kelpo::server
