#include "table/SampleTable.h"

#include "rules/CardOrder.h"

namespace kelpo {

std::array<std::int32_t, SeatCount> SampleResults() { return {120, -40, 80, -60, 40, -140}; }

void SetUpSampleTable(TablePainter& painter, int width, int height, bool threeHand)
{
    ClientState& s = painter.state;
    s.globals.UserName = QStringLiteral("张三");
    s.globals.MySeat = 1;
    static const char16_t* const names[SeatCount] = {u"李四", u"张三", u"王小五", u"赵六六六六", u"钱七", u"孙八"};
    for (int seat = 0; seat < SeatCount; ++seat) {
        s.globals.SeatViewPos[static_cast<std::size_t>(seat)] = static_cast<std::uint8_t>((seat + 1) % SeatCount);
        SeatRecord& r = s.seats[static_cast<std::size_t>(seat)];
        r.name = QString::fromUtf16(names[seat]);
        r.iconNumber = seat * 7 + 2;
        r.cardsLeft = static_cast<std::uint8_t>(18 - 3 * seat);
    }
    s.seats[4].isOffline = true;
    s.seats[0].finishRank = 1;
    s.seats[3].finishRank = 2;
    s.seats[5].warnFlag = 1;
    s.seats[2].warnFlag = 1;

    // Plays at all six seats: one pass, the others from a single to a group
    // of five.
    s.seats[0].currentPlay = CardList{11, 24, 37};
    s.seats[1].currentPlay = CardList{5, 18};
    s.seats[2].currentPlay = CardList{PassMarker};
    s.seats[3].currentPlay = CardList{9, 22, 35, 48, 9};
    s.seats[4].currentPlay = CardList{52};
    s.seats[5].currentPlay = CardList{7, 20, 33, 46};

    s.table.NoHandInPlay = false;
    s.table.ThreeHandDeal = threeHand ? 1 : 0;
    s.table.ShowCardCounts = 1;
    s.table.TurnPhase = PhaseFollow;
    s.table.TurnSeconds = 20;
    s.table.ScoreCounters = {3, 5};

    CardList hand{53, 52, 12, 25, 11, 50, 10, 23, 36, 8, 21, 6, 19, 44, 4, 2, 15, 0};
    SortCardsByRank(hand);
    MoveCardZeroLast(hand);
    s.cards.HandCards = hand;
    s.cards.SelectedFlags.resize(hand.count());
    s.cards.SelectedFlags.set(5, 1);
    s.cards.SelectedFlags.set(6, 1);
    s.cards.FirstLeader = 1; // card 0 shows marked
    s.cards.PartnerHandNext = threeHand ? CardList{51, 38, 12, 49, 10, 9, 22, 7, 6, 5, 31, 3, 1, 40, 14} : CardList{};
    s.cards.PartnerHandFar = threeHand ? CardList{53, 25, 24, 47, 8, 34, 20, 45, 32, 17, 4, 28, 41, 2} : CardList{};

    s.view.OptionButtonState = {1, 1};
    s.view.ClockTicks = 0;
    painter.ResizeTable(width, height);
    painter.StartTurnClock(2);
    s.view.ClockTicks = 3;
    painter.PaintClock(true);
}

} // namespace kelpo
