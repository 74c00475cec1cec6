#include "state/CardStateOps.h"

#include <gtest/gtest.h>

#include <random>

namespace kelpo {
namespace {

// A snapshot of a hand in play, built field by field.
struct Snapshot {
    std::vector<std::uint8_t> head = std::vector<std::uint8_t>(37, 0);
    std::vector<std::vector<std::uint8_t>> plays = std::vector<std::vector<std::uint8_t>>(6);
    std::vector<std::uint8_t> hand;
    std::uint8_t threeHands = 0;
    std::vector<std::uint8_t> next, far;

    QByteArray bytes() const
    {
        QByteArray b;
        auto put = [&b](std::uint8_t v) { b.append(static_cast<char>(v)); };
        auto putList = [&](const std::vector<std::uint8_t>& l) {
            put(static_cast<std::uint8_t>(l.size()));
            for (auto c : l)
                put(c);
        };
        for (auto v : head)
            put(v);
        for (const auto& p : plays)
            putList(p);
        putList(hand);
        put(threeHands);
        if (threeHands) {
            putList(next);
            putList(far);
        }
        return b;
    }
};

Snapshot sampleSnapshot()
{
    Snapshot s;
    s.head[0] = 109;
    s.head[2] = 1;
    s.head[4] = 0;   // spectators may not look
    s.head[5] = 3;   // packs
    s.head[7] = 1;
    s.head[8] = 25;
    s.head[9] = 12;
    s.head[10] = 4;  // acting seat
    s.head[11] = 2;  // follow
    s.head[12] = 7;
    s.head[13] = 9;
    s.head[14] = 3;
    s.head[15] = 11;
    s.head[16] = 1;
    s.head[17] = 2;
    for (int i = 0; i < 6; ++i) {
        s.head[19 + i] = static_cast<std::uint8_t>(i % 2);
        s.head[25 + i] = static_cast<std::uint8_t>(i == 5 ? 2 : 0);
        s.head[31 + i] = static_cast<std::uint8_t>(20 + i);
    }
    s.plays[1] = {PassMarker};
    s.plays[3] = {11, 37};
    s.hand = {53, 12, 5, 0};
    s.threeHands = 1;
    s.next = {52, 40};
    s.far = {6};
    return s;
}

ClientState dirtyState()
{
    ClientState st;
    st.globals.ViewedUserName = QStringLiteral("someone");
    for (int s = 0; s < SeatCount; ++s) {
        SeatRecord& seat = st.seats[s];
        seat.name = QStringLiteral("p%1").arg(s);
        seat.iconNumber = s;
        seat.isOffline = true;
        seat.isHandUp = true;
        seat.cardsLeft = 9;
        seat.currentPlay = {1, 2};
        seat.lastRoundPlay = {3};
        seat.revealedCards = {4};
        seat.finishRank = 2;
        seat.warnFlag = 1;
    }
    st.table.CanSeeHand = 0;
    st.table.NoHandInPlay = false;
    st.table.DeckCount = 4;
    st.table.TurnSeconds = 9;
    st.table.TributeSeconds = 9;
    st.table.AutoPlayLimit = 1;
    st.table.AutoPlayCount = 3;
    st.table.ShowCardCounts = 1;
    st.table.ScoreCounters = {5, 6};
    st.table.ThreeHandDeal = 1;
    st.table.TurnPhase = 2;
    st.table.ActingSeat = 3;
    st.cards.HandCards = {1, 2, 3};
    st.cards.PartnerHandNext = {4};
    st.cards.PartnerHandFar = {5};
    st.cards.SelectedFlags = {1, 0, 1};
    st.cards.RankSortMode = false;
    st.cards.FirstLeader = 2;
    st.cards.FirstLeadDone = true;
    st.view.OptionButtonState = {1, 2};
    st.view.PlayButtonState = {1, 1};
    st.view.TributeButtonState = {1};
    st.view.OptionButtonTooltip = {QStringLiteral("x"), QStringLiteral("y")};
    st.view.BombPlaying = true;
    return st;
}

void expectHandCleared(const ClientState& st)
{
    for (const SeatRecord& seat : st.seats) {
        EXPECT_EQ(seat.cardsLeft, 0);
        EXPECT_TRUE(seat.currentPlay.isEmpty());
        EXPECT_TRUE(seat.lastRoundPlay.isEmpty());
        EXPECT_TRUE(seat.revealedCards.isEmpty());
        EXPECT_EQ(seat.finishRank, 0);
        EXPECT_EQ(seat.warnFlag, 0);
    }
    EXPECT_EQ(st.table.DeckCount, 2);
    EXPECT_EQ(st.table.TurnSeconds, 30);
    EXPECT_EQ(st.table.TributeSeconds, 15);
    EXPECT_EQ(st.table.AutoPlayLimit, 5);
    EXPECT_EQ(st.table.ShowCardCounts, 0);
    EXPECT_EQ(st.table.TurnPhase, 0);
    EXPECT_EQ(st.table.ActingSeat, 3);  // resets leave the acting seat alone
    EXPECT_TRUE(st.cards.HandCards.isEmpty());
    EXPECT_TRUE(st.cards.PartnerHandNext.isEmpty());
    EXPECT_TRUE(st.cards.PartnerHandFar.isEmpty());
    EXPECT_TRUE(st.cards.SelectedFlags.isEmpty());
    EXPECT_TRUE(st.cards.RankSortMode);
    EXPECT_EQ(st.cards.FirstLeader, 50);
    EXPECT_FALSE(st.cards.FirstLeadDone);
    EXPECT_EQ(st.view.OptionButtonState, (std::array<std::uint8_t, 2>{0, 0}));
    EXPECT_EQ(st.view.PlayButtonState, (std::array<std::uint8_t, 2>{0, 0}));
    EXPECT_EQ(st.view.TributeButtonState[0], 0);
    EXPECT_FALSE(st.view.BombPlaying);
}

TEST(CardStateOps, ResetCardStateClearsSeatsAndTable)
{
    ClientState st = dirtyState();
    ResetCardState(st);
    expectHandCleared(st);
    EXPECT_TRUE(st.globals.ViewedUserName.isEmpty());
    for (const SeatRecord& seat : st.seats) {
        EXPECT_TRUE(seat.name.isEmpty());
        EXPECT_EQ(seat.iconNumber, -1);
        EXPECT_FALSE(seat.isOffline);
        EXPECT_FALSE(seat.isHandUp);
    }
    EXPECT_EQ(st.table.CanSeeHand, 1);
    EXPECT_TRUE(st.table.NoHandInPlay);
    EXPECT_EQ(st.table.ScoreCounters, (std::array<std::uint8_t, 2>{0, 0}));
    EXPECT_EQ(st.table.ThreeHandDeal, 0);
    EXPECT_EQ(st.view.OptionButtonTooltip[0], QStringLiteral(" 上一轮 "));
    EXPECT_EQ(st.view.OptionButtonTooltip[1], QStringLiteral(" 重新排序 "));
}

TEST(CardStateOps, NewHandKeepsWhoSitsWhere)
{
    for (bool clearHandsUp : {false, true}) {
        ClientState st = dirtyState();
        ResetForNewHand(st, clearHandsUp);
        expectHandCleared(st);
        EXPECT_EQ(st.globals.ViewedUserName, QStringLiteral("someone"));
        for (int s = 0; s < SeatCount; ++s) {
            EXPECT_EQ(st.seats[s].name, QStringLiteral("p%1").arg(s));
            EXPECT_EQ(st.seats[s].iconNumber, s);
            EXPECT_TRUE(st.seats[s].isOffline);
            EXPECT_EQ(st.seats[s].isHandUp, !clearHandsUp);
        }
        EXPECT_EQ(st.table.AutoPlayCount, 0);
        EXPECT_EQ(st.table.CanSeeHand, 0);
        EXPECT_EQ(st.table.ThreeHandDeal, 1);
        EXPECT_FALSE(st.table.NoHandInPlay);
        EXPECT_EQ(st.table.ScoreCounters, (std::array<std::uint8_t, 2>{5, 6}));
        EXPECT_EQ(st.view.OptionButtonTooltip[0], QStringLiteral("上一轮"));
        EXPECT_EQ(st.view.OptionButtonTooltip[1], QStringLiteral("排序"));
    }
}

TEST(CardStateOps, IdleSnapshotRaisesHandsOnly)
{
    QByteArray body(11, '\0');
    body[0] = char(109);
    body[5] = 1;
    body[9] = 1;
    body[10] = 0;
    for (bool spectator : {false, true}) {
        ClientState st;
        st.globals.IsSpectator = spectator;
        st.table.NoHandInPlay = false;
        ResetForNewHand(st, true);
        RestoreCardSnapshot(st, body);
        EXPECT_EQ(st.table.TurnPhase, 100);
        EXPECT_TRUE(st.table.NoHandInPlay);
        EXPECT_EQ(st.table.CanSeeHand, spectator ? 0 : 1);
        EXPECT_TRUE(st.seats[1].isHandUp);
        EXPECT_TRUE(st.seats[5].isHandUp);
        EXPECT_FALSE(st.seats[0].isHandUp);
        EXPECT_TRUE(st.cards.HandCards.isEmpty());
        for (const SeatRecord& seat : st.seats)
            EXPECT_TRUE(seat.currentPlay.isEmpty());
    }
}

TEST(CardStateOps, SnapshotOfAHandInPlay)
{
    const Snapshot snap = sampleSnapshot();
    for (bool spectator : {false, true}) {
        ClientState st;
        st.globals.IsSpectator = spectator;
        ResetForNewHand(st, true);
        RestoreCardSnapshot(st, snap.bytes());

        EXPECT_FALSE(st.table.NoHandInPlay);
        EXPECT_EQ(st.table.CanSeeHand, spectator ? 0 : 1);
        EXPECT_EQ(st.table.DeckCount, 3);
        EXPECT_EQ(st.table.ShowCardCounts, 1);
        EXPECT_EQ(st.table.TurnSeconds, 25);
        EXPECT_EQ(st.table.TributeSeconds, 12);
        EXPECT_EQ(st.table.ActingSeat, 4);
        EXPECT_EQ(st.table.TurnPhase, 2);
        EXPECT_EQ(st.table.ScoreCounters, (std::array<std::uint8_t, 2>{7, 9}));
        EXPECT_EQ(st.cards.RoundBest, (RoundBest{3, 1, 11, 2}));
        for (int s = 0; s < SeatCount; ++s) {
            EXPECT_EQ(st.seats[s].warnFlag, s % 2);
            EXPECT_EQ(st.seats[s].finishRank, s == 5 ? 2 : 0);
            EXPECT_EQ(st.seats[s].cardsLeft, 20 + s);
        }
        EXPECT_TRUE(st.seats[1].currentPlay.isPass());
        EXPECT_EQ(st.seats[3].currentPlay, (CardList{11, 37}));
        EXPECT_TRUE(st.seats[0].currentPlay.isEmpty());
        EXPECT_EQ(st.cards.HandCards, (CardList{53, 12, 5, 0}));
        EXPECT_EQ(st.cards.SelectedFlags, (CardList{0, 0, 0, 0}));
        EXPECT_EQ(st.table.ThreeHandDeal, 1);
        EXPECT_EQ(st.cards.PartnerHandNext, (CardList{52, 40}));
        EXPECT_EQ(st.cards.PartnerHandFar, (CardList{6}));
    }
}

TEST(CardStateOps, SnapshotDropsBadCodesAndCutsLongLists)
{
    Snapshot snap = sampleSnapshot();
    snap.head[5] = 40;               // more packs than a rank group holds
    snap.plays[2] = {200};           // a lone byte that is neither card nor pass
    snap.plays[4] = {PassMarker, 3}; // the marker counts as a pass only alone
    snap.hand = std::vector<std::uint8_t>(80, 7);
    snap.hand[0] = 99;
    snap.next = {52, 254, 255, 1};

    ClientState st;
    ResetForNewHand(st, true);
    RestoreCardSnapshot(st, snap.bytes());
    EXPECT_EQ(st.table.DeckCount, 2);
    EXPECT_TRUE(st.seats[2].currentPlay.isEmpty());
    EXPECT_EQ(st.seats[4].currentPlay, (CardList{3}));
    EXPECT_EQ(st.cards.HandCards.count(), 54);
    EXPECT_EQ(st.cards.HandCards.at(1), 7);
    EXPECT_EQ(st.cards.SelectedFlags.count(), 54);
    // The lists after the cut one are still read from the right place.
    EXPECT_EQ(st.cards.PartnerHandNext, (CardList{52, 1}));
    EXPECT_EQ(st.cards.PartnerHandFar, (CardList{6}));
}

bool isPrefix(const CardList& part, const CardList& whole)
{
    return part.count() <= whole.count()
           && std::equal(part.codes().begin(), part.codes().end(), whole.codes().begin());
}

TEST(CardStateOps, TruncatedSnapshotAppliesWhatArrived)
{
    const QByteArray full = sampleSnapshot().bytes();
    ClientState whole;
    ResetForNewHand(whole, true);
    RestoreCardSnapshot(whole, full);

    for (qsizetype len = 0; len <= full.size(); ++len) {
        ClientState st;
        ResetForNewHand(st, true);
        RestoreCardSnapshot(st, QByteArrayView(full).first(len));
        SCOPED_TRACE(len);
        EXPECT_EQ(st.table.NoHandInPlay, len < 3);
        EXPECT_EQ(st.table.TurnPhase, len > 11 ? 2 : 0);
        EXPECT_EQ(st.seats[5].cardsLeft, len > 36 ? 25 : 0);
        for (int s = 0; s < SeatCount; ++s)
            EXPECT_TRUE(isPrefix(st.seats[s].currentPlay, whole.seats[s].currentPlay));
        EXPECT_TRUE(isPrefix(st.cards.HandCards, whole.cards.HandCards));
        EXPECT_EQ(st.cards.SelectedFlags.count(), st.cards.HandCards.count());
        EXPECT_TRUE(isPrefix(st.cards.PartnerHandNext, whole.cards.PartnerHandNext));
        EXPECT_TRUE(isPrefix(st.cards.PartnerHandFar, whole.cards.PartnerHandFar));
    }
}

void expectWithinModel(const CardList& list, bool isPlay)
{
    ASSERT_LE(list.count(), 54);
    if (isPlay && list.isPass())
        return;
    for (CardCode c : list.codes())
        ASSERT_TRUE(IsValidCard(c)) << int(c);
}

TEST(CardStateOps, RandomBodiesStayInsideTheModel)
{
    std::mt19937 rng(109);
    const QByteArray sample = sampleSnapshot().bytes();
    for (int round = 0; round < 5000; ++round) {
        QByteArray body;
        if (round % 3 == 0) {
            // A real snapshot with a few bytes flipped and a random cut.
            body = sample;
            for (int k = 0; k < 4; ++k)
                body[rng() % body.size()] = static_cast<char>(rng());
            body.truncate(static_cast<qsizetype>(rng() % (body.size() + 1)));
        } else {
            body.resize(static_cast<qsizetype>(rng() % 400));
            for (auto& b : body)
                b = static_cast<char>(rng() % 4 == 0 ? rng() % 8 : rng());
            if (body.size() > 2 && round % 2 == 0)
                body[2] = 1;
        }
        ClientState st;
        st.globals.IsSpectator = round % 5 == 0;
        ResetForNewHand(st, true);
        RestoreCardSnapshot(st, body);
        SCOPED_TRACE(round);
        for (const SeatRecord& seat : st.seats)
            expectWithinModel(seat.currentPlay, true);
        expectWithinModel(st.cards.HandCards, false);
        expectWithinModel(st.cards.PartnerHandNext, false);
        expectWithinModel(st.cards.PartnerHandFar, false);
        ASSERT_EQ(st.cards.SelectedFlags.count(), st.cards.HandCards.count());
        ASSERT_GE(st.table.DeckCount, 1);
        ASSERT_LE(st.table.DeckCount, 6);
    }
}

} // namespace
} // namespace kelpo
