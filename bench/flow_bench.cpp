// A whole recorded hand handled by a client with its main window and table
// view, the resource pack beside the program: hand start, deal, sixty plays
// and passes, hand over. The clock jumps a second on every reading, so the
// pause at each round's end costs one pass of the event loop.

#include "game/Client.h"
#include "game/GameMessages.h"
#include "platform/TickClock.h"
#include "room/frmGameMain.h"
#include "skin/MsgPool.h"
#include "state/Session.h"
#include "table/TablePainter.h"
#include "table/TableWidget.h"

#include <QCoreApplication>
#include <QDir>
#include <QCursor>
#include <QEventLoop>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

using namespace kelpo;

class JumpingClock final : public TickClock {
public:
    std::int64_t TickCount() const override { return now_ += 1000; }

private:
    mutable std::int64_t now_ = 0;
};

QByteArray Msg(std::initializer_list<int> bytes)
{
    QByteArray m;
    for (int b : bytes)
        m.append(static_cast<char>(b));
    return m;
}

constexpr int MySeat = 1;
constexpr int PlaysPerHand = 60;

// Ten rounds of six messages: the leader plays a single, the next three
// beat it or pass, the fifth passes and the sixth pass ends the round with
// the leader of the next one. The local seat plays from its own hand.
std::vector<QByteArray> RecordedHand(std::vector<int>& myCards)
{
    std::vector<QByteArray> plays;
    int leader = 0;
    int other = 3;
    for (int round = 0; round < PlaysPerHand / 6; ++round) {
        for (int k = 0; k < 6; ++k) {
            const int seat = (leader + k) % 6;
            const int next = (seat + 1) % 6;
            const bool last = k == 5;
            const bool plays_ = k < 3;
            int card = other;
            if (plays_ && seat == MySeat && !myCards.empty()) {
                card = myCards.back();
                myCards.pop_back();
            } else if (plays_) {
                other = (other + 7) % 52;
            }
            if (plays_)
                plays.push_back(Msg({20, 0, last ? leader : next, last ? 1 : 2, 0, 0, seat, 1, card}));
            else
                plays.push_back(Msg({20, 0, last ? leader : next, last ? 1 : 2, 0, 0, seat, 1, 254}));
        }
        leader = (leader + 1) % 6;
    }
    return plays;
}

struct FlowTable {
    JumpingClock clock;
    Client client;
    std::unique_ptr<frmGameMain> window;
    QByteArray handStart;
    QByteArray deal;
    std::vector<QByteArray> plays;
    QByteArray handOver;

    FlowTable()
    {
        const QString app = QCoreApplication::applicationDirPath();
        ClientState& s = client.state;
        InitSession(s, app);
        s.globals.ParentPath = QDir(app + QStringLiteral("/..")).absolutePath() + u'/';
        s.globals.GameName = QStringLiteral("牌局");
        for (int seat = 0; seat < SeatCount; ++seat) {
            SeatRecord& r = s.seats[static_cast<std::size_t>(seat)];
            r.name = QStringLiteral("p%1").arg(seat);
            r.iconNumber = seat * 3;
        }
        s.globals.UserName = s.globals.ViewedUserName = QStringLiteral("p1");
        s.globals.MySeat = MySeat;
        for (int seat = 0; seat < SeatCount; ++seat)
            s.globals.SeatViewPos[static_cast<std::size_t>(seat)] = static_cast<std::uint8_t>((seat - MySeat + 8) % 6);
        client.msgPool().InitMsgObjects();
        client.setClock(clock);
        client.setPacketSink([](const QByteArray&) {});
        window = std::make_unique<frmGameMain>(client);
        if (TablePainter* painter = client.room.painter)
            painter->ResizeTable(1024, 768);

        handStart = QByteArray(18, '\0');
        handStart[0] = 17;
        handStart[3] = 5;
        handStart[11] = 2;
        handStart[13] = 30;
        handStart[14] = 15;
        handStart[15] = 0;
        handStart[16] = 1;
        std::vector<int> mine;
        deal = Msg({19, 0, 0});
        for (int i = 0; i < 18; ++i) {
            const int card = (i * 3 + 1) % 54;
            deal.append(static_cast<char>(card));
            mine.push_back(card);
        }
        plays = RecordedHand(mine);
        handOver = Msg({22, 1});
        for (int seat = 0; seat < SeatCount; ++seat)
            handOver += Msg({0, 0, 0, seat * 10});
        handOver += Msg({0, 0, 0, 0, 0, 0});
    }
};

void BM_PlayMessages(benchmark::State& st)
{
    FlowTable t;
    TableWidget* table = t.window->picGameBack;
    qint64 playPixels = 0;
    for (auto _ : st) {
        HandleGameMessage(t.client, t.handStart);
        HandleGameMessage(t.client, t.deal);
        table->resetScheduledPixels();
        for (const QByteArray& m : t.plays)
            HandleGameMessage(t.client, m);
        playPixels += table->scheduledPixels();
        HandleGameMessage(t.client, t.handOver);
        benchmark::DoNotOptimize(t.client.state.cards.RoundBest);
    }
    const auto plays = static_cast<std::int64_t>(st.iterations()) * PlaysPerHand;
    st.SetItemsProcessed(plays);
    // What a play costs the screen: the rectangles it scheduled.
    st.counters["px_per_play"] = static_cast<double>(playPixels) / static_cast<double>(plays);
}

// Counts the timer events the whole program receives.
class TimerEventCounter : public QObject {
public:
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        count += e->type() == QEvent::Timer;
        return false;
    }
};

// An idle client during an opponent's turn, shown, the pointer elsewhere,
// running its event loop for one second at a time: every timer event it
// receives is a wakeup.
void BM_IdleTableWakeups(benchmark::State& st)
{
    FlowTable t;
    t.window->show();
    QCursor::setPos(t.window->frameGeometry().bottomRight() + QPoint(1, 1));
    t.handStart[15] = 0; // seat 0, an opponent of seat 1, leads
    HandleGameMessage(t.client, t.handStart);
    HandleGameMessage(t.client, t.deal);
    QCoreApplication::processEvents();
    TimerEventCounter counter;
    int wakeups = 0;
    for (auto _ : st) {
        QEventLoop loop;
        QTimer::singleShot(1000, &loop, &QEventLoop::quit);
        counter.count = 0;
        qApp->installEventFilter(&counter);
        loop.exec();
        qApp->removeEventFilter(&counter);
        wakeups += counter.count - 1; // the second's own end
    }
    st.counters["wakeups_per_s"] = static_cast<double>(wakeups) / static_cast<double>(st.iterations());
}

} // namespace

BENCHMARK(BM_PlayMessages)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IdleTableWakeups)->Unit(benchmark::kMillisecond)->Iterations(3);
