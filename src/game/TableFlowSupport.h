#pragma once
// What the table-flow handlers reach through the client: the table view
// and the boxes. Each is a no-op while no main window is up, so handlers run
// the same with or without one.

#include <QMessageBox>
#include <QString>

#include <cstdint>

namespace kelpo {

class Client;
class TablePainter;
class CardList;
struct CardState;

// The table view, or null while no main window is up.
TablePainter* TableView(Client& client);

bool IsPlayer(const Client& client);

// A one-button skinned box ("确定", modal, answers itself after 10 seconds).
void ShowOkBox(Client& client, const QString& text, const QString& caption);
// The system message box owned by the main window.
void ShowSystemBox(Client& client, QMessageBox::Icon icon, const QString& caption, const QString& text);

// Changes whenever a hand starts or ends. A handler that paused compares it
// before and after: when it changed, what the pause had still to draw belongs
// to a hand that is gone, and would be drawn over the results or the next one.
std::uint64_t HandsSeen(const Client& client);

// Sets every selection flag of the hand to 0, one flag per card.
void LowerAllCards(CardState& cards);

// The cards of the hand that are raised, in hand order.
CardList RaisedCards(const CardState& cards);
// Lowers every card, then raises one card of the hand for each of `raised`
// that it still holds: after the hand is reordered or changes, the cards
// the player chose stay raised, not those that took their places.
void RaiseCards(CardState& cards, const CardList& raised);

// Sorts a held hand in the order the player chose with the sort button.
void SortInChosenOrder(const CardState& cards, CardList& hand);

// Hands the server sent whole (a refresh, the table taken over), which it
// keeps in the order they were dealt, put as a deal leaves them: in the
// order the player chose, code 0 last, nothing raised; the partners' hands
// in the same order. The tribute turn and the automatic moves take the first
// card to be the highest and the last the lowest.
void ArrangeHeldHands(CardState& cards);

} // namespace kelpo
