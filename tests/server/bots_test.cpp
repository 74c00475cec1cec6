#include "TableReplay.h"

#include "server/Bots.h"
#include "server/Referee.h"

#include <gtest/gtest.h>

namespace kelpo::server {
namespace {

using namespace testing;

RoundBest Best(int seat, int type, CardCode maxCard, int count)
{
    return RoundBest{static_cast<std::uint8_t>(seat), static_cast<std::uint8_t>(type), maxCard,
                     static_cast<std::uint8_t>(count)};
}

TEST(Bots, LeadTheLowestGroupWhole)
{
    EXPECT_EQ(BotLead(CardList{Card(RK), Card(R5), Card(R9), Card(R5, 1)}), (CardList{Card(R5), Card(R5, 1)}));
    EXPECT_EQ(BotLead(CardList{BigJoker, SmallJoker, Card(R2)}), CardList{Card(R2)});
    EXPECT_EQ(BotLead(CardList{BigJoker, SmallJoker}), CardList{SmallJoker});
}

TEST(Bots, FollowWithTheCheapestBeatingPlayAvoidingSplits)
{
    const RoundBest single7 = Best(1, 0, Card(R7), 1);
    EXPECT_EQ(BotFollow(CardList{Card(R8), Card(R8, 1), Card(R9), Card(RJ)}, single7, 0), CardList{Card(R9)});
    EXPECT_EQ(BotFollow(CardList{Card(RJ), Card(R8), Card(RJ, 1), Card(R8, 1)}, single7, 0), CardList{Card(R8)});
    EXPECT_EQ(BotFollow(CardList{Card(R7, 2), Card(R3)}, single7, 0), CardList{PassMarker}) << "equal rank never beats";

    const RoundBest pairK = Best(3, 1, Card(RK), 2);
    EXPECT_EQ(BotFollow(CardList{Card(RA), Card(R2), Card(R2, 1), BigJoker, BigJoker}, pairK, 0),
              (CardList{Card(R2), Card(R2, 1)}));
    EXPECT_EQ(BotFollow(CardList{SmallJoker, BigJoker, Card(RA)}, pairK, 0), CardList{PassMarker})
        << "the two jokers are no pair";

    const RoundBest single2 = Best(1, 0, Card(R2), 1);
    EXPECT_EQ(BotFollow(CardList{BigJoker, SmallJoker}, single2, 0), CardList{SmallJoker});

    const RoundBest threeFives = Best(5, 2, Card(R5), 3);
    EXPECT_EQ(BotFollow(CardList{Card(R6), Card(R6, 1), Card(R6, 2), Card(R6, 3), Card(R9), Card(R9, 1), Card(R9, 2)},
                        threeFives, 2),
              (CardList{Card(R9), Card(R9, 1), Card(R9, 2)}));
}

TEST(Bots, LeaveTheRoundToThePartnerUnlessTheyCanGoOut)
{
    const RoundBest partnerSeven = Best(2, 0, Card(R7), 1);
    EXPECT_EQ(BotFollow(CardList{Card(R9), Card(R10)}, partnerSeven, 0), CardList{PassMarker});
    EXPECT_EQ(BotFollow(CardList{Card(R9)}, partnerSeven, 4), CardList{Card(R9)});
    EXPECT_EQ(BotFollow(CardList{Card(R9), Card(R10)}, Best(3, 0, Card(R7), 1), 0), CardList{Card(R9)});
}

TEST(Bots, GiveTheHighestAndReturnTheLowestBelowTheAce)
{
    EXPECT_EQ(BotTributeCard(CardList{Card(R9), BigJoker, Card(R2)}), BigJoker);
    EXPECT_EQ(BotTributeCard(CardList{Card(R9), Card(RA, 3), Card(R10)}), Card(RA, 3));
    EXPECT_EQ(BotReturnCard(CardList{Card(R2), Card(RK), Card(R9), Card(RA)}), Card(R9));
    EXPECT_EQ(BotReturnCard(CardList{Card(R2), SmallJoker, Card(RA, 2)}), Card(RA, 2));
}

// Six bots play whole matches from seeded deals; every message is followed
// by an independent replay that checks each play and tribute card against
// the rules and the cards each seat holds.
TEST(Bots, SixBotsPlayAThousandSeededHandsLawfully)
{
    ManualTickClock clock;
    int hands = 0;
    for (int match = 0; match < 100; ++match) {
        TableConfig config;
        config.deckCount = std::array{1, 2, 3, 6}[match % 4];
        config.threeHandDeal = match % 3 == 1;
        Referee referee(config, 1000 + match, clock);
        for (int s = 0; s < SeatCount; ++s)
            referee.setBot(s, true);
        TableReplay replay;
        for (int hand = 0; hand < 10; ++hand, ++hands) {
            ASSERT_TRUE(referee.startHand());
            referee.runBots();
            ASSERT_FALSE(referee.handInPlay()) << "match " << match << " hand " << hand;
            ASSERT_TRUE(replay.feedAll(referee.takeOutgoing()))
                << "match " << match << " hand " << hand << ": " << replay.error().toStdString();
            for (int s = 0; s < SeatCount; ++s) {
                auto mine = referee.state().seats[s].hand.codes();
                auto theirs = replay.hands()[s].codes();
                std::sort(mine.begin(), mine.end());
                std::sort(theirs.begin(), theirs.end());
                ASSERT_EQ(mine, theirs);
            }
        }
        EXPECT_EQ(replay.handsOver(), 10);
        EXPECT_GT(replay.plays(), 10 * 6);
    }
    EXPECT_EQ(hands, 1000);
}

TEST(Bots, TheSameSeedDealsTheSameHands)
{
    ManualTickClock clock;
    Referee a(TableConfig{}, 42, clock);
    Referee b(TableConfig{}, 42, clock);
    Referee c(TableConfig{}, 43, clock);
    a.startHand();
    b.startHand();
    c.startHand();
    EXPECT_EQ(a.state().dealt, b.state().dealt);
    EXPECT_NE(a.state().dealt, c.state().dealt);
}

} // namespace
} // namespace kelpo::server
