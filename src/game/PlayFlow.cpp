// Plays and passes as the server reports them, and its refusal of ours.

#include "game/Client.h"
#include "game/GameMessageReaders.h"
#include "game/TableFlow.h"
#include "game/Sounds.h"
#include "game/TableFlowSupport.h"
#include "game/TurnFlow.h"
#include "game/Waits.h"
#include "rules/CardOrder.h"
#include "rules/PlayRules.h"
#include "rules/TributeRules.h"
#include "table/TablePainter.h"

namespace kelpo {

namespace {

// The cards leave whichever hand this client holds for the playing seat.
void TakePlayFromLocalHands(ClientState& s, int seat, const CardList& cards)
{
    const int me = s.globals.MySeat;
    CardState& c = s.cards;
    if (seat == me) {
        // The server's version of our play wins over the guess made when
        // it was sent.
        if (!c.SavedHand.isEmpty()) {
            c.HandCards = c.SavedHand;
            c.SavedHand.clear();
        }
        RemoveCards(c.HandCards, cards);
        LowerAllCards(c);
        MoveCardZeroLast(c.HandCards);
    } else if (seat == PartnerNextSeat(me)) {
        RemoveCards(c.PartnerHandNext, cards);
    } else if (seat == PartnerFarSeat(me)) {
        RemoveCards(c.PartnerHandFar, cards);
    }
}

} // namespace

void HandlePlay(Client& client, const QByteArray& m)
{
    const auto msg = ReadPlay(m);
    if (!msg)
        return;
    ClientState& s = client.state;
    TablePainter* view = TableView(client);
    if (view) {
        view->StopTurnClock();
        if (s.view.PlayButtonState[0] != 0)
            view->ShowPlayButtons(false);
    }

    const int seat = msg->seat;
    SeatRecord& rec = *s.seat(seat);
    // The round-end pause takes further messages; a play among them applies
    // the turn after it, which must not be started again here.
    const std::uint32_t turns = s.table.TurnsApplied;
    s.table.ActingSeat = msg->ActingSeat;
    s.table.TurnPhase = msg->TurnPhase;
    rec.finishRank = msg->finishRank;
    // The flag comes again with each later move of the seat; the sound is for
    // the move that raised it, and would cut off that move's own sound.
    const bool newlyWarned = rec.warnFlag == 0 && msg->warnFlag != 0;
    rec.warnFlag = msg->warnFlag;
    rec.currentPlay = msg->cards;

    if (rec.currentPlay.isPass()) {
        PlaySoundCue(client, 3);
    } else {
        SortCardsByRank(rec.currentPlay);
        CardCode maxCard = 0;
        const PlayType type = ClassifyPlay(rec.currentPlay, maxCard);
        const int n = rec.currentPlay.count();
        if (type == PlayType::Invalid) {
            // A play that is no play cannot become the one to beat: every
            // later follow would be refused against it.
            rec.currentPlay.clear();
        } else {
            PlaySoundCue(client, 2);
            s.cards.RoundBest = {static_cast<std::uint8_t>(seat), static_cast<std::uint8_t>(type), maxCard,
                                 static_cast<std::uint8_t>(n)};
        }
        rec.cardsLeft = static_cast<std::uint8_t>(rec.cardsLeft > n ? rec.cardsLeft - n : 0);
        TakePlayFromLocalHands(s, seat, msg->cards);
        if (view) {
            view->RedrawSeatHand(seat);
            view->PaintRemainingCount(seat);
        }
    }

    if (s.table.TurnPhase == PhaseLead) {
        // The round is over: the last play stays in view for a moment
        // before every play becomes the previous round. The plays move
        // before the pause, so a lead handled during it stays the new
        // round's first play.
        if (view)
            view->PaintSeatPlay(seat);
        for (SeatRecord& r : s.seats) {
            r.lastRoundPlay = r.currentPlay;
            r.currentPlay.clear();
        }
        const std::uint64_t hands = HandsSeen(client);
        if (!WaitMilliseconds(client, 100) || HandsSeen(client) != hands)
            return;
        if ((view = TableView(client)))
            view->PaintPlays(false);
    } else {
        if (view)
            view->PaintSeatPlay(seat);
        if (SeatRecord* next = s.seat(s.table.ActingSeat)) {
            if (view)
                view->ClearSeatPlay(s.table.ActingSeat);
            next->lastRoundPlay = next->currentPlay;
            next->currentPlay.clear();
        }
    }

    if (view && rec.finishRank != 0)
        view->PaintRankMark(seat);
    if (rec.warnFlag != 0) {
        if (newlyWarned)
            PlaySoundCue(client, 10);
        if (view)
            view->PaintWarnFlag(seat);
    }
    if (s.table.TurnsApplied == turns)
        ApplyTurn(client);
}

void HandlePlayRefused(Client& client, const QByteArray& m)
{
    ClientState& s = client.state;
    if (TablePainter* view = TableView(client))
        view->StopTurnClock();
    const std::uint32_t turns = s.table.TurnsApplied;
    ShowOkBox(client, ReadPlayRefused(m), s.globals.GameName);
    if (s.globals.QuitRequested)
        return;
    const std::uint8_t phase = s.table.TurnPhase;
    if ((phase == PhaseLead || phase == PhaseFollow) && !s.cards.SavedHand.isEmpty()) {
        s.cards.HandCards = s.cards.SavedHand;
        s.cards.SavedHand.clear();
        if (SeatRecord* me = s.seat(s.globals.MySeat))
            me->currentPlay.clear();
        if (TablePainter* view = TableView(client)) {
            view->ClearSeatPlay(s.globals.MySeat);
            view->DrawHand();
        }
    }
    // The box took further messages: one of them may have moved the turn on.
    if (s.table.TurnsApplied == turns)
        ApplyTurn(client);
}

} // namespace kelpo
