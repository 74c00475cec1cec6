// The local player's hand on the table picture: raising cards, the buttons
// drawn on the table with their hover states, and the play and pass actions.

#include "game/Client.h"
#include "game/GameMessageBuilders.h"
#include "game/TableFlow.h"
#include "game/TableFlowSupport.h"
#include "rules/CardOrder.h"
#include "rules/PlayRules.h"
#include "table/TableGeometry.h"
#include "table/TablePainter.h"

#include <QTimer>
#include <QVariant>

#include <array>

namespace kelpo {

namespace {

bool IsPlayPhase(std::uint8_t phase) { return phase == PhaseLead || phase == PhaseFollow; }
bool IsTributePhase(std::uint8_t phase) { return phase == PhaseTribute || phase == PhaseReturnTribute; }

void SetTableTooltip(Client& client, const QString& text)
{
    if (client.room.picGameBack)
        client.room.picGameBack->setToolTip(text);
}

// Moves the highlight of a button group to button k (of the first `count`),
// or takes it away when k < 0. Returns true when button k became
// highlighted now.
template <std::size_t N, typename Paint>
bool MoveHighlight(std::array<std::uint8_t, N>& states, int count, int k, Paint paint)
{
    if (k < 0 || k >= count) {
        for (int i = 0; i < count; ++i) {
            if (states[static_cast<std::size_t>(i)] == 2) {
                states[static_cast<std::size_t>(i)] = 1;
                paint(i);
            }
        }
        return false;
    }
    if (states[static_cast<std::size_t>(k)] != 1)
        return false;
    for (int i = 0; i < count; ++i) {
        if (i != k && states[static_cast<std::size_t>(i)] == 2) {
            states[static_cast<std::size_t>(i)] = 1;
            paint(i);
        }
    }
    states[static_cast<std::size_t>(k)] = 2;
    paint(k);
    return true;
}

// The local player may act with the play buttons now.
bool MayPlay(const Client& client)
{
    const ClientState& s = client.state;
    return IsPlayer(client) && s.globals.MySeat == s.table.ActingSeat && IsPlayPhase(s.table.TurnPhase)
        && s.view.PlayButtonState[0] != 0;
}

void ShowPreviousRound(Client& client)
{
    if (QTimer* timer = client.room.tmrPaintLastOutPai) {
        timer->setProperty("tag", QStringLiteral("2"));
        if (TablePainter* view = TableView(client))
            view->PaintPlays(true);
        timer->start();
    }
}

void ResortHand(Client& client)
{
    ClientState& s = client.state;
    CardState& c = s.cards;
    if (c.HandCards.isEmpty())
        return;
    // The raised cards move with the new order: the next click on the play
    // button plays the cards the player chose, not those now in their places.
    // So does the keyboard's focus, or Space would act on another card.
    const CardList raised = RaisedCards(c);
    const int focus = s.handFocus();
    const CardCode focused = c.HandCards.at(focus);
    const auto focusedRaised = c.SelectedFlags.at(focus);
    c.RankSortMode = !c.RankSortMode;
    SortInChosenOrder(c, c.HandCards);
    RaiseCards(c, raised);
    for (int i = 1; focus != 0 && i <= c.HandCards.count(); ++i) {
        if (c.HandCards.at(i) == focused && c.SelectedFlags.at(i) == focusedRaised) {
            s.view.HandFocus = i;
            break;
        }
    }
    TablePainter* view = TableView(client);
    if (view)
        view->DrawHand();
    if (s.table.ThreeHandDeal != 0) {
        SortInChosenOrder(c, c.PartnerHandFar);
        SortInChosenOrder(c, c.PartnerHandNext);
        if (view) {
            view->DrawPartnerHand(ViewLeftPartner);
            view->DrawPartnerHand(ViewRightPartner);
        }
    }
}

} // namespace

void CollectSelectedCards(Client& client)
{
    CardState& c = client.state.cards;
    c.SelectedCards = RaisedCards(c);
}

void ApplyOwnPlayLocally(Client& client)
{
    ClientState& s = client.state;
    CardState& c = s.cards;
    c.SavedHand = c.HandCards;
    LowerAllCards(c);
    if (SeatRecord* me = s.seat(s.globals.MySeat)) {
        me->currentPlay = c.SelectedCards;
        SortCardsByRank(me->currentPlay);
    }
    RemoveCards(c.HandCards, c.SelectedCards);
    if (TablePainter* view = TableView(client)) {
        view->DrawHand();
        view->PaintSeatPlay(s.globals.MySeat);
    }
}

void PlayAction(Client& client, int kind)
{
    ClientState& s = client.state;
    if (!IsPlayer(client) || s.globals.MySeat != s.table.ActingSeat)
        return;
    CardState& c = s.cards;
    const std::uint8_t phase = s.table.TurnPhase;

    if (phase == PhaseFollow && kind == 1) {
        client.SendPacket(BuildPassPacket(s.globals.MySeat));
        if (TablePainter* view = TableView(client)) {
            view->StopTurnClock();
            view->ShowPlayButtons(false);
        }
        return;
    }
    if (phase != PhaseLead && phase != PhaseFollow)
        return;

    CollectSelectedCards(client);
    if (c.SelectedCards.isEmpty())
        return;
    QString message;
    PlayType type = PlayType::Invalid;
    CardCode maxCard = 0;
    const bool ok = phase == PhaseLead ? CheckLeadPlay(c.SelectedCards, message, type, maxCard)
                                       : CheckFollowPlay(c.SelectedCards, c.RoundBest, message, type, maxCard);
    if (!ok) {
        c.SelectedCards.clear();
        // The play is refused either way; the player may have asked not to
        // be told why.
        if (s.prefs.WarnBadPlay != 0)
            ShowSystemBox(client, QMessageBox::Warning, s.globals.GameName, message);
        return;
    }

    if (TablePainter* view = TableView(client)) {
        view->StopTurnClock();
        view->ShowPlayButtons(false);
    }
    const int last = c.HandCards.count();
    const bool zeroPlayed = last > 0 && c.HandCards.at(last) == 0 && c.SelectedFlags.at(last) != 0;
    ApplyOwnPlayLocally(client);
    client.SendPacket(BuildPlayPacket(s.globals.MySeat, c.SelectedCards));
    if (s.globals.MySeat == c.FirstLeader && !c.FirstLeadDone && zeroPlayed)
        c.FirstLeadDone = true;
}

void picGameBack_MouseMove(Client& client, int x, int y)
{
    ClientState& s = client.state;
    ViewState& v = s.view;
    TablePainter* view = TableView(client);
    const TableLayout& layout = v.Layout;

    if (v.OptionButtonState[0] != 0) {
        const int k = HitOptionButton(layout, v, x, y);
        auto paint = [view](int i) {
            if (view)
                view->PaintOptionButton(i);
        };
        if (k < 0 || v.OptionButtonState[static_cast<std::size_t>(k)] == 0) {
            if (k < 0)
                MoveHighlight(v.OptionButtonState, 2, -1, paint);
            SetTableTooltip(client, QString());
        } else if (MoveHighlight(v.OptionButtonState, 2, k, paint)) {
            SetTableTooltip(client, v.OptionButtonTooltip[static_cast<std::size_t>(k)]);
        }
    }

    const std::uint8_t phase = s.table.TurnPhase;
    if (v.PlayButtonState[0] != 0 && IsPlayPhase(phase)) {
        const int k = HitPlayButton(layout, v, phase, x, y);
        MoveHighlight(v.PlayButtonState, PlayButtonCount(phase), k, [view](int i) {
            if (view)
                view->PaintPlayButton(i);
        });
    }

    if (v.TributeButtonState[0] != 0 && IsTributePhase(phase)) {
        const int k = HitTributeButton(layout, v, x, y);
        MoveHighlight(v.TributeButtonState, 1, k, [view](int i) {
            if (view)
                view->PaintTributeButton(i);
        });
    }
}

void picGameBack_MouseUp(Client& client, int button, int x, int y)
{
    ClientState& s = client.state;
    ViewState& v = s.view;
    const TableLayout& layout = v.Layout;
    const std::uint8_t phase = s.table.TurnPhase;
    const bool player = IsPlayer(client);

    if (v.OptionButtonState[0] != 0) {
        const int k = HitOptionButton(layout, v, x, y);
        if (k >= 0 && k < 2 && v.OptionButtonState[static_cast<std::size_t>(k)] == 2) {
            if (k == 0)
                ShowPreviousRound(client);
            else
                ResortHand(client);
            return;
        }
    }

    if (v.PlayButtonState[0] != 0 && player && s.globals.MySeat == s.table.ActingSeat && IsPlayPhase(phase)) {
        const int k = HitPlayButton(layout, v, phase, x, y);
        if ((k == 0 || k == 1) && v.PlayButtonState[static_cast<std::size_t>(k)] == 2) {
            if (!v.BombPlaying)
                PlayAction(client, k);
            return;
        }
    }

    // Once a hand is over its cards are off the table (the repaint leaves
    // them out and the result panel stands over their place): a click must
    // neither raise one of them nor draw the hand again.
    const bool handShown = !s.table.NoHandInPlay;
    const int i = handShown ? HitTestHand(layout, s.cards.HandCards, s.cards.SelectedFlags, x, y) : -1;
    if (i > 0) {
        if (button == 1 && player) {
            CardList& flags = s.cards.SelectedFlags;
            if (flags.count() < s.cards.HandCards.count())
                flags.resize(s.cards.HandCards.count());
            flags.set(i, flags.at(i) == 0 ? 1 : 0);
            if (TablePainter* view = TableView(client))
                view->RedrawHandCard(i);
            return;
        }
        if (button == 2 && MayPlay(client)) {
            if (!v.BombPlaying)
                PlayAction(client, 0);
            return;
        }
    }

    if (button == 2 && MayPlay(client)) {
        if (!v.BombPlaying)
            PlayAction(client, 0);
        return;
    }

    if (v.TributeButtonState[0] != 0 && player && s.globals.MySeat == s.table.ActingSeat && IsTributePhase(phase)) {
        if (HitTributeButton(layout, v, x, y) == 0 && v.TributeButtonState[0] == 2) {
            if (v.BombPlaying)
                return;
            TributeAction(client);
        }
    }

    if (button == 1 && handShown) {
        LowerAllCards(s.cards);
        if (TablePainter* view = TableView(client))
            view->DrawHand();
    }
}

void tmrPaintLastOutPai_Timer(Client& client)
{
    QTimer* timer = client.room.tmrPaintLastOutPai;
    if (!timer)
        return;
    const int tag = timer->property("tag").toString().toInt() - 1;
    timer->setProperty("tag", QString::number(tag));
    if (tag >= 1)
        return;
    timer->stop();
    if (TablePainter* view = TableView(client)) {
        view->PaintPlays(false);
        view->PaintPlayButton(0);
        view->PaintPlayButton(1);
    }
}

} // namespace kelpo
