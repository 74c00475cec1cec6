#include "controls/QelSckClient.h"

#include "net/FrameCodec.h"

#include <QEventLoop>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using namespace kelpo;

namespace {

QByteArray frame(const QByteArray& m)
{
    QByteArray out;
    AppendFrame(out, m);
    return out;
}

// A loopback server with one accepted peer.
class Loopback : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
        QSignalSpy connected(&client, &QelSckClient::Connected);
        client.Connect(QStringLiteral("127.0.0.1"), server.serverPort(), 120);
        ASSERT_TRUE(server.waitForNewConnection(5000));
        peer.reset(server.nextPendingConnection());
        ASSERT_TRUE(peer);
        ASSERT_TRUE(connected.wait(5000));
        ASSERT_TRUE(client.isConnected());
    }

    // Bytes the peer has received, waiting until at least n are there.
    QByteArray peerRead(qsizetype n)
    {
        // The client's socket writes from the event loop, so keep it running.
        QByteArray got;
        for (int i = 0; i < 500 && got.size() < n; ++i) {
            QTest::qWait(10);
            got += peer->readAll();
        }
        return got;
    }

    void peerSend(const QByteArray& bytes)
    {
        peer->write(bytes);
        peer->flush();
    }

    QTcpServer server;
    QelSckClient client;
    std::unique_ptr<QTcpSocket> peer;
};

} // namespace

TEST_F(Loopback, SendFramesTheChosenSpan)
{
    const QByteArray bytes("xxhello!");
    EXPECT_TRUE(client.Send(bytes, 2, 6));
    EXPECT_EQ(peerRead(9), frame("hello"));

    EXPECT_FALSE(client.Send(bytes, 0, 8));
    EXPECT_FALSE(client.Send(bytes, -1, 3));
    EXPECT_FALSE(client.Send(bytes, 4, 3));
    EXPECT_FALSE(client.Send(QByteArray(), 0, -1));
    EXPECT_FALSE(client.Send(QByteArray(MaxFrameLength + 1, 'x'), 0, MaxFrameLength));
}

TEST_F(Loopback, MessagesArriveOneByOneInOrderOutsideTheSocketNotification)
{
    std::vector<QByteArray> got;
    int depth = 0;
    int maxDepth = 0;
    QObject::connect(&client, &QelSckClient::DataArrived, [&](const QByteArray& m) {
        got.push_back(m);
        ++depth;
        maxDepth = std::max(maxDepth, depth);
        // The first handler waits cooperatively; later messages come in meanwhile.
        if (got.size() == 1) {
            QEventLoop loop;
            QObject::connect(&client, &QelSckClient::DataArrived, &loop, [&] {
                if (got.size() == 3)
                    loop.quit();
            });
            loop.exec();
        }
        --depth;
    });
    QByteArray stream = frame("one") + frame("two") + frame("three");
    peerSend(stream.left(5));
    QTest::qWait(20);
    peerSend(stream.mid(5));
    QTRY_COMPARE_WITH_TIMEOUT(got.size(), std::size_t(3), 5000);
    EXPECT_EQ(got, (std::vector<QByteArray>{"one", "two", "three"}));
    EXPECT_EQ(maxDepth, 2);
}

TEST_F(Loopback, ABrokenFrameFailsTheConnectionAfterEarlierMessages)
{
    QSignalSpy data(&client, &QelSckClient::DataArrived);
    QSignalSpy failed(&client, &QelSckClient::Failed);
    QSignalSpy closed(&client, &QelSckClient::Closed);
    peerSend(frame("ok") + QByteArray::fromHex("00010001") + "never");
    ASSERT_TRUE(failed.wait(5000));
    ASSERT_EQ(data.size(), 1);
    EXPECT_EQ(data[0][0].toByteArray(), QByteArray("ok"));
    EXPECT_FALSE(client.isConnected());
    EXPECT_FALSE(client.Send("x", 0, 0));
    QTest::qWait(20);
    EXPECT_EQ(closed.size(), 0);
    EXPECT_EQ(failed.size(), 1);
}

TEST_F(Loopback, PeerClosingDeliversWhatItSentThenClosed)
{
    std::vector<QString> events;
    QObject::connect(&client, &QelSckClient::DataArrived, [&](const QByteArray& m) { events.push_back(m); });
    QObject::connect(&client, &QelSckClient::Closed, [&] { events.push_back("closed"); });
    QObject::connect(&client, &QelSckClient::Failed, [&] { events.push_back("failed"); });
    peerSend(frame("last words"));
    peer->disconnectFromHost();
    QTRY_COMPARE_WITH_TIMEOUT(events.size(), std::size_t(2), 5000);
    QTest::qWait(20);
    EXPECT_EQ(events, (std::vector<QString>{"last words", "closed"}));
}

TEST_F(Loopback, AFloodIsReadInStepsAndArrivesWhole)
{
    // Far more than the pending limit, sent before the client handles any of it.
    const int count = 40;
    QByteArray stream;
    for (int i = 0; i < count; ++i)
        stream += frame(QByteArray(MaxFrameLength, static_cast<char>('a' + i % 26)));
    std::vector<QByteArray> got;
    QObject::connect(&client, &QelSckClient::DataArrived, [&](const QByteArray& m) { got.push_back(m); });
    peer->write(stream);
    QTRY_COMPARE_WITH_TIMEOUT(got.size(), std::size_t(count), 20000);
    for (int i = 0; i < count; ++i)
        EXPECT_EQ(got[static_cast<std::size_t>(i)], QByteArray(MaxFrameLength, static_cast<char>('a' + i % 26)));
}

TEST(QelSckClient, RefusedConnectionFails)
{
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
    const quint16 port = probe.serverPort();
    probe.close();
    QelSckClient client;
    QSignalSpy failed(&client, &QelSckClient::Failed);
    client.Connect(QStringLiteral("127.0.0.1"), port, 120);
    ASSERT_TRUE(failed.wait(5000));
    EXPECT_EQ(failed.size(), 1);
}

TEST(QelSckClient, TimeoutAndBadPortFail)
{
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    QelSckClient client;
    QSignalSpy connected(&client, &QelSckClient::Connected);
    QSignalSpy failed(&client, &QelSckClient::Failed);
    client.Connect(QStringLiteral("127.0.0.1"), server.serverPort(), 120);
    client.onConnectTimeout();
    QTRY_COMPARE_WITH_TIMEOUT(failed.size(), 1, 5000);
    QTest::qWait(20);
    EXPECT_EQ(connected.size(), 0);
    EXPECT_EQ(failed.size(), 1);

    QelSckClient badPort;
    QSignalSpy badFailed(&badPort, &QelSckClient::Failed);
    badPort.Connect(QStringLiteral("127.0.0.1"), 70000, 120);
    QTRY_COMPARE_WITH_TIMEOUT(badFailed.size(), 1, 5000);
}

TEST(QelSckClient, ANameIsResolvedThenConnected)
{
    // Only IPv4 listens: where the name gives the IPv6 loopback first, that
    // address is refused and the next one tried.
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    QelSckClient client;
    QSignalSpy connected(&client, &QelSckClient::Connected);
    client.Connect(QStringLiteral("localhost"), server.serverPort(), 120);
    ASSERT_TRUE(connected.wait(5000));
    EXPECT_TRUE(client.isConnected());
}
