// The hand and the play buttons from the keyboard: a focus mark moved along
// the hand, cards raised by position or by rank, and the same play, pass
// and tribute actions as the buttons on the table.

#include "game/Client.h"
#include "game/TableFlow.h"
#include "game/TableFlowSupport.h"
#include "rules/CardOrder.h"
#include "table/TableGeometry.h"
#include "table/TablePainter.h"
#include "table/TableWidget.h"

namespace kelpo {

namespace {

void RedrawCard(Client& client, int index)
{
    if (TablePainter* view = TableView(client))
        view->RedrawHandCard(index);
}

void MoveFocus(Client& client, int to)
{
    ViewState& v = client.state.view;
    const int n = client.state.cards.HandCards.count();
    if (n == 0)
        return;
    to = std::clamp(to, 1, n);
    const int from = client.state.handFocus();
    v.HandFocus = to;
    if (from == to)
        return;
    if (from >= 1)
        RedrawCard(client, from);
    RedrawCard(client, to);
    if (auto* table = qobject_cast<TableWidget*>(client.room.picGameBack.data()))
        table->CardFocused(to);
}

void SetRaised(Client& client, int index, bool raised)
{
    CardState& c = client.state.cards;
    if (c.SelectedFlags.count() < c.HandCards.count())
        c.SelectedFlags.resize(c.HandCards.count());
    c.SelectedFlags.set(index, raised ? 1 : 0);
    RedrawCard(client, index);
}

// Rank field of a rank key, 13 for the jokers' W, -1 for any other key.
int RankOfKey(int key)
{
    switch (key) {
    case Qt::Key_0: return 7;
    case Qt::Key_J: return 8;
    case Qt::Key_Q: return 9;
    case Qt::Key_K: return 10;
    case Qt::Key_A: return 11;
    case Qt::Key_2: return 12;
    case Qt::Key_W: return 13;
    default: break;
    }
    if (key >= Qt::Key_3 && key <= Qt::Key_9)
        return key - Qt::Key_3;
    return -1;
}

bool HasRank(CardCode code, int rank)
{
    if (!IsValidCard(code))
        return false;
    return rank == 13 ? IsJoker(code) : !IsJoker(code) && RankField(code) == rank;
}

// Raises the next lowered card of the rank after the focus, going round the
// hand, and puts the focus on it.
void RaiseNextOfRank(Client& client, int rank)
{
    const CardState& c = client.state.cards;
    const int n = c.HandCards.count();
    const int start = client.state.handFocus();
    for (int step = 1; step <= n; ++step) {
        const int i = (start + step - 1) % n + 1;
        if (HasRank(c.HandCards.at(i), rank) && c.SelectedFlags.at(i) == 0) {
            SetRaised(client, i, true);
            MoveFocus(client, i);
            return;
        }
    }
}

bool MayUsePlayButton(const Client& client, int button)
{
    const ClientState& s = client.state;
    const std::uint8_t phase = s.table.TurnPhase;
    return IsPlayer(client) && s.globals.MySeat == s.table.ActingSeat && (phase == PhaseLead || phase == PhaseFollow)
        && button < PlayButtonCount(phase) && s.view.PlayButtonState[static_cast<std::size_t>(button)] != 0
        && !s.view.BombPlaying;
}

bool MayGiveTribute(const Client& client)
{
    const ClientState& s = client.state;
    const std::uint8_t phase = s.table.TurnPhase;
    return IsPlayer(client) && s.globals.MySeat == s.table.ActingSeat
        && (phase == PhaseTribute || phase == PhaseReturnTribute) && s.view.TributeButtonState[0] != 0
        && !s.view.BombPlaying;
}

} // namespace

bool picGameBack_KeyDown(Client& client, int key)
{
    ClientState& s = client.state;
    // Once a hand is over its cards are off the table, under the result
    // panel: its keys neither move the focus nor raise a card of it.
    const int n = s.table.NoHandInPlay ? 0 : s.cards.HandCards.count();
    const bool player = IsPlayer(client);
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Right: {
        if (n == 0)
            return false;
        const int at = s.handFocus();
        if (at < 1)
            MoveFocus(client, key == Qt::Key_Left ? n : 1);
        else
            MoveFocus(client, at + (key == Qt::Key_Left ? -1 : 1));
        return true;
    }
    case Qt::Key_Space: {
        const int at = s.handFocus();
        if (!player || n == 0 || at < 1)
            return false;
        SetRaised(client, at, s.cards.SelectedFlags.at(at) == 0);
        return true;
    }
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (MayUsePlayButton(client, 0)) {
            PlayAction(client, 0);
            return true;
        }
        if (MayGiveTribute(client)) {
            TributeAction(client);
            return true;
        }
        return false;
    case Qt::Key_P:
    case Qt::Key_Backspace:
        if (!MayUsePlayButton(client, 1))
            return false;
        PlayAction(client, 1);
        return true;
    case Qt::Key_Escape:
        if (!player || n == 0)
            return false;
        LowerAllCards(s.cards);
        if (TablePainter* view = TableView(client))
            view->DrawHand();
        return true;
    default:
        break;
    }
    const int rank = RankOfKey(key);
    if (rank < 0 || !player || n == 0)
        return false;
    RaiseNextOfRank(client, rank);
    return true;
}

} // namespace kelpo
