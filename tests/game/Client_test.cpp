#include "game/Client.h"

#include "controls/QelSckClient.h"
#include "net/FrameCodec.h"
#include "platform/TickClock.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace kelpo;

namespace {

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(static_cast<char>(v));
    return out;
}

struct CapturingClient {
    CapturingClient()
    {
        client.setPacketSink([this](const QByteArray& p) { sent.push_back(p); });
    }
    Client client;
    std::vector<QByteArray> sent;
};

} // namespace

TEST(ClientRouting, ClassByteChoosesTheHandler)
{
    EXPECT_EQ(RouteOf(QByteArray()), MessageRoute::None);
    for (int c : {0, 1, 17, 94, 113, 133})
        EXPECT_EQ(RouteOf(bytes({c})), MessageRoute::Game) << c;
    for (int c : {95, 105, 112, 114, 130, 132, 134, 255})
        EXPECT_EQ(RouteOf(bytes({c, 0, 1})), MessageRoute::Room) << c;
}

TEST(ClientSending, IdentificationCarriesTheWatchPreference)
{
    CapturingClient c;
    c.client.OnConnected();
    c.client.state.prefs.AllowWatchCards = 1;
    c.client.OnConnected();
    // Any other number the preferences file may hold also means "on".
    c.client.state.prefs.AllowWatchCards = 255;
    c.client.OnConnected();
    ASSERT_EQ(c.sent.size(), 3u);
    EXPECT_EQ(c.sent[0], bytes({130, 0}) + "300`KELPO`0");
    EXPECT_EQ(c.sent[1], bytes({130, 0}) + "300`KELPO`1");
    EXPECT_EQ(c.sent[2], bytes({130, 0}) + "300`KELPO`1");
}

TEST(ClientSending, DeclineAndSettingsReplies)
{
    CapturingClient c;
    // Without a user name there is no body, so nothing goes out.
    c.client.SendDecline();
    EXPECT_TRUE(c.sent.empty());

    c.client.state.globals.UserName = QStringLiteral("张三");
    c.client.SendDecline();
    const QByteArray reply = bytes({112, 0, 0, 7, 255});
    c.client.SendGameSetResult(reply);
    c.client.SendPacket(QByteArray());
    ASSERT_EQ(c.sent.size(), 2u);
    EXPECT_EQ(c.sent[0], bytes({110, 0, 0xD5, 0xC5, 0xC8, 0xFD}));
    EXPECT_EQ(c.sent[1], reply);
}

TEST(ClientConnection, LosingTheConnectionAsksForOneUnload)
{
    Client closed;
    QSignalSpy closedSpy(&closed, &Client::unloadRequested);
    closed.OnClosed();
    closed.OnFailed();
    ASSERT_EQ(closedSpy.size(), 1);
    EXPECT_EQ(closedSpy[0][0].toInt(), ExitConnectionClosed);

    Client failed;
    QSignalSpy failedSpy(&failed, &Client::unloadRequested);
    failed.OnFailed();
    ASSERT_EQ(failedSpy.size(), 1);
    EXPECT_NE(failedSpy[0][0].toInt(), 0);
}

TEST(ClientConnection, ClockIsInjectable)
{
    Client client;
    ManualTickClock clock(1000);
    client.setClock(clock);
    clock.advance(250);
    EXPECT_EQ(client.clock().TickCount(), 1250);
}

// The whole way: a local server accepts, receives the identification frame,
// then hangs up, which ends the client with a non-zero status.
TEST(ClientConnection, LoopbackIdentificationThenServerHangsUp)
{
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    Client client;
    client.state.globals.ServerHost = QStringLiteral("127.0.0.1");
    client.state.globals.ServerPort = QString::number(server.serverPort());
    client.state.prefs.AllowWatchCards = 1;
    QSignalSpy unload(&client, &Client::unloadRequested);
    client.ConnectRoomServer();
    ASSERT_TRUE(server.waitForNewConnection(5000));
    std::unique_ptr<QTcpSocket> peer(server.nextPendingConnection());

    const QByteArray expected = bytes({130, 0}) + "300`KELPO`1";
    QByteArray got;
    for (int i = 0; i < 500 && got.size() < expected.size() + FrameHeaderLength; ++i) {
        QTest::qWait(10);
        got += peer->readAll();
    }
    EXPECT_EQ(got, bytes({0, 0, 0, static_cast<int>(expected.size())}) + expected);

    peer->disconnectFromHost();
    ASSERT_TRUE(unload.wait(5000));
    EXPECT_EQ(unload[0][0].toInt(), ExitConnectionClosed);
}

TEST(ClientConnection, UnreachableServerFails)
{
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
    const QString port = QString::number(probe.serverPort());
    probe.close();
    Client client;
    client.state.globals.ServerHost = QStringLiteral("127.0.0.1");
    client.state.globals.ServerPort = port;
    QSignalSpy unload(&client, &Client::unloadRequested);
    client.ConnectRoomServer();
    ASSERT_TRUE(unload.wait(5000));
    EXPECT_EQ(unload[0][0].toInt(), ExitConnectionFailed);
}
