#include "rules/CardOrder.h"

#include "rules/RandomCards.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace kelpo {
namespace {

using test::multiset;
using test::randomCards;
using test::rankKey;

TEST(CardOrder, ComparesByRankOnlyWithJokersOnTop)
{
    EXPECT_TRUE(IsLowerCard(52, 53));
    EXPECT_FALSE(IsLowerCard(53, 52));
    EXPECT_TRUE(IsLowerCard(51, 52));   // a 2 below the small joker
    EXPECT_FALSE(IsLowerCard(52, 51));
    EXPECT_FALSE(IsLowerCard(12, 25));  // two 2s of different suits
    EXPECT_FALSE(IsLowerCard(25, 12));
    EXPECT_FALSE(IsLowerCard(53, 53));
    EXPECT_TRUE(IsLowerCard(13, 1));    // a 3 below a 4 of another suit
    EXPECT_FALSE(IsLowerCard(0, 0));

    EXPECT_FALSE(IsSameRank(52, 53));
    EXPECT_TRUE(IsSameRank(52, 52));
    EXPECT_TRUE(IsSameRank(7, 46));     // two 10s
    EXPECT_FALSE(IsSameRank(52, 0));    // small joker shares rank field 0 with the 3
    EXPECT_FALSE(IsSameRank(53, 1));
}

TEST(CardOrder, ComparisonAgreesWithRankKeyForEveryPair)
{
    for (int a = 0; a <= 53; ++a) {
        for (int b = 0; b <= 53; ++b) {
            const auto ca = static_cast<CardCode>(a);
            const auto cb = static_cast<CardCode>(b);
            EXPECT_EQ(IsLowerCard(ca, cb), rankKey(ca) < rankKey(cb)) << a << " " << b;
            EXPECT_EQ(IsSameRank(ca, cb), rankKey(ca) == rankKey(cb)) << a << " " << b;
        }
    }
}

// Bytes that are no card still compare by their suit and rank fields, as
// the comparison is defined, so a stray byte never makes the sort erratic.
TEST(CardOrder, StrayBytesCompareByTheirFields)
{
    auto lower = [](int a, int b) {
        const bool ja = a / 13 >= 4, jb = b / 13 >= 4;
        if (ja && jb)
            return a % 13 < b % 13;
        if (ja || jb)
            return jb && !ja;
        return a % 13 < b % 13;
    };
    for (int a = 0; a < 256; ++a) {
        for (int b = 0; b < 256; ++b) {
            ASSERT_EQ(IsLowerCard(CardCode(a), CardCode(b)), lower(a, b)) << a << " " << b;
            ASSERT_EQ(IsSameRank(CardCode(a), CardCode(b)), (a / 13 >= 4) == (b / 13 >= 4) && a % 13 == b % 13);
        }
    }
}

TEST(CardOrder, RankSortKeepsTheExchangeOrderOfEqualRanks)
{
    CardList list{0, 2, 13, 1};
    SortCardsByRank(list);
    EXPECT_EQ(list, (CardList{2, 1, 13, 0}));

    // Only the first n positions take part.
    CardList partial{0, 5, 53, 52};
    SortCardsByRank(partial, 2);
    EXPECT_EQ(partial, (CardList{5, 0, 53, 52}));

    CardList tooFar{3, 53};
    SortCardsByRank(tooFar, 99);
    EXPECT_EQ(tooFar, (CardList{53, 3}));
    SortCardsByRank(tooFar, -4);
    EXPECT_EQ(tooFar, (CardList{53, 3}));
}

TEST(CardOrder, RankSortPropertyOnRandomHands)
{
    std::mt19937 rng(20261207);
    for (int round = 0; round < 500; ++round) {
        const int n = static_cast<int>(rng() % 55);
        const CardList original = randomCards(rng, n, 6);
        CardList list = original;
        SortCardsByRank(list);
        ASSERT_EQ(multiset(list), multiset(original));
        for (int i = 2; i <= list.count(); ++i)
            ASSERT_GE(rankKey(list.at(i - 1)), rankKey(list.at(i))) << "round " << round;
    }
}

// Where equal ranks land is visible on screen, so the order must stay the
// one the pairwise exchange loop gives, for any bytes and any prefix.
TEST(CardOrder, RankSortLandsCardsWhereTheExchangeLoopDoes)
{
    std::mt19937 rng(18);
    for (int round = 0; round < 2000; ++round) {
        std::vector<CardCode> codes(rng() % 70);
        for (CardCode& c : codes)
            c = static_cast<CardCode>(round % 2 ? rng() % 54 : rng() % 256);
        const int n = static_cast<int>(rng() % 72);
        CardList expected(codes);
        auto& e = expected.codes();
        const int m = std::min<int>(n, static_cast<int>(e.size()));
        for (int j = 0; j < m - 1; ++j)
            for (int i = j + 1; i < m; ++i)
                if (IsLowerCard(e[j], e[i]))
                    std::swap(e[j], e[i]);
        CardList list(codes);
        SortCardsByRank(list, n);
        ASSERT_EQ(list, expected) << "round " << round;
    }
}

TEST(CardOrder, GroupsFollowTheRankSortedList)
{
    CardList list{53, 11, 24, 37, 8, 0, 13};
    const RankGroupList groups = GroupCardsByRank(list, list.count());
    ASSERT_EQ(groups.count(), 4);
    EXPECT_FALSE(groups.cut());
    EXPECT_EQ(groups.at(1).count, 1);
    EXPECT_EQ(groups.at(2).count, 3);
    EXPECT_EQ(groups.at(2).at(1), 11);
    EXPECT_EQ(groups.at(2).at(3), 37);
    EXPECT_EQ(groups.at(4).at(2), 13);
    EXPECT_EQ(groups.at(4).at(3), NoCardImage);
    EXPECT_EQ(groups.at(5).count, 0);
    EXPECT_EQ(groups.at(0).count, 0);

    EXPECT_EQ(GroupCardsByRank(CardList{}, 0).count(), 0);
}

TEST(CardOrder, OversizedInputIsCutNotOverflowed)
{
    // Thirty 7s cannot come from six packs: the group holds 24.
    CardList sevens(std::vector<CardCode>(30, 4));
    const RankGroupList groups = GroupCardsByRank(sevens, sevens.count());
    EXPECT_TRUE(groups.cut());
    ASSERT_EQ(groups.count(), 1);
    EXPECT_EQ(groups.at(1).count, MaxRankGroupCards);

    std::mt19937 rng(7);
    CardList big = randomCards(rng, 80, 6);
    const auto before = multiset(big);
    SortCardsByRank(big);
    EXPECT_TRUE(GroupCardsByRank(big, big.count()).cut());
    // Count order of a list the groups cannot hold loses no card.
    SortCardsByCount(big);
    EXPECT_EQ(multiset(big), before);
    SortCardsByCount(sevens);
    EXPECT_EQ(sevens.count(), 30);
}

TEST(CardOrder, CountOrderPutsLargerGroupsFirst)
{
    // 5 5 5 9 9 K
    CardList list{6, 2, 10, 15, 19, 28};
    SortCardsByCount(list);
    for (int i = 1; i <= 3; ++i)
        EXPECT_EQ(rankKey(list.at(i)), 2);
    EXPECT_EQ(rankKey(list.at(4)), 6);
    EXPECT_EQ(rankKey(list.at(5)), 6);
    EXPECT_EQ(rankKey(list.at(6)), 10);

    // 9 9 5 5: equal sizes, higher rank first.
    CardList pairs{2, 6, 15, 19};
    SortCardsByCount(pairs);
    EXPECT_EQ(rankKey(pairs.at(1)), 6);
    EXPECT_EQ(rankKey(pairs.at(2)), 6);
    EXPECT_EQ(rankKey(pairs.at(3)), 2);
}

TEST(CardOrder, CountOrderPropertyOnRandomHands)
{
    std::mt19937 rng(4242);
    for (int round = 0; round < 500; ++round) {
        const int n = static_cast<int>(rng() % 55);
        const CardList original = randomCards(rng, n, 6);
        CardList list = original;
        SortCardsByCount(list);
        ASSERT_EQ(multiset(list), multiset(original));

        std::map<int, int> sizeOf;
        for (CardCode c : original.codes())
            ++sizeOf[rankKey(c)];
        for (int i = 2; i <= list.count(); ++i) {
            const int prevKey = rankKey(list.at(i - 1));
            const int key = rankKey(list.at(i));
            const auto prev = std::make_pair(sizeOf[prevKey], prevKey);
            const auto cur = std::make_pair(sizeOf[key], key);
            // Non-increasing by (size, rank) also makes each rank contiguous.
            ASSERT_GE(prev, cur) << "round " << round << " position " << i;
        }
    }
}

TEST(CardOrder, RemoveTakesOneCopyPerCard)
{
    CardList hand{9, 22, 9, 40};
    RemoveCards(hand, CardList{9});
    EXPECT_EQ(hand, (CardList{22, 9, 40}));

    RemoveCards(hand, CardList{53, 40, 40});  // absent and extra copies are skipped
    EXPECT_EQ(hand, (CardList{22, 9}));

    RemoveCards(hand, CardList{});
    EXPECT_EQ(hand.count(), 2);

    CardList self{1, 1, 2};
    RemoveCards(self, self);
    EXPECT_TRUE(self.isEmpty());
}

TEST(CardOrder, RemovePropertyOnRandomHands)
{
    std::mt19937 rng(99);
    for (int round = 0; round < 500; ++round) {
        const CardList hand0 = randomCards(rng, static_cast<int>(rng() % 30), 2);
        const CardList play = randomCards(rng, static_cast<int>(rng() % 10), 2);
        CardList hand = hand0;
        RemoveCards(hand, play);

        auto expected = multiset(hand0);
        for (CardCode c : play.codes()) {
            auto it = expected.find(c);
            if (it != expected.end() && it->second > 0)
                --it->second;
        }
        std::erase_if(expected, [](const auto& kv) { return kv.second == 0; });
        ASSERT_EQ(multiset(hand), expected) << "round " << round;
        // What stays is a subsequence of the hand: order is kept.
        auto pos = hand0.codes().begin();
        for (CardCode c : hand.codes()) {
            pos = std::find(pos, hand0.codes().end(), c);
            ASSERT_NE(pos, hand0.codes().end());
            ++pos;
        }
    }
}

TEST(CardOrder, CardZeroGoesLast)
{
    CardList hand{0, 5, 7};
    MoveCardZeroLast(hand);
    EXPECT_EQ(hand, (CardList{7, 5, 0}));

    CardList alreadyLast{5, 0, 7, 0};
    MoveCardZeroLast(alreadyLast);
    EXPECT_EQ(alreadyLast, (CardList{5, 0, 7, 0}));

    CardList none{5, 7, 13};
    MoveCardZeroLast(none);
    EXPECT_EQ(none, (CardList{5, 7, 13}));

    // Only the first n positions are looked at.
    CardList partial{0, 5, 7};
    MoveCardZeroLast(partial, 2);
    EXPECT_EQ(partial, (CardList{5, 0, 7}));
    MoveCardZeroLast(partial, 50);
    EXPECT_EQ(partial, (CardList{5, 7, 0}));

    CardList empty;
    MoveCardZeroLast(empty);
    EXPECT_TRUE(empty.isEmpty());
}

} // namespace
} // namespace kelpo
