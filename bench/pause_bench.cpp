// Messages arriving over loopback and handled by a client, once by its
// event loop and once inside a cooperative pause (as after a round's end):
// a pause must not slow down what arrives during it.

#include "controls/QelSckClient.h"
#include "game/Client.h"
#include "game/Waits.h"
#include "net/FrameCodec.h"
#include "platform/TickClock.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

#include <benchmark/benchmark.h>

#include <limits>

namespace {

using namespace kelpo;

// Stands still until told the pause is over.
class HeldClock final : public TickClock {
public:
    std::int64_t TickCount() const override { return now; }
    std::int64_t now = 0;
};

constexpr int Batch = 2000;

struct LoopbackClient {
    HeldClock clock;
    Client client;
    QTcpServer listener;
    QTcpSocket* server = nullptr;
    QByteArray batch;
    int handled = 0;

    LoopbackClient()
    {
        client.setClock(clock);
        QObject::connect(&client.socket(), &QelSckClient::DataArrived, [this] {
            if (++handled % Batch == 0)
                clock.now = std::numeric_limits<std::int32_t>::max();
        });
        listener.listen(QHostAddress::LocalHost);
        client.socket().Connect(QStringLiteral("127.0.0.1"), listener.serverPort(), 10);
        listener.waitForNewConnection(5000);
        server = listener.nextPendingConnection();
        while (!client.socket().isConnected())
            QCoreApplication::processEvents();
        // Seat-ready notices: handled by the table, never pausing.
        for (int i = 0; i < Batch; ++i)
            AppendFrame(batch, QByteArray::fromRawData(i % 2 ? "\x12\x01" : "\x12\x04", 2));
    }
    void send()
    {
        clock.now = 0;
        server->write(batch);
        server->flush();
    }
};

void BM_MessagesOutsideAPause(benchmark::State& st)
{
    LoopbackClient c;
    for (auto _ : st) {
        c.send();
        const int until = c.handled + Batch;
        while (c.handled < until)
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    st.SetItemsProcessed(static_cast<std::int64_t>(st.iterations()) * Batch);
}

void BM_MessagesInsideAPause(benchmark::State& st)
{
    LoopbackClient c;
    for (auto _ : st) {
        c.send();
        WaitMilliseconds(c.client, 1); // ends with the batch's last message
    }
    st.SetItemsProcessed(static_cast<std::int64_t>(st.iterations()) * Batch);
}

} // namespace

BENCHMARK(BM_MessagesOutsideAPause)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_MessagesInsideAPause)->Unit(benchmark::kMillisecond)->UseRealTime();
