// A hostile or dying room server seen from the client: a stream faster than
// the client's pauses end, and the server gone mid-frame, in a dialog or in
// any pause.

#include "TableFlowFixture.h"

#include "controls/QelSckClient.h"
#include "net/FrameCodec.h"
#include "net/Packet.h"
#include "server/RoomMessages.h"
#include "skin/ModalBoxes.h"
#include "support/Users.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <functional>

namespace kelpo::test {
namespace {

class ServerFaultsTest : public TableFlowTest {
protected:
    // Connects the client's own socket to a server of the test's.
    QTcpSocket* connectServer()
    {
        EXPECT_TRUE(listener.listen(QHostAddress::LocalHost));
        client.socket().Connect(QStringLiteral("127.0.0.1"), listener.serverPort(), 10);
        EXPECT_TRUE(listener.waitForNewConnection(5000));
        return listener.nextPendingConnection();
    }
    static QByteArray Framed(const std::vector<QByteArray>& messages)
    {
        QByteArray out;
        for (const QByteArray& m : messages)
            AppendFrame(out, m);
        return out;
    }
    bool pumpUntil(const std::function<bool()>& done)
    {
        QElapsedTimer t;
        t.start();
        while (!done() && t.elapsed() < 30000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        return done();
    }

    QTcpServer listener;
};

TEST_F(ServerFaultsTest, PausingMessagesNestBoundedAndEveryOneIsHandledInOrder)
{
    // Each pause ends after a few readings of this clock.
    SteppingClock fast(1000);
    client.setClock(fast);
    QTcpSocket* server = connectServer();

    // Tribute exchanges (3000 ms pause) and round ends (100 ms pause), back to
    // back; without a bound each would run inside the last one's pause.
    std::vector<QByteArray> stream;
    for (int i = 0; i < 1000; ++i)
        stream.push_back(i % 3 == 2 ? PassMsg(i % 6, (i + 1) % 6, 1) : TributeMsg(i % 6, 0, (i + 1) % 6, 1));
    server->write(Framed(stream));

    std::vector<QByteArray> seen;
    int deepest = 0;
    // Seen as handed out, before the handler runs (and perhaps pauses).
    QObject::disconnect(&client.socket(), &QelSckClient::DataArrived, &client, &Client::OnDataArrived);
    QObject::connect(&client.socket(), &QelSckClient::DataArrived, &client, [&](const QByteArray& m) {
        seen.push_back(m);
        deepest = std::max(deepest, client.nestedWaits());
        client.OnDataArrived(m);
    });
    pumpUntil([&] { return seen.size() >= stream.size(); });

    EXPECT_EQ(seen, stream);
    EXPECT_LE(deepest, Client::MaxNestedWaits);
    EXPECT_FALSE(client.socket().deliveryHeld());
}

TEST_F(ServerFaultsTest, BoxOpeningMessagesNestBoundedAndEveryOneIsShownInOrder)
{
    QTcpSocket* server = connectServer();
    // Item notices, each a modal box whose loop takes the next message.
    constexpr std::size_t Notices = 20;
    std::vector<QByteArray> stream;
    std::vector<QString> expected;
    for (std::size_t i = 0; i < Notices; ++i) {
        expected.push_back(QStringLiteral("牌局提示|n%1").arg(i));
        stream.push_back(Bytes({133, 2}) + QByteArray("n") + QByteArray::number(static_cast<int>(i)));
    }
    // The user dismisses a box only at the deepest level, and all of them
    // once the last notice is up.
    std::size_t deepest = 0;
    ModalBoxes& boxes = ModalBoxes::instance();
    boxes.setObserver([&](QWidget* box) {
        const auto running = boxes.running();
        deepest = std::max(deepest, running.size());
        if (boxes.history().size() == Notices) {
            for (const auto& b : running)
                if (b)
                    b->close();
        } else if (running.size() >= static_cast<std::size_t>(Client::MaxNestedWaits)) {
            box->close();
        }
    });
    server->write(Framed(stream));
    ASSERT_TRUE(pumpUntil([&] { return boxes.history().size() == Notices && boxes.running().empty(); }));

    EXPECT_EQ(takeBoxes(), expected);
    EXPECT_LE(deepest, static_cast<std::size_t>(Client::MaxNestedWaits));
    EXPECT_EQ(client.nestedWaits(), 0);
    EXPECT_FALSE(client.socket().deliveryHeld());
}

TEST_F(ServerFaultsTest, AServerGoneWhileBoxesAreNestedToTheBoundStillEndsTheClient)
{
    QTcpSocket* server = connectServer();
    // Item demonstrations, each a system box nobody answers; the server goes
    // once they are nested to the bound.
    std::vector<QByteArray> uses(8, Bytes({133, 3, 1, 2, 0, 0, 0, 7}));
    ModalBoxes& boxes = ModalBoxes::instance();
    bool rescued = false;
    boxes.setObserver([&](QWidget*) {
        if (boxes.running().size() != static_cast<std::size_t>(Client::MaxNestedWaits))
            return;
        server->abort();
        // Without the end going ahead nothing would close the boxes.
        QTimer::singleShot(5000, [&] {
            rescued = unloadedWith < 0;
            for (const auto& b : boxes.running())
                if (b)
                    b->close();
        });
    });
    server->write(Framed(uses));
    ASSERT_TRUE(pumpUntil([&] { return unloadedWith >= 0 && boxes.running().empty(); }));
    EXPECT_FALSE(rescued);
    EXPECT_GT(unloadedWith, 0);
}

// What the server sent last before it died, and whether the client was the
// spectator.
struct LastWords {
    const char* what;
    std::vector<QByteArray> messages;
    QByteArray tail;
    bool spectator = false;
    bool inPause = false;
};

class ServerDiesTest : public ServerFaultsTest, public ::testing::WithParamInterface<LastWords> {};

TEST_P(ServerDiesTest, TheClientEndsWithANonZeroStatusAndCutsItsPauseShort)
{
    const LastWords& p = GetParam();
    seatAt(1, p.spectator);
    QTcpSocket* server = connectServer();
    int waitsAtUnload = -1;
    QObject::connect(window.get(), &frmGameMain::unloaded, [&] { waitsAtUnload = client.nestedWaits(); });
    const std::int64_t before = clock.now();
    server->write(Framed(p.messages) + p.tail);
    server->flush();
    server->abort();
    ASSERT_TRUE(pumpUntil([&] { return unloadedWith >= 0; })) << p.what;
    EXPECT_GT(unloadedWith, 0);
    EXPECT_EQ(waitsAtUnload > 0, p.inPause) << p.what;
    // No pause ran its full length after the connection was gone.
    EXPECT_LT(clock.now() - before, 3000) << p.what;
}

QByteArray HandOver()
{
    QByteArray over = Bytes({22, 1});
    for (int s = 0; s < SeatCount; ++s)
        over += Bytes({0, 0, 0, 1});
    return over + QByteArray(SeatCount, '\0');
}

QByteArray OwnerSettingsRequest()
{
    QByteArray m;
    BuildPacket(QStringLiteral("a`b`c`1`d`1`0`50`100`10`20`30`0"), m, 2, QByteArray("\x6f\x00", 2));
    return m;
}

const std::vector<int> NineCards{1, 5, 9, 14, 18, 22, 27, 31, 40};

INSTANTIATE_TEST_SUITE_P(
    Faults, ServerDiesTest,
    ::testing::Values(LastWords{"mid-frame", {HandStartMsg(1, 1, 5, 1)}, QByteArray("\x00\x00\x00\x0c\x13\x00", 6)},
                      LastWords{"settings dialog", {OwnerSettingsRequest()}, {}},
                      LastWords{"round end", {HandStartMsg(1, 1, 5, 1), DealMsg(NineCards), PassMsg(2, 3, 1)}, {}, false, true},
                      LastWords{"tribute exchange", {HandStartMsg(1, 1, 5, 1), TributeMsg(2, 0, 3, 1)}, {}, false, true},
                      LastWords{"spectator after the hand", {HandStartMsg(1, 1, 5, 1), HandOver()}, {}, true, true}));

// The same deaths met by the program itself, a process of its own: it must
// end with the connection's status rather than hang in a pause or a dialog.
TEST_P(ServerDiesTest, TheProgramEndsWithTheConnectionClosedStatus)
{
    const LastWords& p = GetParam();
    ASSERT_TRUE(listener.listen(QHostAddress::LocalHost));
    const QString me = p.spectator ? QStringLiteral("watcher") : QStringLiteral("p1");
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), dir.filePath(QStringLiteral("data"))); // hand reviews
    program.setProcessEnvironment(env);
    program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    program.start(QStringLiteral(KELPO_CLIENT), {QStringLiteral("KELPO-LOBBY"), QStringLiteral("127.0.0.1"),
                                                 QString::number(listener.serverPort()), QStringLiteral("G"),
                                                 QStringLiteral("a_0`b_100"), QStringLiteral("x"), QStringLiteral("y"), me,
                                                 QStringLiteral("1")});
    ASSERT_TRUE(listener.waitForNewConnection(20000)) << p.what;
    QTcpSocket* server = listener.nextPendingConnection();
    ASSERT_TRUE(server->waitForReadyRead(20000)) << "no identification";

    QList<server::UserInfo> users = SeatedPlayers({"p0", "p1", "p2", "p3", "p4", "p5"});
    if (p.spectator) {
        server::UserInfo u;
        u.name = me;
        u.watches = QStringLiteral("p1");
        u.chair = 1;
        users << u;
    }
    std::vector<QByteArray> messages{server::BuildIdentity(me, QStringLiteral("p1")), server::BuildUserList(users)};
    messages.insert(messages.end(), p.messages.begin(), p.messages.end());
    server->write(Framed(messages) + p.tail);
    server->flush();
    server->disconnectFromHost();

    ASSERT_TRUE(program.waitForFinished(20000)) << p.what << ": still running";
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit) << p.what;
    EXPECT_EQ(program.exitCode(), ExitConnectionClosed) << p.what;
}

} // namespace
} // namespace kelpo::test
