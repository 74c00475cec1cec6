// The tribute and the return tribute: the local player's card, and the
// cards the server reports as given, exchanged once the phase turns to lead.

#include "game/Client.h"
#include "game/GameMessageBuilders.h"
#include "game/GameMessageReaders.h"
#include "game/TableFlow.h"
#include "game/TableFlowSupport.h"
#include "game/TurnFlow.h"
#include "game/Waits.h"
#include "rules/TributeRules.h"
#include "table/TableGeometry.h"
#include "table/TablePainter.h"

#include <algorithm>

namespace kelpo {

namespace {

LocalHands HandsOf(CardState& c) { return LocalHands{c.HandCards, c.PartnerHandNext, c.PartnerHandFar}; }

void RedrawChangedHands(TablePainter& view, unsigned changed)
{
    if (changed & OwnHandChanged)
        view.DrawHand();
    if (changed & PartnerFarChanged)
        view.DrawPartnerHand(ViewLeftPartner);
    if (changed & PartnerNextChanged)
        view.DrawPartnerHand(ViewRightPartner);
}

} // namespace

void TributeAction(Client& client)
{
    ClientState& s = client.state;
    if (!IsPlayer(client) || s.globals.MySeat != s.table.ActingSeat)
        return;
    const std::uint8_t phase = s.table.TurnPhase;
    if (phase != PhaseTribute && phase != PhaseReturnTribute)
        return;
    CollectSelectedCards(client);
    if (s.cards.SelectedCards.count() != 1)
        return;
    const CardCode card = s.cards.SelectedCards.at(1);
    QString message;
    const bool ok = phase == PhaseReturnTribute ? CheckReturnTributeCard(card, s.cards.HandCards, message)
                                                : CheckTributeCard(card, s.cards.HandCards, message);
    if (!ok) {
        ShowSystemBox(client, QMessageBox::Critical, QStringLiteral("系统提示"), message);
        return;
    }
    client.SendPacket(BuildTributePacket(phase == PhaseReturnTribute, s.globals.MySeat, card));
    if (TablePainter* view = TableView(client)) {
        view->StopTurnClock();
        view->ShowTributeButton(false);
    }
    LowerAllCards(s.cards);
}

void HandleTributeCard(Client& client, const QByteArray& m)
{
    const auto msg = ReadTribute(m);
    if (!msg)
        return;
    ClientState& s = client.state;
    if (TablePainter* view = TableView(client)) {
        view->StopTurnClock();
        if (s.view.TributeButtonState[0] != 0)
            view->ShowTributeButton(false);
    }

    const int giver = msg->seat;
    SeatRecord& rec = *s.seat(giver);
    rec.currentPlay.clear();
    if (IsValidCard(msg->card))
        rec.currentPlay.append(msg->card);
    s.table.ActingSeat = msg->ActingSeat;
    s.table.TurnPhase = msg->TurnPhase;
    const TributePairs pairs{msg->pairs[0][0], msg->pairs[0][1], msg->pairs[1][0], msg->pairs[1][1]};

    // The cards the player has raised meanwhile, say for the lead to come,
    // stay raised as the hand changes around them.
    const CardList raised = RaisedCards(s.cards);
    unsigned changed = NoHandChanged;
    if (IsValidCard(msg->card)) {
        changed = RemoveGivenCard(giver, msg->card, s.globals.MySeat, s.table.ThreeHandDeal != 0, HandsOf(s.cards));
        if (rec.cardsLeft > 0)
            --rec.cardsLeft;
    }
    if (changed & OwnHandChanged)
        RaiseCards(s.cards, raised);
    if (TablePainter* view = TableView(client)) {
        view->RedrawSeatHand(giver);
        view->PaintRemainingCount(giver);
        view->PaintSeatPlay(giver);
    }

    if (s.table.TurnPhase == PhaseLead) {
        // Everybody gets to see the given cards before they change hands.
        // The cards change hands before the pause: a play handled during it
        // must neither be taken for a given card nor be wiped afterwards.
        std::array<CardCode, SeatCount> given{};
        for (int seat = 0; seat < SeatCount; ++seat) {
            SeatRecord& r = s.seats[static_cast<std::size_t>(seat)];
            given[static_cast<std::size_t>(seat)] = r.currentPlay.at(1);
            r.currentPlay.clear();
        }
        changed = ExchangeTributeCards(pairs, given, s.globals.MySeat, s.table.ThreeHandDeal != 0, HandsOf(s.cards));
        if (changed & OwnHandChanged)
            RaiseCards(s.cards, raised);
        // The counts follow the cards: each seat of a pair gets back the one
        // it gave (a seat that took the table over mid-tribute was told the
        // count without it).
        const std::array<std::uint8_t, SeatCount> gained = ReceivedCardCounts(pairs, given);
        for (int seat = 0; seat < SeatCount; ++seat) {
            std::uint8_t& left = s.seats[static_cast<std::size_t>(seat)].cardsLeft;
            left = static_cast<std::uint8_t>(std::min(255, left + gained[static_cast<std::size_t>(seat)]));
        }
        const std::uint64_t hands = HandsSeen(client);
        const std::uint32_t turns = s.table.TurnsApplied;
        if (!WaitMilliseconds(client, 3000) || HandsSeen(client) != hands)
            return;
        if (TablePainter* view = TableView(client)) {
            RedrawChangedHands(*view, changed);
            view->PaintPlays(false);
            for (int seat = 0; seat < SeatCount; ++seat)
                if (gained[static_cast<std::size_t>(seat)] != 0)
                    view->PaintRemainingCount(seat);
        }
        // A play handled during the pause has applied the turn after it.
        if (s.table.TurnsApplied != turns)
            return;
    }
    ApplyTurn(client);
}

} // namespace kelpo
