#include "net/FrameCodec.h"
#include "net/Packet.h"
#include "platform/TickClock.h"
#include "server/RoomMessages.h"
#include "server/RoomServer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QTcpSocket>

#include <gtest/gtest.h>

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

} // namespace
} // namespace kelpo::server
