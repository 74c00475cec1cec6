// The whole program against a room server on the loopback interface.

#include "app/Main.h"
#include "game/Client.h"
#include "game/Waits.h"
#include "net/FrameCodec.h"
#include "room/frmGameMain.h"
#include "skin/ModalBoxes.h"
#include "skin/frmMsg.h"

#include <QApplication>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

using namespace kelpo;

namespace {

// Accepts one connection and collects what arrives on it.
struct FakeRoomServer {
    FakeRoomServer()
    {
        EXPECT_TRUE(server.listen(QHostAddress::LocalHost));
        QObject::connect(&server, &QTcpServer::newConnection, [this] {
            peer = server.nextPendingConnection();
            QObject::connect(peer, &QTcpSocket::readyRead, [this] {
                received += peer->readAll();
                if (onData)
                    onData();
            });
        });
    }
    QString commandLine() const
    {
        return QStringLiteral("KELPO-LOBBY 127.0.0.1 %1 牌局 新手_0`高手_100 x y 张三 0").arg(server.serverPort());
    }
    QTcpServer server;
    QTcpSocket* peer = nullptr;
    QByteArray received;
    std::function<void()> onData;
};

frmGameMain* MainWindow()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* m = qobject_cast<frmGameMain*>(w); m && m->isVisible())
            return m;
    return nullptr;
}

struct RunFixture : ::testing::Test {
    RunFixture()
    {
        QFile f(dir.filePath(QStringLiteral("UserSet.ini")));
        f.open(QIODevice::WriteOnly);
        f.write("1\r\n1\r\n1\r\n1\r\n1\r\n");
    }
    ~RunFixture() override { ModalBoxes::instance().clearObserver(); }
    QTemporaryDir dir;
    FakeRoomServer room;
};

QByteArray Frame(const QByteArray& message)
{
    QByteArray f(4, '\0');
    const auto n = static_cast<quint32>(message.size());
    f[0] = char(n >> 24), f[1] = char(n >> 16), f[2] = char(n >> 8), f[3] = char(n);
    return f + message;
}

} // namespace

TEST_F(RunFixture, IdentifiesAndEndsWithZeroWhenTheUserCloses)
{
    room.onData = [&] {
        if (room.received.size() >= 4 + 13)
            QTimer::singleShot(0, [] {
                if (frmGameMain* w = MainWindow())
                    w->close();
            });
    };
    const int status = Main(room.commandLine(), {dir.path()});
    EXPECT_EQ(status, 0);
    EXPECT_EQ(room.received, Frame(QByteArray("\x82\x00" "300`KELPO`1", 13)));
}

TEST_F(RunFixture, EndsNonZeroWhenTheServerClosesTheConnection)
{
    room.onData = [&] { room.peer->disconnectFromHost(); };
    EXPECT_EQ(Main(room.commandLine(), {dir.path()}), ExitConnectionClosed);
}

TEST_F(RunFixture, ALostConnectionDuringTheForceQuitQuestionEndsWithoutQuitting)
{
    int asked = 0;
    ModalBoxes::instance().setObserver([&](QWidget* w) {
        if (qobject_cast<frmMsg*>(w)) {
            ++asked;
            room.peer->disconnectFromHost(); // the box stays up until the loss arrives
        }
    });
    room.onData = [&] {
        QTimer::singleShot(0, [] {
            frmGameMain* w = MainWindow();
            if (!w)
                return;
            w->client().state.table.NoHandInPlay = false; // a hand is being played
            w->close();
        });
    };
    EXPECT_EQ(Main(room.commandLine(), {dir.path()}), ExitConnectionClosed);
    EXPECT_EQ(asked, 1);
}

TEST_F(RunFixture, AWaitInsideAHandlerEndsWhenTheWindowUnloads)
{
    bool waitResult = true;
    bool waited = false;
    room.onData = [&] {
        QTimer::singleShot(0, [&] {
            frmGameMain* w = MainWindow();
            if (!w || waited)
                return;
            waited = true;
            Client& client = w->client();
            QTimer::singleShot(10, [&client] { client.OnClosed(); });
            waitResult = WaitMilliseconds(client, 60000);
        });
    };
    EXPECT_EQ(Main(room.commandLine(), {dir.path()}), ExitConnectionClosed);
    EXPECT_TRUE(waited);
    EXPECT_FALSE(waitResult);
}
