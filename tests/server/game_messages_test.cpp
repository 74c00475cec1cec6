#include "TableReplay.h"

#include "platform/Cp936.h"
#include "server/GameMessages.h"

#include <gtest/gtest.h>

namespace kelpo::server {
namespace {

std::vector<int> Bytes(const QByteArray& m)
{
    std::vector<int> v;
    for (char c : m)
        v.push_back(static_cast<std::uint8_t>(c));
    return v;
}

Hands CountingHands(int perSeat)
{
    Hands hands;
    for (int s = 0; s < SeatCount; ++s)
        for (int i = 0; i < perSeat; ++i)
            hands[s].append(static_cast<CardCode>((s * perSeat + i) % 54));
    return hands;
}

TEST(GameMessages, HandStartCarriesTheTableParametersWhereClientsReadThem)
{
    TableConfig c;
    c.autoPlayLimit = 7;
    c.deckCount = 3;
    c.spareParameter = 9;
    c.turnSeconds = 25;
    c.tributeSeconds = 12;
    c.showCardCounts = 1;
    const auto m = Bytes(BuildHandStart(c, 4, Phase::Tribute));
    ASSERT_EQ(m.size(), 18u);
    EXPECT_EQ(m[0], 17);
    EXPECT_EQ(m[3], 7);
    EXPECT_EQ(m[11], 3);
    EXPECT_EQ(m[12], 9);
    EXPECT_EQ(m[13], 25);
    EXPECT_EQ(m[14], 12);
    EXPECT_EQ(m[15], 4);
    EXPECT_EQ(m[16], 3);
    EXPECT_EQ(m[17], 1);
}

TEST(GameMessages, DealHoldsTheViewedHandAndWithThreeHandsBothPartners)
{
    const Hands hands = CountingHands(27);
    const QByteArray single = BuildDeal(hands, 1, false);
    ASSERT_EQ(single.size(), 27 + 3);
    EXPECT_EQ(single[2], '\0');
    EXPECT_EQ(single.mid(3), QByteArray(reinterpret_cast<const char*>(hands[1].codes().data()), 27));

    const QByteArray three = BuildDeal(hands, 5, true);
    ASSERT_EQ(three.size(), 84);
    EXPECT_EQ(three[2], '\1');
    // (5 + 2) mod 6 = 1, then (5 + 4) mod 6 = 3.
    EXPECT_EQ(static_cast<CardCode>(three[3]), hands[5].at(1));
    EXPECT_EQ(static_cast<CardCode>(three[3 + 27]), hands[1].at(1));
    EXPECT_EQ(static_cast<CardCode>(three[3 + 54]), hands[3].at(1));
}

TEST(GameMessages, PlayAndPassAreExactlyCountPlusEightBytes)
{
    EXPECT_EQ(Bytes(BuildPlay(2, Phase::Follow, 0, 1, 1, CardList{5, 18})),
              (std::vector<int>{20, 0, 2, 2, 0, 1, 1, 2, 5, 18}));
    EXPECT_EQ(Bytes(BuildPlay(3, Phase::Lead, 2, 1, 0, CardList{PassMarker})),
              (std::vector<int>{20, 0, 3, 1, 2, 1, 0, 1, 254}));
}

TEST(GameMessages, HandOverWithEmptyHandsIsThirtyTwoBytesWithBigEndianResults)
{
    SeatResults results{10, -10, 10, -10, 256, -2};
    const auto m = Bytes(BuildHandOver(results, Hands{}));
    ASSERT_EQ(m.size(), 32u);
    EXPECT_EQ(m[0], 22);
    EXPECT_EQ(m[1], 1);
    EXPECT_EQ((std::vector<int>(m.begin() + 2, m.begin() + 10)), (std::vector<int>{0, 0, 0, 10, 255, 255, 255, 246}));
    EXPECT_EQ((std::vector<int>(m.begin() + 18, m.begin() + 26)), (std::vector<int>{0, 0, 1, 0, 255, 255, 255, 254}));

    Hands left;
    left[3] = CardList{53, 0};
    const auto withCards = Bytes(BuildHandOver(results, left));
    EXPECT_EQ((std::vector<int>(withCards.begin() + 26, withCards.end())),
              (std::vector<int>{0, 0, 0, 2, 53, 0, 0, 0}));
}

TEST(GameMessages, TributeNamesGiverCardNextTurnAndBothPairs)
{
    const std::array<TributePair, 2> pairs{TributePair{4, 1}, TributePair{0, 3}};
    EXPECT_EQ(Bytes(BuildTribute(1, 53, 3, Phase::Tribute, pairs)),
              (std::vector<int>{23, 0, 1, 53, 3, 3, 4, 1, 0, 3}));
}

TEST(GameMessages, RefusalAndSnapshotTextRoundTrip)
{
    const QByteArray m = BuildRefusal(QStringLiteral("出牌错误：牌型不对！"));
    EXPECT_EQ(static_cast<std::uint8_t>(m[0]), 21);
    EXPECT_EQ(cp936::Decode(m, 1), QStringLiteral("出牌错误：牌型不对！"));

    const auto idle = Bytes(BuildIdleSnapshot({true, false, false, true, false, false}, true));
    EXPECT_EQ(idle, (std::vector<int>{109, 0, 0, 0, 1, 0, 0, 1, 0, 0, 1}));
}

TEST(GameMessages, SnapshotListsPlaysThenTheViewedHandAndPartners)
{
    TableState t;
    t.config.threeHandDeal = true;
    t.config.autoPlayLimit = 9;
    t.handInPlay = true;
    t.phase = Phase::Follow;
    t.actingSeat = 2;
    t.best = RoundBest{1, 1, 40, 2};
    t.seats[1].currentPlay = CardList{40, 14};
    t.seats[1].warnFlag = 1;
    t.seats[4].finishRank = 1;
    t.seats[0].hand = CardList{7};
    t.seats[2].hand = CardList{8, 9};
    t.seats[4].hand = CardList{};
    const auto m = Bytes(BuildSnapshot(t, 0, false));
    EXPECT_EQ(m[2], 1);
    EXPECT_EQ(m[6], 9);
    EXPECT_EQ(m[10], 2);
    EXPECT_EQ(m[11], 2);
    EXPECT_EQ((std::vector<int>(m.begin() + 14, m.begin() + 18)), (std::vector<int>{1, 40, 1, 2}));
    EXPECT_EQ(m[20], 1);
    EXPECT_EQ(m[29], 1);
    EXPECT_EQ((std::vector<int>(m.begin() + 31, m.begin() + 37)), (std::vector<int>{1, 0, 2, 0, 0, 0}));
    EXPECT_EQ((std::vector<int>(m.begin() + 37, m.end())),
              (std::vector<int>{0, 2, 40, 14, 0, 0, 0, 0, /*hand*/ 1, 7, /*three*/ 1, 2, 8, 9, 0}));
}

TEST(GameMessages, ClientActionsAreReadOnlyWhenTheirLengthsAgree)
{
    auto play = ParseClientAction(QByteArray("\x14\0\0\0\0\0\x03\x02\x05\x12", 10));
    ASSERT_TRUE(play);
    EXPECT_EQ(play->kind, ClientAction::Kind::Play);
    EXPECT_EQ(play->cards, (CardList{5, 18}));
    // One byte too many, too few, and a header alone.
    EXPECT_FALSE(ParseClientAction(QByteArray("\x14\0\0\0\0\0\x03\x02\x05\x12\x07", 11)));
    EXPECT_FALSE(ParseClientAction(QByteArray("\x14\0\0\0\0\0\x03\x02\x05", 9)));
    EXPECT_FALSE(ParseClientAction(QByteArray("\x14", 1)));
    EXPECT_FALSE(ParseClientAction(QByteArray("\x17\0\x01", 3)));

    auto gift = ParseClientAction(QByteArray("\x17\x01\x02\x35\0\0\0\0\0\0", 10));
    ASSERT_TRUE(gift);
    EXPECT_EQ(gift->kind, ClientAction::Kind::Tribute);
    EXPECT_EQ(gift->cards, (CardList{53}));
    EXPECT_EQ(ParseClientAction(QByteArray("\x02\0\x01", 3))->kind, ClientAction::Kind::NoCards);
    EXPECT_FALSE(ParseClientAction(QByteArray("\x63\0\x01", 3)));
}

} // namespace
} // namespace kelpo::server
