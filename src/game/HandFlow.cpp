// A hand from its start to its end: the hand start, the deal, the refresh
// of the hands and the hand over.

#include "game/Client.h"
#include "game/GameMessageBuilders.h"
#include "game/GameMessageReaders.h"
#include "game/TableFlow.h"
#include "game/Sounds.h"
#include "game/TableFlowSupport.h"
#include "game/TurnFlow.h"
#include "game/Waits.h"
#include "rules/CardOrder.h"
#include "rules/TributeRules.h"
#include "state/CardStateOps.h"
#include "table/TableGeometry.h"
#include "table/TablePainter.h"

#include <QTimer>

#include <algorithm>

namespace kelpo {

namespace {

std::uint8_t CountByte(const CardList& list) { return static_cast<std::uint8_t>(std::min(list.count(), 255)); }

// The deal can switch the three-hand layout on or off, which moves the
// card anchors.
void ComputeCardGeometry(Client& client, TablePainter& view)
{
    ClientState& s = client.state;
    ComputeCardLayout(s.view.Layout, view.picGameBack.width(), view.picGameBack.height(),
                      s.table.ThreeHandDeal != 0);
}

} // namespace

void HandleHandStart(Client& client, const QByteArray& m)
{
    ClientState& s = client.state;
    const HandStartMessage msg = ReadHandStart(m);

    s.cards.SavedHand.clear();
    if (s.table.StartOffered) {
        s.table.StartOffered = false;
        UpdateStartButton(client);
    }
    if (s.table.MatchStarted == 0) {
        s.table.MatchStarted = 1;
        client.SendPacket(BuildMatchStartedPacket());
    }
    if (TablePainter* view = TableView(client))
        view->StopTurnClock();
    ResetForNewHand(s, true);
    s.table.MatchStarted = 1;
    s.table.NoHandInPlay = false;
    ++s.table.HandStarts;

    if (msg.hasParameters) {
        s.table.AutoPlayLimit = msg.AutoPlayLimit;
        if (msg.DeckCount)
            s.table.DeckCount = *msg.DeckCount;
        s.table.TableParam = msg.TableParam;
        s.table.TurnSeconds = msg.TurnSeconds;
        s.table.TributeSeconds = msg.TributeSeconds;
        if (msg.ActingSeat) {
            s.table.ActingSeat = *msg.ActingSeat;
            s.table.TurnPhase = msg.TurnPhase;
            s.cards.FirstLeader = *msg.ActingSeat;
        }
        s.table.ShowCardCounts = msg.ShowCardCounts;
    }
    // A start without its parameters has still emptied the hands, plays and
    // counts: the old ones must not stay on the table.
    if (TablePainter* view = TableView(client)) {
        view->ComputeSeatLayout();
        view->RepaintTable();
    }
    if (msg.hasParameters && IsPlayer(client))
        client.SendPacket(BuildHandStartAckPacket(s.globals.MySeat));
}

void HandleDeal(Client& client, const QByteArray& m)
{
    ClientState& s = client.state;
    const auto deal = ReadDeal(m, s.table.DeckCount);
    if (!deal)
        return;
    const bool layoutChanged = (s.table.ThreeHandDeal != 0) != (deal->ThreeHandDeal != 0);
    s.table.ThreeHandDeal = deal->ThreeHandDeal;
    if (!deal->fits)
        return;

    CardState& c = s.cards;
    c.HandCards = deal->hand;
    SortCardsByRank(c.HandCards);
    MoveCardZeroLast(c.HandCards);
    LowerAllCards(c);
    if (s.table.ThreeHandDeal != 0) {
        c.PartnerHandNext = deal->partnerNext;
        c.PartnerHandFar = deal->partnerFar;
        SortCardsByRank(c.PartnerHandNext);
        SortCardsByRank(c.PartnerHandFar);
    } else {
        c.PartnerHandNext.clear();
        c.PartnerHandFar.clear();
    }
    const auto perSeat = static_cast<std::uint8_t>(CardsPerSeat(s.table.DeckCount));
    for (SeatRecord& r : s.seats)
        r.cardsLeft = perSeat;
    if (TablePainter* view = TableView(client)) {
        // The hand start placed the seats for the previous deal's layout; a
        // deal that switches it moves the seats as well as the cards.
        view->ComputeSeatLayout();
        // A new layout moves every anchor; otherwise only the seats change.
        if (layoutChanged) {
            view->RepaintTable();
        } else {
            for (int seat = 0; seat < SeatCount; ++seat) {
                view->RedrawSeatHand(seat);
                view->PaintRemainingCount(seat);
            }
        }
    }
    ApplyTurn(client);
    PlaySoundCue(client, 0);
}

void HandleHandsRefresh(Client& client, const QByteArray& m)
{
    const auto msg = ReadHandsRefresh(m);
    if (!msg)
        return;
    ClientState& s = client.state;
    CardState& c = s.cards;
    const int me = s.globals.MySeat;
    c.HandCards = msg->hand;
    if (msg->hasPartners) {
        c.PartnerHandNext = msg->partnerNext;
        c.PartnerHandFar = msg->partnerFar;
    }
    // The old selection flags belonged to the old positions.
    ArrangeHeldHands(c);
    // Only the hands the message carries tell their seats' counts: without
    // the partners' hands, say after a one-hand deal, the partners hold what
    // they held, not the nothing this client keeps for them.
    std::array<int, 3> counted{me, -1, -1};
    if (msg->hasPartners)
        counted = {me, PartnerNextSeat(me), PartnerFarSeat(me)};
    const CardList* lists[] = {&c.HandCards, &c.PartnerHandNext, &c.PartnerHandFar};
    for (std::size_t k = 0; k < counted.size(); ++k) {
        if (SeatRecord* r = s.seat(counted[k]))
            r->cardsLeft = CountByte(*lists[k]);
    }
    if (TablePainter* view = TableView(client)) {
        view->DrawHand();
        if (s.table.ThreeHandDeal != 0) {
            view->DrawPartnerHand(ViewLeftPartner);
            view->DrawPartnerHand(ViewRightPartner);
        }
        for (const int seat : counted) {
            if (s.seat(seat))
                view->PaintRemainingCount(seat);
        }
    }
    ApplyTurn(client);
}

void HandleHandOver(Client& client, const QByteArray& m)
{
    ClientState& s = client.state;
    const HandOverMessage over = ReadHandOver(m);
    // The box and the spectator's pause take further messages: a next hand
    // that starts during them must not be cleared or offered the start.
    const std::uint32_t hand = s.table.HandStarts;
    const auto nextHandBegan = [&s, hand] { return s.table.HandStarts != hand; };
    ++s.table.HandOvers;
    if (TablePainter* view = TableView(client))
        view->StopTurnClock();
    // No turn is left to apply: a handler that paused or showed a box while
    // the hand ended must not start a clock, or offer buttons, when it resumes.
    s.table.TurnPhase = PhaseNone;
    // Nor is there a play or a tribute card to give: their buttons would stay
    // on the table, dead, until the next hand.
    if (TablePainter* view = TableView(client)) {
        if (s.view.PlayButtonState[0] != 0)
            view->ShowPlayButtons(false);
        if (s.view.TributeButtonState[0] != 0)
            view->ShowTributeButton(false);
    }
    s.view.PlayButtonState.fill(0);
    s.view.TributeButtonState.fill(0);

    if (over.detailed) {
        if (over.kind == 1) {
            if (client.room.QelChat) {
                for (int seat = 0; seat < SeatCount; ++seat)
                    client.room.QelChat->AppendNotice(s.seats[static_cast<std::size_t>(seat)].name
                                                      + QStringLiteral("：")
                                                      + QString::number(over.results[static_cast<std::size_t>(seat)]));
            }
        }
        if (over.kind <= 1) {
            for (int seat = 0; seat < SeatCount; ++seat) {
                const auto& cards = over.revealed[static_cast<std::size_t>(seat)];
                if (cards && seat != s.globals.MySeat)
                    s.seats[static_cast<std::size_t>(seat)].revealedCards = *cards;
            }
        }
        if (over.kind != 2) {
            s.table.NoHandInPlay = true;
            s.table.ScoreCounters = {0, 0};
            // The previous round and the re-sort act on a hand in play; over
            // the result panel they would only wipe it or draw the old hand.
            s.view.OptionButtonState.fill(0);
            if (client.room.tmrPaintLastOutPai)
                client.room.tmrPaintLastOutPai->stop();
        } else {
            s.table.ScoreCounters = over.ScoreCounters;
            s.table.NoHandInPlay = false;
        }
        ClearTurn(client);
        // The full repaint draws the score panel with the new counters.
        if (TablePainter* view = TableView(client)) {
            ComputeCardGeometry(client, *view);
            view->RepaintTable();
        }
        PlaySoundCue(client, 7);
        if (over.kind == 2) {
            ShowOkBox(client, QStringLiteral("本局游戏结束！"), QStringLiteral("系统提示"));
        } else if (TablePainter* view = TableView(client)) {
            view->PaintGameEnd(over.results);
        }
        if (s.globals.QuitRequested || nextHandBegan())
            return;
        if (s.globals.IsSpectator && (!WaitMilliseconds(client, 5000) || nextHandBegan()))
            return;
    } else {
        ShowOkBox(client, QStringLiteral("本局游戏结束!"), s.globals.GameName);
        if (s.globals.QuitRequested || nextHandBegan())
            return;
    }

    // Raised hands are the players' answers to this hand over, come during
    // the pause: they stay shown.
    if (s.globals.IsSpectator)
        ResetForNewHand(s, false);
    ClearTurn(client);
    if (s.globals.IsSpectator) {
        if (TablePainter* view = TableView(client))
            view->RepaintTable();
    }
    s.table.StartOffered = !s.globals.IsSpectator;
    UpdateStartButton(client);
}

} // namespace kelpo
