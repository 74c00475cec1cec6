#include "state/CardStateOps.h"

#include "rules/CardOrder.h"

#include <optional>

namespace kelpo {

namespace {

// Six packs already fill a rank group; more cannot be held.
constexpr int MaxDeckCount = MaxRankGroupCards / 4;

void clearSeatCards(SeatRecord& seat)
{
    seat.cardsLeft = 0;
    seat.currentPlay.clear();
    seat.lastRoundPlay.clear();
    seat.revealedCards.clear();
    seat.finishRank = 0;
    seat.warnFlag = 0;
}

// What both resets do to the table and the view, apart from the tooltips.
void resetHandState(ClientState& state)
{
    TableState& table = state.table;
    table.DeckCount = 2;
    table.TurnSeconds = 30;
    table.TributeSeconds = 15;
    table.AutoPlayLimit = 5;
    table.ShowCardCounts = 0;
    table.TurnPhase = PhaseNone;

    CardState& cards = state.cards;
    cards.HandCards.clear();
    cards.PartnerHandNext.clear();
    cards.PartnerHandFar.clear();
    cards.SelectedFlags.clear();
    cards.RankSortMode = true;
    cards.FirstLeader = NoSeat;
    cards.FirstLeadDone = false;

    ViewState& view = state.view;
    view.OptionButtonState.fill(0);
    view.PlayButtonState.fill(0);
    view.TributeButtonState.fill(0);
    view.BombPlaying = false;
}

class SnapshotReader {
public:
    explicit SnapshotReader(QByteArrayView body) : body_(body) {}

    std::optional<std::uint8_t> at(qsizetype i) const
    {
        if (i < 0 || i >= body_.size())
            return std::nullopt;
        return static_cast<std::uint8_t>(body_[i]);
    }

    template <typename T>
    void read(qsizetype i, T& field) const
    {
        if (auto b = at(i))
            field = static_cast<T>(*b);
    }

    // A count byte and that many cards from pos on; pos moves past them.
    // False when the list ran past the end of the body: the cards present
    // are kept and nothing after them can be trusted.
    bool readList(qsizetype& pos, CardList& list, bool isPlay)
    {
        const auto count = at(pos);
        if (!count)
            return false;
        ++pos;
        list.clear();
        const qsizetype end = pos + *count;
        for (; pos < end; ++pos) {
            const auto code = at(pos);
            if (!code)
                return false;
            if (IsValidCard(*code) && list.count() < MaxListCards)
                list.append(*code);
        }
        if (isPlay && *count == 1 && at(end - 1) == PassMarker)
            list.append(PassMarker);
        return true;
    }

private:
    QByteArrayView body_;
};

} // namespace

void ResetCardState(ClientState& state)
{
    state.globals.ViewedUserName.clear();
    for (SeatRecord& seat : state.seats) {
        seat.name.clear();
        seat.iconNumber = -1;
        seat.isOffline = false;
        seat.isHandUp = false;
        clearSeatCards(seat);
    }
    state.table.CanSeeHand = 1;
    state.table.NoHandInPlay = true;
    state.table.ScoreCounters.fill(0);
    state.table.ThreeHandDeal = 0;
    resetHandState(state);
    state.view.OptionButtonTooltip = {QStringLiteral(" 上一轮 "), QStringLiteral(" 重新排序 ")};
}

void ResetForNewHand(ClientState& state, bool clearHandsUp)
{
    for (SeatRecord& seat : state.seats) {
        if (clearHandsUp)
            seat.isHandUp = false;
        clearSeatCards(seat);
    }
    state.table.AutoPlayCount = 0;
    resetHandState(state);
    state.view.OptionButtonTooltip = {QStringLiteral("上一轮"), QStringLiteral("排序")};
}

void RestoreCardSnapshot(ClientState& state, QByteArrayView body)
{
    SnapshotReader in(body);
    const auto inPlay = in.at(2);
    if (!inPlay)
        return;
    TableState& table = state.table;
    const bool spectator = state.globals.IsSpectator;

    if (*inPlay == 0) {
        for (int s = 0; s < SeatCount; ++s) {
            if (auto up = in.at(4 + s))
                state.seats[s].isHandUp = *up != 0;
        }
        if (!spectator)
            table.CanSeeHand = 1;
        else if (auto see = in.at(10))
            table.CanSeeHand = *see != 0 ? 1 : 0;
        table.NoHandInPlay = true;
        table.TurnPhase = PhaseBetweenHands;
        return;
    }

    // The hand is in play from here on, however much of the body arrived.
    table.NoHandInPlay = false;

    if (!spectator)
        table.CanSeeHand = 1;
    else
        in.read(4, table.CanSeeHand);
    if (auto decks = in.at(5); decks && *decks >= 1 && *decks <= MaxDeckCount)
        table.DeckCount = *decks;
    // The table's limit of automatic plays, for a player back within a hand;
    // 0 from a server that does not send it keeps the limit in force.
    if (auto limit = in.at(6); limit && *limit != 0)
        table.AutoPlayLimit = *limit;
    in.read(7, table.ShowCardCounts);
    in.read(8, table.TurnSeconds);
    in.read(9, table.TributeSeconds);
    in.read(10, table.ActingSeat);
    in.read(11, table.TurnPhase);
    in.read(12, table.ScoreCounters[0]);
    in.read(13, table.ScoreCounters[1]);
    RoundBest& best = state.cards.RoundBest;
    in.read(14, best.seat);
    in.read(15, best.maxCard);
    in.read(16, best.playType);
    in.read(17, best.cardCount);

    for (int s = 0; s < SeatCount; ++s) {
        SeatRecord& seat = state.seats[s];
        in.read(19 + s, seat.warnFlag);
        in.read(25 + s, seat.finishRank);
        in.read(31 + s, seat.cardsLeft);
    }

    qsizetype pos = 37;
    for (SeatRecord& seat : state.seats) {
        if (!in.readList(pos, seat.currentPlay, true))
            return;
    }
    CardState& cards = state.cards;
    const bool handComplete = in.readList(pos, cards.HandCards, false);
    cards.SelectedFlags.clear();
    cards.SelectedFlags.resize(cards.HandCards.count());
    if (!handComplete)
        return;
    const auto threeHands = in.at(pos++);
    if (!threeHands)
        return;
    table.ThreeHandDeal = *threeHands;
    if (*threeHands != 0 && in.readList(pos, cards.PartnerHandNext, false))
        in.readList(pos, cards.PartnerHandFar, false);
}

} // namespace kelpo
