#include "TableFlowFixture.h"

#include "game/GameMessageBuilders.h"
#include "game/GameMessageReaders.h"
#include "net/Packet.h"

#include <gtest/gtest.h>

#include <vector>

using namespace kelpo;
using kelpo::test::Bytes;
using kelpo::test::PlayMsg;

namespace {

QByteArray HandStart(int size)
{
    QByteArray m(size, '\0');
    m[0] = 17;
    if (size == 18) {
        m[3] = 4;   // automatic plays allowed
        m[11] = 3;  // packs
        m[12] = 9;
        m[13] = 20;
        m[14] = 10;
        m[15] = 4;  // acting seat
        m[16] = 3;  // tribute phase
        m[17] = 1;
    }
    return m;
}

} // namespace

TEST(GameMessageReaders, HandStartTakesParametersOnlyFromExactly18Bytes)
{
    const HandStartMessage full = ReadHandStart(HandStart(18));
    ASSERT_TRUE(full.hasParameters);
    EXPECT_EQ(full.AutoPlayLimit, 4);
    EXPECT_EQ(full.DeckCount, std::optional<std::uint8_t>(3));
    EXPECT_EQ(full.TableParam, 9);
    EXPECT_EQ(full.TurnSeconds, 20);
    EXPECT_EQ(full.TributeSeconds, 10);
    EXPECT_EQ(full.ActingSeat, std::optional<std::uint8_t>(4));
    EXPECT_EQ(full.TurnPhase, 3);
    EXPECT_EQ(full.ShowCardCounts, 1);

    EXPECT_FALSE(ReadHandStart(HandStart(17)).hasParameters);
    EXPECT_FALSE(ReadHandStart(HandStart(19)).hasParameters);

    QByteArray bad = HandStart(18);
    bad[11] = 0;
    bad[15] = 6;
    EXPECT_FALSE(ReadHandStart(bad).DeckCount.has_value());
    EXPECT_FALSE(ReadHandStart(bad).ActingSeat.has_value());
    bad[11] = static_cast<char>(255);
    EXPECT_FALSE(ReadHandStart(bad).DeckCount.has_value());
}

TEST(GameMessageReaders, DealChecksItsLengthAgainstThePackCount)
{
    QByteArray one = Bytes({19, 0, 0});
    for (int i = 0; i < 18; ++i)
        one.append(static_cast<char>(i));
    auto deal = ReadDeal(one, 2);
    ASSERT_TRUE(deal);
    EXPECT_TRUE(deal->fits);
    EXPECT_EQ(deal->hand.count(), 18);
    EXPECT_EQ(deal->hand.at(18), 17);
    EXPECT_TRUE(deal->partnerNext.isEmpty());

    // Three hands of 27 cards: 84 bytes.
    QByteArray three = Bytes({19, 0, 1});
    for (int i = 0; i < 81; ++i)
        three.append(static_cast<char>(i < 27 ? 1 : i < 54 ? 2 : 3));
    ASSERT_EQ(three.size(), 84);
    deal = ReadDeal(three, 3);
    ASSERT_TRUE(deal);
    EXPECT_TRUE(deal->fits);
    EXPECT_EQ(deal->ThreeHandDeal, 1);
    EXPECT_EQ(deal->hand, CardList(std::vector<CardCode>(27, 1)));
    EXPECT_EQ(deal->partnerNext, CardList(std::vector<CardCode>(27, 2)));
    EXPECT_EQ(deal->partnerFar, CardList(std::vector<CardCode>(27, 3)));

    // The wrong length keeps only the three-hand flag.
    deal = ReadDeal(three, 2);
    ASSERT_TRUE(deal);
    EXPECT_FALSE(deal->fits);
    EXPECT_EQ(deal->ThreeHandDeal, 1);
    EXPECT_TRUE(deal->hand.isEmpty());

    EXPECT_FALSE(ReadDeal(Bytes({19, 0, 1}), 2));
    // No packs: nothing can fit, even a message of exactly 3 + 0 bytes.
    deal = ReadDeal(Bytes({19, 0, 0, 5}), 0);
    ASSERT_TRUE(deal);
    EXPECT_FALSE(deal->fits);

    // Bytes that are no card never reach the hand.
    one[5] = static_cast<char>(60);
    one[6] = static_cast<char>(254);
    deal = ReadDeal(one, 2);
    ASSERT_TRUE(deal);
    EXPECT_EQ(deal->hand.count(), 16);
    for (CardCode c : deal->hand.codes())
        EXPECT_TRUE(IsValidCard(c));
}

TEST(GameMessageReaders, PlayMustBeExactlyNPlus8BytesFromAValidSeat)
{
    auto play = ReadPlay(PlayMsg(3, {5, 18}, 4, 2));
    ASSERT_TRUE(play);
    EXPECT_EQ(play->seat, 3);
    EXPECT_EQ(play->ActingSeat, 4);
    EXPECT_EQ(play->TurnPhase, 2);
    EXPECT_EQ(play->cards, CardList({5, 18}));

    QByteArray longer = PlayMsg(3, {5, 18}, 1, 2);
    longer.append('\0');
    EXPECT_FALSE(ReadPlay(longer));
    EXPECT_FALSE(ReadPlay(PlayMsg(3, {5, 18}, 1, 2).left(9)));
    EXPECT_FALSE(ReadPlay(PlayMsg(3, {}, 1, 2)));
    EXPECT_FALSE(ReadPlay(PlayMsg(6, {5}, 1, 2)));
    // A count larger than the bytes that follow.
    QByteArray overlong = PlayMsg(3, {5}, 1, 2);
    overlong[7] = static_cast<char>(200);
    EXPECT_FALSE(ReadPlay(overlong));

    play = ReadPlay(PlayMsg(2, {PassMarker}, 1, 2));
    ASSERT_TRUE(play);
    EXPECT_TRUE(play->cards.isPass());

    // A pass marker among cards is no card: it is dropped with the others.
    play = ReadPlay(PlayMsg(2, {7, PassMarker, 99}, 1, 2));
    ASSERT_TRUE(play);
    EXPECT_EQ(play->cards, CardList({7}));
}

TEST(GameMessageReaders, HandOverReadsAsFarAsTheSeatListsGo)
{
    // Results and six empty seats: 32 bytes.
    QByteArray m = Bytes({22, 1});
    for (int s = 0; s < 6; ++s)
        AppendInt32BE(m, (s - 2) * 100);
    for (int s = 0; s < 6; ++s)
        m.append('\0');
    ASSERT_EQ(m.size(), 32);
    HandOverMessage over = ReadHandOver(m);
    EXPECT_TRUE(over.detailed);
    EXPECT_EQ(over.results[0], -200);
    EXPECT_EQ(over.results[5], 300);
    for (const auto& r : over.revealed) {
        ASSERT_TRUE(r);
        EXPECT_TRUE(r->isEmpty());
    }

    // Kind 0: the lists start at byte 2. Seat 1 claims three cards but the
    // message ends after two: seat 0 is read, the rest is not.
    over = ReadHandOver(Bytes({22, 0, 2, 10, 11, 3, 12, 13}));
    ASSERT_TRUE(over.revealed[0]);
    EXPECT_EQ(*over.revealed[0], CardList({10, 11}));
    EXPECT_FALSE(over.revealed[1]);
    EXPECT_FALSE(over.revealed[5]);

    // Kind 1 cut inside the results keeps what is whole.
    over = ReadHandOver(Bytes({22, 1, 0, 0, 0, 7, 0, 0}));
    EXPECT_EQ(over.results[0], 7);
    EXPECT_EQ(over.results[1], 0);
    EXPECT_FALSE(over.revealed[0]);

    over = ReadHandOver(Bytes({22, 2, 3, 4}));
    EXPECT_EQ(over.ScoreCounters[0], 3);
    EXPECT_EQ(over.ScoreCounters[1], 4);
    EXPECT_FALSE(over.revealed[0]);

    EXPECT_FALSE(ReadHandOver(Bytes({22, 1})).detailed);
}

TEST(GameMessageReaders, SmallMessagesRejectWrongLengthsAndSeats)
{
    EXPECT_EQ(ReadSeatReady(Bytes({18, 5})), std::optional<std::uint8_t>(5));
    EXPECT_FALSE(ReadSeatReady(Bytes({18, 6})));
    EXPECT_FALSE(ReadSeatReady(Bytes({18, 1, 0})));
    EXPECT_EQ(ReadSpectatorView(Bytes({113, 0, 2})), std::optional<std::uint8_t>(2));
    EXPECT_FALSE(ReadSpectatorView(Bytes({113, 0})));
    EXPECT_FALSE(ReadCannotContinue(Bytes({5, 0})));
    EXPECT_FALSE(ReadCannotContinue(Bytes({5, 0, 9, 'x'})));
    auto gone = ReadCannotContinue(Bytes({5, 0, 1, 'o', 'k'}));
    ASSERT_TRUE(gone);
    EXPECT_EQ(gone->seat, 1);
    EXPECT_EQ(gone->reason, QStringLiteral("ok"));

    auto tribute = ReadTribute(Bytes({23, 0, 2, 60, 3, 1, 0, 2, 9, 9}));
    ASSERT_TRUE(tribute);
    EXPECT_EQ(tribute->card, NoCardImage);
    EXPECT_EQ(tribute->pairs[0][1], 2);
    EXPECT_FALSE(ReadTribute(Bytes({23, 0, 2, 5, 3, 1, 0, 2, 9})));
    EXPECT_FALSE(ReadTribute(Bytes({23, 0, 7, 5, 3, 1, 0, 2, 9, 9})));

    EXPECT_FALSE(ReadItemUse(Bytes({133, 3, 1, 2, 0, 0, 0})));
    auto item = ReadItemUse(Bytes({133, 3, 1, 2, 0, 0, 1, 0}));
    ASSERT_TRUE(item);
    EXPECT_EQ(item->itemId, 256);

    QByteArray chat;
    BuildPacket(QStringLiteral("a`b`c`d`e`f`g`h`i`j"), chat, 1, Bytes({1}));
    auto fields = ReadChatLine(chat);
    ASSERT_TRUE(fields);
    EXPECT_EQ(*fields, QStringList({"c", "d", "e", "f", "g", "h", "i", "j"}));
    BuildPacket(QStringLiteral("a`b`c"), chat, 1, Bytes({1}));
    EXPECT_FALSE(ReadChatLine(chat));
}

TEST(GameMessageReaders, HandsRefreshIsAllOrNothing)
{
    auto r = ReadHandsRefresh(Bytes({2, 0, 2, 8, 9, 0}));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->hand, CardList({8, 9}));
    EXPECT_FALSE(r->hasPartners);

    r = ReadHandsRefresh(Bytes({2, 0, 1, 8, 1, 20, 2, 30, 31}));
    ASSERT_TRUE(r);
    EXPECT_TRUE(r->hasPartners);
    EXPECT_EQ(r->partnerNext, CardList({20}));
    EXPECT_EQ(r->partnerFar, CardList({30, 31}));

    EXPECT_FALSE(ReadHandsRefresh(Bytes({2, 0, 1, 8, 1, 20, 3, 30, 31})));
    EXPECT_FALSE(ReadHandsRefresh(Bytes({2, 0, 5, 8})));
    EXPECT_FALSE(ReadHandsRefresh(Bytes({2, 0, 1, 8})));
}

TEST(GameMessageBuilders, SentMessagesAreByteExact)
{
    EXPECT_EQ(BuildPlayPacket(4, CardList({33, 7, 0})), Bytes({20, 0, 0, 0, 0, 0, 4, 3, 33, 7, 0}));
    EXPECT_TRUE(BuildPlayPacket(4, CardList()).isEmpty());
    EXPECT_EQ(BuildPassPacket(1), Bytes({20, 0, 0, 0, 0, 0, 1, 1, 254}));
    EXPECT_EQ(BuildTributePacket(true, 5, 12), Bytes({23, 1, 5, 12, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(BuildTributePacket(false, 0, 53), Bytes({23, 0, 0, 53, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(BuildNoCardsPacket(3), Bytes({2, 0, 3}));
    EXPECT_EQ(BuildHandStartAckPacket(2), Bytes({19, 2}));
    EXPECT_EQ(BuildReadyPacket(2), Bytes({18, 2}));
    EXPECT_EQ(BuildMatchStartedPacket(), Bytes({130, 1}));

    const QStringList fields{"0", "1", "张三", "3", "4", "5", "6", "7", "你好", "9"};
    const QByteArray chat = BuildChatLinePacket(fields);
    ASSERT_FALSE(chat.isEmpty());
    EXPECT_EQ(chat.at(0), 1);
    EXPECT_EQ(BytesToText(chat, 1), fields.join(QLatin1Char('`')));
}
