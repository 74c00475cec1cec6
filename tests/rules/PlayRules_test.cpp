#include "rules/PlayRules.h"

#include "rules/CardOrder.h"
#include "rules/RandomCards.h"

#include <gtest/gtest.h>

#include <set>

namespace kelpo {
namespace {

using test::randomCards;
using test::rankKey;

PlayType classify(const CardList& cards, CardCode* max = nullptr)
{
    CardCode m = 77;
    const PlayType t = ClassifyPlay(cards, m);
    if (max)
        *max = m;
    return t;
}

RoundBest best(PlayType type, CardCode max, int count)
{
    return RoundBest{3, static_cast<std::uint8_t>(type), max, static_cast<std::uint8_t>(count)};
}

TEST(PlayRules, ClassifiesByCountAndRank)
{
    CardCode max = 0;
    EXPECT_EQ(classify(CardList{53}, &max), PlayType::Single);
    EXPECT_EQ(max, 53);
    EXPECT_EQ(classify(CardList{52, 52}, &max), PlayType::Pair);
    EXPECT_EQ(max, 52);
    EXPECT_EQ(classify(CardList{52, 53}, &max), PlayType::Invalid);
    EXPECT_EQ(max, 77);  // left alone when there is no play
    EXPECT_EQ(classify(CardList{}), PlayType::Invalid);
    EXPECT_EQ(classify(CardList{0, 52}), PlayType::Invalid);  // joker's rank field is not a 3

    // Three 8s of three suits: the front card after the rank sort.
    const CardList eights{31, 5, 18};
    CardList sorted = eights;
    SortCardsByRank(sorted);
    EXPECT_EQ(classify(eights, &max), PlayType::SameRank);
    EXPECT_EQ(max, sorted.at(1));

    // Codes that are not cards never make a play, even when their fields match.
    EXPECT_EQ(classify(CardList{200, 213}), PlayType::Invalid);
    EXPECT_EQ(classify(CardList{PassMarker}), PlayType::Invalid);
}

TEST(PlayRules, InputBeyondTheCardModelIsInvalid)
{
    EXPECT_EQ(classify(CardList(std::vector<CardCode>(24, 9))), PlayType::SameRank);
    EXPECT_EQ(classify(CardList(std::vector<CardCode>(25, 9))), PlayType::Invalid);
    EXPECT_EQ(classify(CardList(std::vector<CardCode>(300, 9))), PlayType::Invalid);
}

TEST(PlayRules, ClassificationAgreesWithRankCountOracle)
{
    std::mt19937 rng(31337);
    int multiCardPlays = 0;
    for (int round = 0; round < 4000; ++round) {
        const int n = 1 + static_cast<int>(rng() % 8);
        // Small rank pools make one-rank plays common enough to matter:
        // a rank's four suits, sometimes with one joker kind mixed in.
        const int rank = static_cast<int>(rng() % 15);
        std::vector<CardCode> pool;
        for (int s = 0; s < 4; ++s)
            pool.push_back(rank >= 13 ? static_cast<CardCode>(52 + rank - 13) : static_cast<CardCode>(s * 13 + rank));
        if (rng() % 3 == 0)
            pool.push_back(static_cast<CardCode>(52 + rng() % 2));
        CardList cards;
        if (round % 2 == 0) {
            for (int i = 0; i < n; ++i)
                cards.append(pool[rng() % pool.size()]);
        } else {
            cards = randomCards(rng, n, 2);
        }

        std::set<int> keys;
        for (CardCode c : cards.codes())
            keys.insert(rankKey(c));
        PlayType expected = PlayType::Invalid;
        if (n == 1)
            expected = PlayType::Single;
        else if (keys.size() == 1)
            expected = n == 2 ? PlayType::Pair : PlayType::SameRank;

        CardCode max = 0;
        const CardList before = cards;
        ASSERT_EQ(ClassifyPlay(cards, max), expected) << "round " << round;
        ASSERT_EQ(cards, before);
        if (expected != PlayType::Invalid) {
            multiCardPlays += n > 1;
            CardList sorted = cards;
            SortCardsByRank(sorted);
            ASSERT_EQ(max, sorted.at(1)) << "round " << round;
        }
    }
    EXPECT_GT(multiCardPlays, 500);  // the generator does reach pairs and groups
}

TEST(PlayRules, LeadAcceptsAnyValidPlay)
{
    QString message = QStringLiteral("unchanged");
    PlayType type = PlayType::Invalid;
    CardCode max = 0;
    EXPECT_TRUE(CheckLeadPlay(CardList{1, 14, 27, 40, 1}, message, type, max));  // five 4s
    EXPECT_EQ(type, PlayType::SameRank);
    EXPECT_EQ(max, 1);
    EXPECT_EQ(message, QStringLiteral("unchanged"));

    EXPECT_FALSE(CheckLeadPlay(CardList{1, 2}, message, type, max));
    EXPECT_EQ(message, QStringLiteral("出牌错误：牌型不对！"));
}

TEST(PlayRules, FollowChecksRunInOrder)
{
    QString message;
    PlayType type = PlayType::Invalid;
    CardCode max = 0;

    // Pair of Ks followed by three As: the count decides before the type.
    EXPECT_FALSE(CheckFollowPlay(CardList{11, 24, 37}, best(PlayType::Pair, 10, 2), message, type, max));
    EXPECT_EQ(message, QStringLiteral("出牌必须和上家的张数相同!"));

    // Single 9 followed by a pair of 9s: count again.
    EXPECT_FALSE(CheckFollowPlay(CardList{6, 19}, best(PlayType::Single, 32, 1), message, type, max));
    EXPECT_EQ(message, QStringLiteral("出牌必须和上家的张数相同!"));

    // Single 9 followed by a 9 of another suit: equal rank never beats.
    EXPECT_FALSE(CheckFollowPlay(CardList{19}, best(PlayType::Single, 32, 1), message, type, max));
    EXPECT_EQ(message, QStringLiteral("出牌错误：出牌必须比本轮最大出牌还要大！"));

    // Mixed ranks fail on the pattern first, whatever the counts.
    EXPECT_FALSE(CheckFollowPlay(CardList{52, 53}, best(PlayType::Pair, 10, 2), message, type, max));
    EXPECT_EQ(message, QStringLiteral("出牌错误：牌型不对！"));

    // Same count, another type recorded for the round.
    EXPECT_FALSE(CheckFollowPlay(CardList{12, 25}, best(PlayType::SameRank, 10, 2), message, type, max));
    EXPECT_EQ(message, QStringLiteral("出牌必须和上家的牌型相同!"));
}

TEST(PlayRules, FollowBeatsOnlyWithHigherRank)
{
    QString message = QStringLiteral("unchanged");
    PlayType type = PlayType::Invalid;
    CardCode max = 0;
    EXPECT_TRUE(CheckFollowPlay(CardList{52}, best(PlayType::Single, 12, 1), message, type, max));
    EXPECT_EQ(type, PlayType::Single);
    EXPECT_EQ(max, 52);
    EXPECT_TRUE(CheckFollowPlay(CardList{53}, best(PlayType::Single, 52, 1), message, type, max));
    EXPECT_TRUE(CheckFollowPlay(CardList{12, 38}, best(PlayType::Pair, 11, 2), message, type, max));
    EXPECT_EQ(type, PlayType::Pair);
    EXPECT_EQ(message, QStringLiteral("unchanged"));

    EXPECT_FALSE(CheckFollowPlay(CardList{51}, best(PlayType::Single, 52, 1), message, type, max));
    EXPECT_EQ(message, QStringLiteral("出牌错误：出牌必须比本轮最大出牌还要大！"));
}

} // namespace
} // namespace kelpo
