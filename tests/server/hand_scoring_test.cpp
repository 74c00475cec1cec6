#include "server/HandScoring.h"

#include <gtest/gtest.h>

namespace kelpo::server {
namespace {

TEST(HandScoring, HandEndsOnAWholeTeamOrFiveFinishers)
{
    EXPECT_FALSE(HandIsOver({1, 2, 3, 4, 0, 0})) << "two and two";
    EXPECT_TRUE(HandIsOver({1, 0, 2, 0, 3, 0}));
    EXPECT_TRUE(HandIsOver({0, 3, 0, 1, 0, 2}));
    EXPECT_TRUE(HandIsOver({1, 2, 3, 4, 0, 5}));
}

TEST(HandScoring, ResultsFollowTheTeamScores)
{
    // Even 6 + 4 + 1, odd 5 + 3 + 2.
    const FinishRanks close{1, 2, 3, 4, 0, 5};
    EXPECT_EQ(TeamScore(close, 0), 11);
    EXPECT_EQ(TeamScore(close, 1), 10);
    EXPECT_EQ(HandResults(close, 25), (SeatResults{25, -25, 25, -25, 25, -25}));
    EXPECT_EQ(HandResults({0, 1, 0, 2, 0, 3}, 5), (SeatResults{-5, 5, -5, 5, -5, 5}));
    EXPECT_EQ(HandResults({0, 0, 0, 0, 0, 0}, 5), SeatResults{}) << "equal scores are a draw";
}

TEST(HandScoring, SeatsHoldingCardsTakeTheLastPlacesAndGiveTribute)
{
    // Seats 1, 3, 5 finished; of the others seat 4 holds most, then 0, 2 tie.
    const auto order = FinishingOrder({0, 2, 0, 1, 0, 3}, {4, 0, 4, 0, 9, 0});
    EXPECT_EQ(order, (std::array<int, SeatCount>{3, 1, 5, 0, 2, 4}));
    const auto pairs = ChooseTributePairs(order);
    EXPECT_EQ(pairs[0], (TributePair{3, 4}));
    EXPECT_EQ(pairs[1], (TributePair{1, 2}));
}

} // namespace
} // namespace kelpo::server
