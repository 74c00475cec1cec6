// A server streaming messages faster than the client's pauses end.

#include "TableFlowFixture.h"

#include "controls/QelSckClient.h"
#include "net/FrameCodec.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

namespace kelpo::test {
namespace {

TEST_F(TableFlowTest, PausingMessagesNestBoundedAndEveryOneIsHandledInOrder)
{
    // Each pause ends after a few readings of this clock.
    SteppingClock fast(1000);
    client.setClock(fast);
    QTcpServer listener;
    ASSERT_TRUE(listener.listen(QHostAddress::LocalHost));
    client.socket().Connect(QStringLiteral("127.0.0.1"), listener.serverPort(), 10);
    ASSERT_TRUE(listener.waitForNewConnection(5000));
    QTcpSocket* server = listener.nextPendingConnection();

    // Tribute exchanges (3000 ms pause) and round ends (100 ms pause), back to
    // back; without a bound each would run inside the last one's pause.
    constexpr int Count = 1000;
    std::vector<QByteArray> sentMessages;
    QByteArray stream;
    for (int i = 0; i < Count; ++i) {
        sentMessages.push_back(i % 3 == 2 ? PassMsg(i % 6, (i + 1) % 6, 1) : TributeMsg(i % 6, 0, (i + 1) % 6, 1));
        AppendFrame(stream, sentMessages.back());
    }
    server->write(stream);

    std::vector<QByteArray> seen;
    int deepest = 0;
    // Seen as handed out, before the handler runs (and perhaps pauses).
    QObject::disconnect(&client.socket(), &QelSckClient::DataArrived, &client, &Client::OnDataArrived);
    QObject::connect(&client.socket(), &QelSckClient::DataArrived, &client, [&](const QByteArray& m) {
        seen.push_back(m);
        deepest = std::max(deepest, client.nestedWaits());
        client.OnDataArrived(m);
    });
    QElapsedTimer t;
    t.start();
    while (seen.size() < sentMessages.size() && t.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);

    EXPECT_EQ(seen, sentMessages);
    EXPECT_LE(deepest, Client::MaxNestedWaits);
    EXPECT_FALSE(client.socket().deliveryHeld());

    // The server going away during a pause still ends the client.
    stream.clear();
    AppendFrame(stream, TributeMsg(0, 0, 1, 1));
    server->write(stream);
    server->flush();
    server->abort();
    while (unloadedWith < 0 && t.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_GT(unloadedWith, 0);
}

} // namespace
} // namespace kelpo::test
