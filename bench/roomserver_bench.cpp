#include "net/FrameCodec.h"
#include "net/Packet.h"
#include "platform/TickClock.h"
#include "server/Bots.h"
#include "server/RoomTable.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <utility>
#include <vector>

namespace {

using namespace kelpo;
using namespace kelpo::server;

struct Table {
    ManualTickClock clock;
    QByteArray wire;
    std::size_t bytesOut = 0;
    std::unique_ptr<RoomTable> room;

    // Six humans at the table, the first hand dealt.
    Table()
    {
        RoomConfig c;
        for (int s = 0; s < SeatCount; ++s)
            c.players << QStringLiteral("玩家%1").arg(s);
        c.settingsRound = false;
        c.seed = 5;
        room = std::make_unique<RoomTable>(
            c, clock,
            [this](int, const QByteArray& m) {
                // Framing is part of the server's work; the socket is not.
                wire.clear();
                AppendFrame(wire, m);
                bytesOut += static_cast<std::size_t>(wire.size());
            },
            [](int) {});
        for (int s = 0; s < SeatCount; ++s) {
            QByteArray ident;
            BuildPacket(QStringLiteral("300`KELPO`0"), ident, 2, QByteArray("\x82\x00", 2));
            room->connectionOpened(s);
            room->messageArrived(s, ident);
        }
        for (int s = 0; s < SeatCount; ++s) {
            QByteArray agree;
            BuildPacket(QStringLiteral("玩家%1").arg(s), agree, 2, QByteArray("\x70\x01", 2));
            room->messageArrived(s, agree);
        }
    }
};

QByteArray PlayMessage(int seat, const CardList& cards)
{
    QByteArray m(8, '\0');
    m[0] = 20;
    m[6] = static_cast<char>(seat);
    m[7] = static_cast<char>(cards.count());
    for (CardCode c : cards.codes())
        m.append(static_cast<char>(c));
    return m;
}

// The messages of one whole first hand, each seat playing as a bot would.
std::vector<std::pair<int, QByteArray>> RecordHand()
{
    Table t;
    std::vector<std::pair<int, QByteArray>> moves;
    const Referee& r = t.room->referee();
    while (r.handInPlay() && moves.size() < 1000) {
        const int seat = r.actingSeat();
        const CardList& hand = r.state().seats[seat].hand;
        const CardList cards = r.phase() == Phase::Lead ? BotLead(hand) : BotFollow(hand, r.state().best, seat);
        moves.emplace_back(seat, PlayMessage(seat, cards));
        t.room->messageArrived(seat, moves.back().second);
    }
    return moves;
}

// One play or pass from a client, checked by the referee and broadcast to
// the six connections; sockets excluded.
void BM_ServerPlay(benchmark::State& state)
{
    const auto moves = RecordHand();
    auto table = std::make_unique<Table>();
    std::size_t next = 0;
    for (auto _ : state) {
        if (next == moves.size()) {
            state.PauseTiming();
            table = std::make_unique<Table>();
            next = 0;
            state.ResumeTiming();
        }
        table->room->messageArrived(moves[next].first, moves[next].second);
        ++next;
    }
    benchmark::DoNotOptimize(table->bytesOut);
    state.counters["moves_per_hand"] = static_cast<double>(moves.size());
}
BENCHMARK(BM_ServerPlay);

} // namespace
