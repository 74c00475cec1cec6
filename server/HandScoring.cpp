#include "server/HandScoring.h"

#include <algorithm>
#include <numeric>

namespace kelpo::server {

bool HandIsOver(const FinishRanks& ranks)
{
    int finished = 0;
    std::array<int, 2> teamFinished{};
    for (int seat = 0; seat < SeatCount; ++seat) {
        if (ranks[seat] != 0) {
            ++finished;
            ++teamFinished[seat % 2];
        }
    }
    return finished >= 5 || teamFinished[0] == 3 || teamFinished[1] == 3;
}

int TeamScore(const FinishRanks& ranks, int team)
{
    int score = 0;
    for (int seat = team % 2; seat < SeatCount; seat += 2)
        score += 7 - (ranks[seat] == 0 ? UnfinishedRank : ranks[seat]);
    return score;
}

SeatResults HandResults(const FinishRanks& ranks, int stake)
{
    SeatResults results{};
    const int even = TeamScore(ranks, 0);
    const int odd = TeamScore(ranks, 1);
    if (even == odd)
        return results;
    const int winners = even > odd ? 0 : 1;
    for (int seat = 0; seat < SeatCount; ++seat)
        results[seat] = seat % 2 == winners ? stake : -stake;
    return results;
}

std::array<int, SeatCount> FinishingOrder(const FinishRanks& ranks,
                                          const std::array<int, SeatCount>& cardsLeft)
{
    std::array<int, SeatCount> order{};
    std::iota(order.begin(), order.end(), 0);
    auto key = [&](int seat) {
        // Finishers by rank; the others after them, fewer cards first.
        return ranks[seat] != 0 ? ranks[seat] : UnfinishedRank * 1000 + cardsLeft[seat];
    };
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return key(a) < key(b); });
    return order;
}

std::array<TributePair, 2> ChooseTributePairs(const std::array<int, SeatCount>& order)
{
    return {TributePair{order[0], order[5]}, TributePair{order[1], order[4]}};
}

} // namespace kelpo::server
