#include "platform/TickClock.h"
#include "server/Referee.h"

#include <benchmark/benchmark.h>

namespace {

using namespace kelpo;
using namespace kelpo::server;

// Six bots play one whole hand in-process, messages built and collected but
// not sent; hands follow one another as in a match, so tributes are included.
void BM_BotHand(benchmark::State& state)
{
    ManualTickClock clock;
    Referee referee(TableConfig{}, 2024, clock);
    for (int s = 0; s < SeatCount; ++s)
        referee.setBot(s, true);
    std::size_t messages = 0;
    for (auto _ : state) {
        referee.startHand();
        referee.runBots();
        messages += referee.takeOutgoing().size();
    }
    state.counters["hands/s"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                   benchmark::Counter::kIsRate);
    state.counters["messages/hand"] =
        static_cast<double>(messages) / static_cast<double>(std::max<std::int64_t>(state.iterations(), 1));
}
BENCHMARK(BM_BotHand);

} // namespace
