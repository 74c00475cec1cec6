#pragma once
// How a hand ends, what it is worth to each team, and who gives tribute to
// whom in the hand after it.

#include "server/TableConfig.h"

#include <array>
#include <cstdint>

namespace kelpo::server {

// finishRank per seat: 0 still playing, 1..5 the order of finishing.
using FinishRanks = std::array<int, SeatCount>;
using SeatResults = std::array<std::int32_t, SeatCount>;

// A seat left holding cards counts as sixth.
inline constexpr int UnfinishedRank = 6;

// True once all three seats of one team, or five seats, have finished.
bool HandIsOver(const FinishRanks& ranks);

// The sum over the team's seats of 7 - finishing rank; team 0 holds the even
// seats, team 1 the odd ones.
int TeamScore(const FinishRanks& ranks, int team);

// Winners +stake, losers -stake, everyone 0 on equal scores.
SeatResults HandResults(const FinishRanks& ranks, int stake);

// The places of a finished hand, best first. Seats still holding cards come
// after every finisher, those with more cards last (ties in seat order), so
// the last place is always "the seat left holding cards".
std::array<int, SeatCount> FinishingOrder(const FinishRanks& ranks,
                                          const std::array<int, SeatCount>& cardsLeft);

// One tribute: giver hands its highest card to receiver, who returns one.
struct TributePair {
    int receiver = 0;
    int giver = 0;
    friend bool operator==(const TributePair&, const TributePair&) = default;
};

// Last place gives to first, fifth place to second.
std::array<TributePair, 2> ChooseTributePairs(const std::array<int, SeatCount>& order);

} // namespace kelpo::server
