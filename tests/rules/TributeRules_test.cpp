#include "rules/TributeRules.h"

#include "rules/CardOrder.h"

#include <gtest/gtest.h>

namespace kelpo {
namespace {

const QString kNotHighest = QStringLiteral("进贡要进你手里最大的牌！");
const QString kTooHigh = QStringLiteral("回贡只能回A以下的牌！");

TEST(TributeRules, TributeMustBeOfTheHighestRank)
{
    const CardList pairOfAs{11, 37, 10, 3};  // A A K 6
    QString message;
    EXPECT_TRUE(CheckTributeCard(11, pairOfAs, message));
    EXPECT_TRUE(CheckTributeCard(37, pairOfAs, message));
    EXPECT_TRUE(message.isEmpty());
    EXPECT_FALSE(CheckTributeCard(10, pairOfAs, message));
    EXPECT_EQ(message, kNotHighest);

    const CardList withBigJoker{53, 52, 12};
    message.clear();
    EXPECT_TRUE(CheckTributeCard(53, withBigJoker, message));
    EXPECT_FALSE(CheckTributeCard(52, withBigJoker, message));
    EXPECT_EQ(message, kNotHighest);
}

TEST(TributeRules, ReturnMustBeBelowTheAUnlessNothingElseIsHeld)
{
    QString message;
    EXPECT_FALSE(CheckReturnTributeCard(11, CardList{11, 6}, message));  // A while a 9 is held
    EXPECT_EQ(message, kTooHigh);
    message.clear();
    EXPECT_FALSE(CheckReturnTributeCard(52, CardList{52, 0}, message));
    EXPECT_EQ(message, kTooHigh);

    message.clear();
    EXPECT_TRUE(CheckReturnTributeCard(11, CardList{11, 12, 25, 52, 53}, message));
    EXPECT_TRUE(CheckReturnTributeCard(53, CardList{53}, message));
    EXPECT_TRUE(message.isEmpty());

    // A K is always returnable, the 3 of suit 3 as well.
    EXPECT_TRUE(CheckReturnTributeCard(10, CardList{10, 11, 2}, message));
    EXPECT_TRUE(CheckReturnTributeCard(49, CardList{49}, message));
    EXPECT_TRUE(message.isEmpty());
}

TEST(TributeRules, GivenCardLeavesOnlyHandsThisClientHolds)
{
    CardList own{0, 11, 5}, next{7, 8}, far{9, 10};
    LocalHands hands{own, next, far};

    EXPECT_EQ(RemoveGivenCard(2, 11, 2, false, hands), OwnHandChanged);
    EXPECT_EQ(own, (CardList{5, 0}));  // code 0 kept last

    EXPECT_EQ(RemoveGivenCard(4, 7, 2, false, hands), NoHandChanged);
    EXPECT_EQ(next.count(), 2);
    EXPECT_EQ(RemoveGivenCard(4, 7, 2, true, hands), PartnerNextChanged);
    EXPECT_EQ(next, (CardList{8}));
    EXPECT_EQ(RemoveGivenCard(0, 10, 2, true, hands), PartnerFarChanged);
    EXPECT_EQ(far, (CardList{9}));
    EXPECT_EQ(RemoveGivenCard(3, 9, 2, true, hands), NoHandChanged);
    EXPECT_EQ(RemoveGivenCard(50, 9, 2, true, hands), NoHandChanged);
    EXPECT_EQ(RemoveGivenCard(2, 9, 200, true, hands), NoHandChanged);
    EXPECT_EQ(far, (CardList{9}));
}

TEST(TributeRules, ExchangeGivesEachSeatTheOtherSeatsCard)
{
    // Seat 1 gave a big joker to seat 0, which returned a 4.
    CardList own{0, 13, 5}, next, far;
    std::array<CardCode, SeatCount> given{1, 53, NoCardImage, NoCardImage, NoCardImage, NoCardImage};
    const TributePairs pairs{0, 1, 9, 9};

    EXPECT_EQ(ExchangeTributeCards(pairs, given, 0, false, LocalHands{own, next, far}), OwnHandChanged);
    EXPECT_EQ(own, (CardList{53, 5, 13, 0}));

    // The giver of the pair gets the receiver's card; rank-sorted, 0 last.
    CardList giverHand{0, 12, 2}, n2, f2;
    EXPECT_EQ(ExchangeTributeCards(pairs, given, 1, false, LocalHands{giverHand, n2, f2}), OwnHandChanged);
    EXPECT_EQ(giverHand, (CardList{12, 2, 1, 0}));
}

TEST(TributeRules, ExchangeReachesPartnerHandsOnlyAfterAThreeHandDeal)
{
    // Pairs (0 receives from 1) and (2 receives from 5); this client sits at 4.
    std::array<CardCode, SeatCount> given{3, 52, 4, NoCardImage, NoCardImage, 50};
    const TributePairs pairs{0, 1, 2, 5};

    CardList own{8}, next{6}, far{7};
    EXPECT_EQ(ExchangeTributeCards(pairs, given, 4, false, LocalHands{own, next, far}), NoHandChanged);
    EXPECT_EQ(next, (CardList{6}));

    const unsigned changed = ExchangeTributeCards(pairs, given, 4, true, LocalHands{own, next, far});
    EXPECT_EQ(changed, PartnerNextChanged | PartnerFarChanged);
    EXPECT_EQ(own, (CardList{8}));
    EXPECT_EQ(next, (CardList{52, 6}));       // seat 0 gets seat 1's joker
    EXPECT_EQ(far, (CardList{50, 7}));        // seat 2 gets seat 5's K
}

TEST(TributeRules, ExchangeSkipsBadSeatsAndMissingCards)
{
    std::array<CardCode, SeatCount> given{PassMarker, NoCardImage, 4, 5, 6, 7};
    CardList own{9}, next, far;
    const TributePairs pairs{0, 1, 200, 3};  // seat 1 gave nothing; 200 is no seat
    EXPECT_EQ(ExchangeTributeCards(pairs, given, 0, true, LocalHands{own, next, far}), NoHandChanged);
    EXPECT_EQ(own, (CardList{9}));
    // Seat 1 receives seat 0's marker, which is no card.
    CardList own1{9};
    EXPECT_EQ(ExchangeTributeCards(pairs, given, 1, false, LocalHands{own1, next, far}), NoHandChanged);
    EXPECT_EQ(own1, (CardList{9}));
}

} // namespace
} // namespace kelpo
