#include "net/FrameCodec.h"
#include "net/Packet.h"
#include "platform/TickClock.h"
#include "server/EpollEventDispatcher.h"
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

#include <QDir>
#include <QFile>

#include <functional>
#include "support/Pump.h"

#include <memory>
#include <vector>

namespace kelpo::server {
namespace {

using test::PumpUntil;

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

// CTest runs these tests a second time on the dispatcher kelpo-room runs
// on; it must be in place before the application object exists.
[[maybe_unused]] const bool OnServerDispatcher = [] {
    if (qEnvironmentVariableIsSet("KELPO_SERVER_DISPATCHER"))
        QCoreApplication::setEventDispatcher(new EpollEventDispatcher);
    return true;
}();

// The address sanitizer keeps freed blocks in quarantine and maps shadow
// memory, so resident memory says nothing about the server's own bounds
// there; the release tree checks them.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool MemoryBoundsMeasurable = false;
#else
constexpr bool MemoryBoundsMeasurable = true;
#endif

// This process's resident memory in KiB.
qint64 ResidentKiB()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return 0;
}

int OpenFileDescriptors()
{
    return static_cast<int>(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files | QDir::System).size());
}

QByteArray ChatLine(const QString& speaker, const QString& text)
{
    QByteArray packet;
    BuildPacket(QStringLiteral("CHAT`%1`%1`所有人`12:00:00`宋体`9`#000000`0`%2").arg(speaker, text), packet, 1,
                QByteArray(1, '\1'));
    return packet;
}

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

    // Connects and identifies; the join sequence is read and forgotten.
    std::unique_ptr<Peer> joined()
    {
        auto p = connected();
        p->sendFrame(Identification());
        EXPECT_TRUE(PumpUntil([&] {
            p->poll();
            return p->got.size() >= 3;
        }));
        p->got.clear();
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
    // Stopped by the host this time: it shuts down as it would return.
    second.terminate();
    ASSERT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_FALSE(QFile::exists(db + QStringLiteral(".unsaved-hands.json.lock")));
}

TEST_F(RoomServerTest, AChatFloodIsPacedAndDropsOnlyTheReaderThatStopsReading)
{
    auto reader = joined();
    auto flooder = joined();
    const qint64 before = ResidentKiB();

    // About 10 MiB of lines within the limit in one breath, plus oversized
    // ones, from a peer that never reads what comes back.
    flooder->socket.setReadBufferSize(1);
    QByteArray burst;
    for (int i = 0; i < 10000; ++i)
        AppendFrame(burst, ChatLine(QStringLiteral("甲"), QString(400, u'言') + QString::number(i)));
    for (int i = 0; i < 20; ++i)
        AppendFrame(burst, ChatLine(QStringLiteral("乙"), QString(30000, u'长')));
    flooder->sendRaw(burst);

    // The honest reader keeps reading and sees every line under the
    // flooder's name, in order; the flooder is given up once its backlog
    // has stayed high for the stall time.
    int lines = 0;
    bool inOrder = true;
    qint64 peak = 0;
    PumpUntil([&] {
        reader->poll();
        for (const QByteArray& m : reader->got) {
            if (static_cast<std::uint8_t>(m[0]) != MsgChat)
                continue;
            const QStringList f = BytesToText(m, 1).split(QLatin1Char('`'));
            inOrder = inOrder && f.value(1) == QStringLiteral("乙") && f.value(9).endsWith(QString::number(lines));
            ++lines;
        }
        reader->got.clear();
        peak = std::max(peak, ResidentKiB());
        clock.advance(200);
        return flooder->closed() && lines > 0;
    }, 30000);
    EXPECT_TRUE(flooder->closed());
    EXPECT_FALSE(reader->closed());
    EXPECT_GT(lines, 0);
    EXPECT_TRUE(inOrder);
    if (MemoryBoundsMeasurable)
        EXPECT_LT(peak - before, 64 * 1024);

    // The table still talks to the reader.
    reader->sendFrame(ChatLine(QStringLiteral("甲"), QStringLiteral("还在吗")));
    EXPECT_TRUE(PumpUntil([&] {
        reader->poll();
        return !reader->got.empty();
    }));
}

TEST_F(RoomServerTest, SilentConnectionsNeverKeepOutARealClient)
{
    // Silent connections reconnect as soon as they are pushed out, all the
    // time a real client comes and identifies.
    std::vector<std::unique_ptr<Peer>> silent;
    for (int i = 0; i < 40; ++i)
        silent.push_back(std::make_unique<Peer>(server->port()));
    PumpUntil([] { return false; }, 100);
    EXPECT_LE(server->openConnections(), RoomServer::MaxUnidentifiedPerAddress);

    for (int round = 0; round < 5; ++round) {
        auto real = connected();
        real->sendFrame(Identification());
        real->socket.flush();
        for (auto& s : silent)
            if (s->closed())
                s = std::make_unique<Peer>(server->port());
        ASSERT_TRUE(PumpUntil([&] {
            real->poll();
            return !real->got.empty();
        })) << round;
        EXPECT_EQ(static_cast<std::uint8_t>(real->got[0][0]), MsgRoomState);
        // Gone again: the seat waits for its player to come back.
        real.reset();
        PumpUntil([] { return false; }, 50);
    }

    // The silent ones are closed at the identification time-out.
    clock.advance(config.identifyTimeoutMs);
    EXPECT_TRUE(PumpUntil([&] { return server->openConnections() == 0; })) << server->openConnections();
}

TEST_F(RoomServerTest, SlowAndComingAndGoingPeersLeaveNothingBehind)
{
    auto honest = joined();

    // One byte a second never finishes an identification in time.
    auto slow = connected();
    QByteArray frame;
    AppendFrame(frame, Identification());
    for (int i = 0; i < frame.size() && !slow->closed(); ++i) {
        slow->sendRaw(frame.mid(i, 1));
        slow->socket.flush();
        PumpUntil([] { return false; }, 5);
        clock.advance(1000);
    }
    EXPECT_TRUE(PumpUntil([&] { return slow->closed(); }));
    honest->sendFrame(ChatLine(QStringLiteral("甲"), QStringLiteral("你好")));
    EXPECT_TRUE(PumpUntil([&] {
        honest->poll();
        return !honest->got.empty();
    }));

    // Connect, identify, go: a thousand times, and nothing piles up.
    const auto cycle = [&] {
        auto p = joined();
        p.reset();
        ASSERT_TRUE(PumpUntil([&] { return server->openConnections() == 1; }));
    };
    for (int i = 0; i < 50; ++i)
        cycle();
    const int fds = OpenFileDescriptors();
    const qint64 rss = ResidentKiB();
    for (int i = 0; i < 1000; ++i)
        cycle();
    EXPECT_LE(OpenFileDescriptors(), fds + 2);
    if (MemoryBoundsMeasurable)
        EXPECT_LT(ResidentKiB() - rss, 8 * 1024);
    EXPECT_FALSE(honest->closed());
}

} // namespace
} // namespace kelpo::server
