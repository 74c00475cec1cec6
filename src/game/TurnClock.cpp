// The turn clock's events, and the automatic move for a player whose time
// ran out, with the count of such moves that ends in being taken as escaped.

#include "game/Client.h"
#include "game/GameMessageBuilders.h"
#include "game/TableFlow.h"
#include "game/Sounds.h"
#include "game/TableFlowSupport.h"
#include "platform/NumericValue.h"
#include "rules/CardOrder.h"
#include "table/TablePainter.h"

#include <algorithm>

namespace kelpo {

namespace {

QString AutoPlayText(int count, const QString& tail)
{
    return QStringLiteral("注意：系统帮你自动出牌的次数累计已达 ") + QString::number(count) + tail;
}

// Code 0 if the hand holds it, else a card of the lowest rank: the last card
// while the hand is in rank order, but the player may have sorted it by count.
CardCode LowestCard(const CardList& hand)
{
    const auto& codes = hand.codes();
    if (std::find(codes.begin(), codes.end(), CardCode{0}) != codes.end())
        return 0;
    CardCode lowest = hand.at(hand.count());
    for (const CardCode card : codes) {
        if (IsLowerCard(card, lowest))
            lowest = card;
    }
    return lowest;
}

// The one card of the hand at pos is the only raised card.
void RaiseOnly(CardState& c, int pos)
{
    LowerAllCards(c);
    c.SelectedFlags.set(pos, 1);
}

} // namespace

void YuClock_Tick(Client& client)
{
    ++client.state.view.ClockTicks;
    if (TablePainter* view = TableView(client))
        view->PaintClock(true);
}

void YuClock_Warning(Client& client) { PlaySoundCue(client, 6); }

void OnTurnExpired(Client& client)
{
    ClientState& s = client.state;
    int seat = SeatCount;
    if (client.room.YuClock)
        seat = NumericValueAs<int>(client.room.YuClock->Tag());
    if (TablePainter* view = TableView(client))
        view->StopTurnClock();
    if (seat < 0 || seat >= SeatCount || seat != s.globals.MySeat || !IsPlayer(client) || s.table.Escaped)
        return;

    CardState& c = s.cards;
    switch (s.table.TurnPhase) {
    case PhaseLead: {
        // The lowest card goes out; the server's echo takes it from the hand.
        if (c.HandCards.isEmpty())
            return;
        const CardCode card = LowestCard(c.HandCards);
        client.SendPacket(BuildPlayPacket(s.globals.MySeat, CardList{card}));
        if (TablePainter* view = TableView(client))
            view->ShowPlayButtons(false);
        if (s.globals.MySeat == c.FirstLeader && !c.FirstLeadDone && card == 0)
            c.FirstLeadDone = true;
        CountAutoPlay(client);
        break;
    }
    case PhaseFollow:
        PlayAction(client, 1);
        CountAutoPlay(client);
        break;
    case PhaseTribute:
        RaiseOnly(c, 1);
        TributeAction(client);
        break;
    case PhaseReturnTribute:
        RaiseOnly(c, c.HandCards.count());
        TributeAction(client);
        break;
    default:
        break;
    }
}

void CountAutoPlay(Client& client)
{
    TableState& t = client.state.table;
    // Saturates rather than wrapping back to a count that looks harmless.
    if (t.AutoPlayCount < 255)
        ++t.AutoPlayCount;
    const int count = t.AutoPlayCount;
    const int limit = t.AutoPlayLimit;
    if (limit == count + 1) {
        ShowOkBox(client, AutoPlayText(count, QStringLiteral(" 次，再出现一次就算你逃跑！")),
                  QStringLiteral("系统提示"));
    } else if (count >= limit) {
        // The box waits for the player while the table goes on: his turns
        // that run out meanwhile are not played, nor counted again.
        t.Escaped = true;
        ShowOkBox(client, AutoPlayText(count, QStringLiteral(" 次，现在算你逃跑！")), QStringLiteral("系统提示"));
        client.UnloadMainWindow(ExitEscaped);
    }
}

} // namespace kelpo
