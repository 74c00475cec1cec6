// Turns over real sockets on loopback: room servers on a thread of their
// own, as if in their own process, and six clients per table on a few more
// threads, playing as the server's bots would. A turn is timed
// from the moment the acting client hands its play to its socket until the
// next acting client receives that play, so it holds both sockets, the
// server's work and the client's delivery, and nothing of anyone's thinking.

#include "controls/QelSckClient.h"
#include "net/Packet.h"
#include "rules/CardOrder.h"
#include "rules/PlayRules.h"
#include "server/Bots.h"
#include "server/GameMessages.h"
#include "server/RoomMessages.h"
#include "server/EpollEventDispatcher.h"
#include "server/RoomServer.h"
#include "platform/TickClock.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <cstdlib>
#include <random>
#include <sys/resource.h>
#include <vector>

namespace {

using namespace kelpo;
using namespace kelpo::server;
using Clock = std::chrono::steady_clock;

QString PlayerName(int seat) { return QStringLiteral("玩家%1").arg(seat); }

struct LoopbackTable;

// One player's client: its socket control, what it knows of its hand and of
// the round, and the bots' choices for its turns.
struct BotClient {
    LoopbackTable* table = nullptr;
    QelSckClient socket;
    int seat = -1;
    CardList hand;
    RoundBest best;
    bool leadsFirst = false;

    void arrived(const QByteArray& m);
    void act(Phase phase);
};

struct LoopbackTable {
    LoopbackTable(quint16 port, int thinkMs, std::size_t turnLimit)
        : port(port), thinkMs(thinkMs), turnLimit(turnLimit), rng(port)
    {
        for (auto& c : clients) {
            c = std::make_unique<BotClient>();
            BotClient* client = c.get();
            client->table = this;
            QObject::connect(&client->socket, &QelSckClient::Connected, [client] {
                QByteArray ident;
                BuildPacket(QStringLiteral("300`KELPO`0"), ident, 2, QByteArray("\x82\x00", 2));
                client->socket.Send(ident, 0, static_cast<int>(ident.size()) - 1);
            });
            QObject::connect(&client->socket, &QelSckClient::DataArrived,
                             [client](const QByteArray& m) { client->arrived(m); });
            QObject::connect(&client->socket, &QelSckClient::Failed, [this] { failed = true; });
        }
        connectNext();
    }

    // One client at a time, each once the one before it has its identity:
    // the server holds only a few unidentified connections from one address.
    void connectNext()
    {
        if (connected < SeatCount)
            clients[connected++]->socket.Connect(QStringLiteral("127.0.0.1"), port, 5);
    }

    std::array<std::unique_ptr<BotClient>, SeatCount> clients;
    int connected = 0;
    const quint16 port;
    const int thinkMs;
    const std::size_t turnLimit;
    std::vector<double> turnsUs;
    std::mt19937 rng;
    Clock::time_point sentAt;
    bool awaiting = false;
    // Read by the thread that waits for the tables.
    std::atomic<bool> done = false;
    std::atomic<bool> failed = false;
};

void BotClient::arrived(const QByteArray& m)
{
    const auto cls = static_cast<std::uint8_t>(m[0]);
    if (cls == MsgRoomState && m.size() > 2 && m[1] == RoomIdentity && seat < 0) {
        const QStringList names = BytesToText(m, 2).split(u'`');
        for (int s = 0; s < SeatCount && !names.isEmpty(); ++s)
            if (names[0] == PlayerName(s))
                seat = s;
        QByteArray agree;
        BuildPacket(PlayerName(seat), agree, 2, QByteArray("\x70\x01", 2));
        socket.Send(agree, 0, static_cast<int>(agree.size()) - 1);
        table->connectNext();
    } else if (cls == MsgHandStart && m.size() == HandStartLength) {
        best = RoundBest{};
        hand.clear();
        leadsFirst = m[15] == seat && static_cast<Phase>(m[16]) == Phase::Lead;
    } else if (cls == MsgDeal && m.size() > 3) {
        for (int i = 3; i < m.size(); ++i)
            hand.append(static_cast<CardCode>(m[i]));
        if (leadsFirst)
            act(Phase::Lead);
    } else if (cls == MsgPlay && m.size() >= 8 && m.size() == 8 + static_cast<std::uint8_t>(m[7])) {
        CardList cards;
        for (int i = 8; i < m.size(); ++i)
            cards.append(static_cast<CardCode>(m[i]));
        const auto phase = static_cast<Phase>(m[3]);
        if (phase == Phase::Lead) {
            best = RoundBest{};
        } else if (!cards.isPass()) {
            CardCode max = 0;
            const PlayType type = ClassifyPlay(cards, max);
            best = RoundBest{static_cast<std::uint8_t>(m[6]), static_cast<std::uint8_t>(type), max,
                             static_cast<std::uint8_t>(cards.count())};
        }
        if (m[2] == seat && (phase == Phase::Lead || phase == Phase::Follow)) {
            if (table->awaiting) {
                table->turnsUs.push_back(
                    std::chrono::duration<double, std::micro>(Clock::now() - table->sentAt).count());
                table->awaiting = false;
                if (table->turnLimit > 0 && table->turnsUs.size() >= table->turnLimit)
                    table->done = true;
            }
            act(phase);
        }
    } else if (cls == MsgHandOver) {
        table->done = true;
    } else if (cls == MsgRefused) {
        table->failed = true;
    }
}

void BotClient::act(Phase phase)
{
    const auto send = [this, phase] {
        const CardList cards = phase == Phase::Lead ? BotLead(hand) : BotFollow(hand, best, seat);
        QByteArray m(8, '\0');
        m[0] = static_cast<char>(MsgPlay);
        m[6] = static_cast<char>(seat);
        m[7] = static_cast<char>(cards.count());
        for (CardCode c : cards.codes())
            m.append(static_cast<char>(c));
        if (!cards.isPass())
            RemoveCards(hand, cards);
        table->awaiting = true;
        table->sentAt = Clock::now();
        socket.Send(m, 0, static_cast<int>(m.size()) - 1);
    };
    // Thinking times are spread so that tables do not all play at once.
    if (table->thinkMs > 0)
        QTimer::singleShot(std::uniform_int_distribution<int>(table->thinkMs / 2, table->thinkMs * 3 / 2)(table->rng),
                           Qt::PreciseTimer, &socket, send);
    else
        send();
}

double Percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    const auto i = static_cast<std::size_t>(p * static_cast<double>(v.size() - 1) + 0.5);
    return v[std::min(i, v.size() - 1)];
}

// A thread with an event loop, and a way to run code on it and wait. Its
// dispatcher is the one the room server runs on, which is told only about
// the sockets that are ready, so a thread of many clients costs what one
// client in a process of its own would.
class Worker {
public:
    Worker()
    {
        thread_.setEventDispatcher(new EpollEventDispatcher);
        thread_.start();
        context_.moveToThread(&thread_);
    }
    ~Worker()
    {
        QThread* const here = QThread::currentThread();
        run([&] { context_.moveToThread(here); });
        thread_.quit();
        thread_.wait();
    }
    template <typename F> void run(F f) { QMetaObject::invokeMethod(&context_, f, Qt::BlockingQueuedConnection); }

private:
    QThread thread_;
    QObject context_;
};

// Plays one first hand at each of `tables` tables at once, or the first
// turnLimit turns of each when it is not 0, and returns false when a table
// broke or stalled. The servers share one thread, as they would share a
// process; the clients are spread over a few threads so that their own
// polling does not stand in the way of the turns being timed.
bool PlayHands(int tables, int thinkMs, std::uint64_t seed, std::vector<double>& turnsUs, std::size_t turnLimit = 0)
{
    SteadyTickClock clock;
    Worker serverThread;
    std::vector<std::unique_ptr<RoomServer>> servers;
    std::vector<quint16> ports;
    serverThread.run([&] {
        for (int t = 0; t < tables; ++t) {
            RoomConfig config;
            for (int s = 0; s < SeatCount; ++s)
                config.players << PlayerName(s);
            config.settingsRound = false;
            config.seed = seed + static_cast<std::uint64_t>(t);
            servers.push_back(std::make_unique<RoomServer>(config, clock));
            QString error;
            if (servers.back()->listen(error))
                ports.push_back(servers.back()->port());
        }
    });

    bool finished = false;
    if (static_cast<int>(ports.size()) == tables) {
        const int threads = std::min(tables, 8);
        std::vector<std::unique_ptr<Worker>> clientThreads;
        std::vector<std::unique_ptr<LoopbackTable>> all(static_cast<std::size_t>(tables));
        for (int k = 0; k < threads; ++k) {
            clientThreads.push_back(std::make_unique<Worker>());
            clientThreads.back()->run([&, k] {
                for (int t = k; t < tables; t += threads)
                    all[t] = std::make_unique<LoopbackTable>(ports[t], thinkMs, turnLimit);
            });
        }
        QElapsedTimer limit;
        limit.start();
        for (;;) {
            const bool done = std::all_of(all.begin(), all.end(), [](const auto& t) { return t->done.load(); });
            const bool broken = std::any_of(all.begin(), all.end(), [](const auto& t) { return t->failed.load(); });
            if (done || broken || limit.elapsed() > 120000) {
                finished = done && !broken;
                break;
            }
            QThread::msleep(20);
        }
        for (int k = 0; k < threads; ++k) {
            clientThreads[k]->run([&, k] {
                for (int t = k; t < tables; t += threads) {
                    turnsUs.insert(turnsUs.end(), all[t]->turnsUs.begin(), all[t]->turnsUs.end());
                    all[t].reset();
                }
            });
        }
    }
    serverThread.run([&] { servers.clear(); });
    return finished;
}

void ReportTurns(benchmark::State& state, const std::vector<double>& turnsUs)
{
    state.counters["turns"] = static_cast<double>(turnsUs.size());
    state.counters["p50_us"] = Percentile(turnsUs, 0.50);
    state.counters["p99_us"] = Percentile(turnsUs, 0.99);
    state.counters["max_us"] = Percentile(turnsUs, 1.0);
    // A busy machine stalls a few turns whatever the code does; turns held
    // back by the network stack cluster near its 40 ms acknowledgement delay.
    state.counters["over_1ms"] =
        static_cast<double>(std::count_if(turnsUs.begin(), turnsUs.end(), [](double us) { return us > 1000; }));
    state.counters["over_30ms"] =
        static_cast<double>(std::count_if(turnsUs.begin(), turnsUs.end(), [](double us) { return us > 30000; }));
    // The tail is mostly the wait for a core: figures mean little without
    // how busy the machine was.
    double load[1] = {0};
    if (getloadavg(load, 1) == 1)
        state.counters["load1"] = load[0];
}

// A table of six human players, each answering the moment its turn comes:
// only the way from one player's client through the server to the next.
void BM_HumanTurn(benchmark::State& state)
{
    std::vector<double> turnsUs;
    std::uint64_t seed = 1;
    for (auto _ : state) {
        if (!PlayHands(1, 0, seed++, turnsUs)) {
            state.SkipWithError("a hand did not finish");
            return;
        }
    }
    ReportTurns(state, turnsUs);
}
BENCHMARK(BM_HumanTurn)->Unit(benchmark::kMillisecond)->Iterations(10);

// Tables in one server at once, each client thinking thinkMs before its
// play, so the server carries many tables' turns as a busy room would; the
// first thirty turns of each table are timed.
void BM_ManyTables(benchmark::State& state)
{
    // Thirteen descriptors a table (a listener, six connections, both ends),
    // more than a common default soft limit allows for a hundred tables.
    const int tables = static_cast<int>(state.range(0));
    rlimit files{};
    getrlimit(RLIMIT_NOFILE, &files);
    const rlim_t needed = static_cast<rlim_t>(tables) * 13 + 64;
    if (files.rlim_cur < needed && files.rlim_max >= needed) {
        files.rlim_cur = needed;
        setrlimit(RLIMIT_NOFILE, &files);
    }
    if (files.rlim_cur < needed) {
        state.SkipWithError("too few file descriptors allowed for that many tables");
        return;
    }
    std::vector<double> turnsUs;
    for (auto _ : state) {
        if (!PlayHands(tables, static_cast<int>(state.range(1)), 7, turnsUs, 30)) {
            state.SkipWithError("a hand did not finish");
            return;
        }
    }
    ReportTurns(state, turnsUs);
}
BENCHMARK(BM_ManyTables)->Args({100, 500})->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
