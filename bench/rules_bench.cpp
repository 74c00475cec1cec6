#include "rules/CardOrder.h"
#include "rules/PlayRules.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>

namespace {

using namespace kelpo;

CardList shuffledCards(int n)
{
    std::vector<CardCode> deck;
    for (int p = 0; p < 6; ++p)
        for (int c = 0; c <= HighestCard; ++c)
            deck.push_back(static_cast<CardCode>(c));
    std::mt19937 rng(18);
    std::shuffle(deck.begin(), deck.end(), rng);
    deck.resize(static_cast<std::size_t>(n));
    return CardList(deck);
}

void BM_SortCardsByRank(benchmark::State& state)
{
    const CardList source = shuffledCards(static_cast<int>(state.range(0)));
    CardList list;
    for (auto _ : state) {
        list = source;
        SortCardsByRank(list);
        benchmark::DoNotOptimize(list.codes().data());
    }
}
BENCHMARK(BM_SortCardsByRank)->Arg(18)->Arg(54);

// All but the last card share a rank, so a play that fits the model is read
// to its end before it is refused; longer lists are refused on their size.
void BM_ClassifyPlay(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    CardList cards;
    for (int i = 0; i < n - 1; ++i)
        cards.append(static_cast<CardCode>(5 + 13 * (i % 4)));
    cards.append(BigJoker);
    CardCode max = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ClassifyPlay(cards, max));
        benchmark::DoNotOptimize(max);
    }
}
BENCHMARK(BM_ClassifyPlay)->Arg(18)->Arg(54);

} // namespace
