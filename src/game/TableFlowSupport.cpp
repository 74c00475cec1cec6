#include "game/TableFlowSupport.h"

#include "game/Client.h"
#include "game/Waits.h"
#include "rules/CardOrder.h"
#include "skin/ModalBoxes.h"
#include "skin/MsgPool.h"

namespace kelpo {

TablePainter* TableView(Client& client) { return client.room.frmGameMain ? client.room.painter : nullptr; }

bool IsPlayer(const Client& client) { return !client.state.globals.IsSpectator; }

// A box's loop takes further messages, which may open boxes in turn: each
// box counts with the waits, so a stream of them cannot nest without bound.
void ShowOkBox(Client& client, const QString& text, const QString& caption)
{
    if (client.state.globals.QuitRequested)
        return;
    const NestedLoop nested(client);
    client.msgPool().ShowMsg(0, client.room.frmGameMain, 1, text, caption, 10, QStringLiteral("确定"), QString(),
                             true);
}

void ShowSystemBox(Client& client, QMessageBox::Icon icon, const QString& caption, const QString& text)
{
    if (client.state.globals.QuitRequested)
        return;
    const NestedLoop nested(client);
    ModalBoxes::instance().SystemMessage(client.room.frmGameMain, icon, caption, text);
}

std::uint64_t HandsSeen(const Client& client)
{
    const TableState& t = client.state.table;
    return (std::uint64_t{t.HandStarts} << 32) | t.HandOvers;
}

void LowerAllCards(CardState& cards)
{
    cards.SelectedFlags = CardList(std::vector<CardCode>(static_cast<std::size_t>(cards.HandCards.count()), 0));
}

CardList RaisedCards(const CardState& cards)
{
    CardList raised;
    for (int i = 1; i <= cards.HandCards.count(); ++i) {
        if (cards.SelectedFlags.at(i) == 1)
            raised.append(cards.HandCards.at(i));
    }
    return raised;
}

void RaiseCards(CardState& cards, const CardList& raised)
{
    LowerAllCards(cards);
    for (const CardCode card : raised.codes()) {
        for (int i = 1; i <= cards.HandCards.count(); ++i) {
            if (cards.HandCards.at(i) == card && cards.SelectedFlags.at(i) == 0) {
                cards.SelectedFlags.set(i, 1);
                break;
            }
        }
    }
}

void SortInChosenOrder(const CardState& cards, CardList& hand)
{
    if (cards.RankSortMode)
        SortCardsByRank(hand);
    else
        SortCardsByCount(hand);
}

void ArrangeHeldHands(CardState& cards)
{
    SortInChosenOrder(cards, cards.HandCards);
    MoveCardZeroLast(cards.HandCards);
    LowerAllCards(cards);
    SortInChosenOrder(cards, cards.PartnerHandNext);
    SortInChosenOrder(cards, cards.PartnerHandFar);
}

} // namespace kelpo
