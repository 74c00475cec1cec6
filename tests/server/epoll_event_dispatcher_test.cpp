#include "server/EpollEventDispatcher.h"

#include <QEventLoop>
#include <QHostAddress>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace kelpo::server {
namespace {

// Runs body on a thread of its own with the dispatcher, until the thread's
// loop quits; false when it did not within the limit. body arrives by a
// call posted from this thread while the other one already waits, so it
// runs at all only if the post wakes that wait. What body makes it keeps
// under root, deleted when the thread ends.
bool RunOnDispatcherThread(const std::function<void(QObject* root)>& body, int limitMs = 20000)
{
    QThread thread;
    thread.setEventDispatcher(new EpollEventDispatcher);
    QObject context;
    context.moveToThread(&thread);
    thread.start();
    QThread::msleep(20);
    QMetaObject::invokeMethod(&context, [&body] {
        auto* root = new QObject;
        QObject::connect(QThread::currentThread(), &QThread::finished, root, &QObject::deleteLater);
        body(root);
    }, Qt::QueuedConnection);
    const bool ended = thread.wait(limitMs);
    if (!ended) {
        thread.quit();
        thread.wait();
    }
    return ended;
}

TEST(EpollEventDispatcherTest, LargeEchoesAndBusyTimersAllArrive)
{
    // 2 MiB each way through a server socket whose read buffer is capped, so
    // read and write notifiers are switched off and on many times, while a
    // zero timer fires on every pass.
    QByteArray payload(2 * 1024 * 1024, '\0');
    QRandomGenerator(7).fillRange(reinterpret_cast<quint32*>(payload.data()), payload.size() / 4);
    QByteArray echoed;
    int zeroTicks = 0;
    int singleShots = 0;

    const bool ended = RunOnDispatcherThread([&](QObject* root) {
        auto* listener = new QTcpServer(root);
        ASSERT_TRUE(listener->listen(QHostAddress::LocalHost));
        QObject::connect(listener, &QTcpServer::newConnection, listener, [listener] {
            QTcpSocket* in = listener->nextPendingConnection();
            in->setReadBufferSize(16 * 1024);
            QObject::connect(in, &QTcpSocket::readyRead, in, [in] { in->write(in->readAll()); });
        });
        auto* client = new QTcpSocket(root);
        QObject::connect(client, &QTcpSocket::connected, client, [&, client] { client->write(payload); });
        QObject::connect(client, &QTcpSocket::readyRead, client, [&, client] {
            echoed += client->readAll();
            if (echoed.size() == payload.size())
                QTimer::singleShot(20, client, [&, client] {
                    ++singleShots;
                    QTimer::singleShot(20, client, [] { QThread::currentThread()->quit(); });
                });
        });
        auto* zero = new QTimer(root);
        QObject::connect(zero, &QTimer::timeout, zero, [&] { ++zeroTicks; });
        zero->start(0);
        client->connectToHost(QHostAddress::LocalHost, listener->serverPort());
    });
    ASSERT_TRUE(ended);
    EXPECT_EQ(echoed, payload);
    EXPECT_GT(zeroTicks, 0);
    EXPECT_EQ(singleShots, 1);
}

TEST(EpollEventDispatcherTest, ATimerWhoseHandlerRunsANestedLoopIsNotDeliveredInsideIt)
{
    int outerFires = 0;
    int firesInsideNested = -1;
    int otherFires = 0;
    const bool ended = RunOnDispatcherThread([&](QObject* root) {
        auto* outer = new QTimer(root);
        auto* other = new QTimer(root);
        QObject::connect(other, &QTimer::timeout, root, [&] { ++otherFires; });
        QObject::connect(outer, &QTimer::timeout, root, [&, outer] {
            if (++outerFires == 1) {
                QEventLoop nested;
                QTimer::singleShot(60, &nested, &QEventLoop::quit);
                nested.exec();
                firesInsideNested = outerFires - 1;
            } else if (outerFires == 3) {
                outer->stop();
                QThread::currentThread()->quit();
            }
        });
        outer->start(5);
        other->start(5);
    });
    ASSERT_TRUE(ended);
    EXPECT_EQ(firesInsideNested, 0);
    // The other timer went on inside the nested loop.
    EXPECT_GE(otherFires, 1);
    EXPECT_EQ(outerFires, 3);
}

} // namespace
} // namespace kelpo::server
