#include "table/TableDescription.h"

#include "rules/CardNames.h"
#include "rules/TributeRules.h"
#include "table/TableGeometry.h"

#include <QStringList>

namespace kelpo {

namespace {

bool TurnRunning(const ClientState& s)
{
    return !s.table.NoHandInPlay && s.table.ActingSeat < SeatCount && s.table.TurnPhase >= PhaseLead
        && s.table.TurnPhase <= PhaseReturnTribute;
}

// A seat's count is told only where the table shows it: beside every seat
// when the table's settings show counts, else by the hands drawn, the local
// one and, after a three-hand deal, the partners'.
bool CountShown(const ClientState& s, int seat)
{
    const int me = s.globals.MySeat;
    if (s.table.ShowCardCounts != 0 || seat == me)
        return true;
    return s.table.ThreeHandDeal != 0 && (seat == PartnerNextSeat(me) || seat == PartnerFarSeat(me));
}

QString SeatDescription(const ClientState& s, int seat)
{
    const SeatRecord& r = s.seats[static_cast<std::size_t>(seat)];
    const int me = s.globals.MySeat;
    QStringList parts;
    if (seat == me)
        parts << (s.globals.IsSpectator ? QStringLiteral("你观看的玩家") : QStringLiteral("自己"));
    else
        parts << (seat % 2 == me % 2 ? QStringLiteral("同伴") : QStringLiteral("对手"));
    if (r.finishRank > 0)
        parts << QStringLiteral("第%1名").arg(r.finishRank);
    else if (!s.table.NoHandInPlay && CountShown(s, seat))
        parts << QStringLiteral("剩%1张").arg(r.cardsLeft);
    if (TurnRunning(s) && s.table.ActingSeat == seat)
        parts << QStringLiteral("正在出牌");
    if (!r.currentPlay.isEmpty())
        parts << (r.currentPlay.isPass() ? QStringLiteral("不出") : QStringLiteral("出了 ") + CardNames(r.currentPlay));
    return parts.join(QStringLiteral("，"));
}

} // namespace

std::vector<TableItem> DescribeTable(const ClientState& s)
{
    std::vector<TableItem> items;
    const TableLayout& L = s.view.Layout;
    const CardState& c = s.cards;

    const int n = c.HandCards.count();
    const int left = HandLeft(L, n);
    const int focus = s.handFocus();
    for (int i = 1; i <= n; ++i) {
        TableItem it;
        it.kind = TableItem::Kind::Card;
        it.name = s.table.CanSeeHand != 0 ? CardName(c.HandCards.at(i)) : QStringLiteral("牌背");
        it.raised = c.SelectedFlags.at(i) == 1;
        it.focused = focus == i;
        it.description = QStringLiteral("第%1张，共%2张").arg(i).arg(n);
        const int y = L.HandAnchor[2].y() - (it.raised ? RaiseOffset : 0);
        it.rect = QRect(left + (i - 1) * CardStep, y, i == n ? CardWidth : CardStep, CardHeight);
        items.push_back(it);
    }

    const std::uint8_t phase = s.table.TurnPhase;
    static const QString playNames[2] = {QStringLiteral("出牌"), QStringLiteral("不出")};
    for (int i = 0; i < PlayButtonCount(phase); ++i)
        if (s.view.PlayButtonState[static_cast<std::size_t>(i)] != 0)
            items.push_back({TableItem::Kind::Button, playNames[i], QString(), PlayButtonRect(L, phase, i)});
    if (s.view.TributeButtonState[0] != 0)
        items.push_back({TableItem::Kind::Button,
                         phase == PhaseReturnTribute ? QStringLiteral("还贡") : QStringLiteral("进贡"), QString(),
                         TributeButtonRect(L)});
    static const QString optionNames[2] = {QStringLiteral("上一轮"), QStringLiteral("重新排序")};
    for (int i = 0; i < 2; ++i)
        if (s.view.OptionButtonState[static_cast<std::size_t>(i)] != 0)
            items.push_back({TableItem::Kind::Button, optionNames[i], QString(), OptionButtonRect(L, i)});

    for (int seat = 0; seat < SeatCount; ++seat) {
        const SeatRecord& r = s.seats[static_cast<std::size_t>(seat)];
        const int view = ViewOfSeat(s, seat);
        TableItem it;
        it.kind = TableItem::Kind::Seat;
        it.name = QStringLiteral("%1号座位 %2").arg(seat + 1).arg(r.name.isEmpty() ? QStringLiteral("空") : r.name);
        it.description = SeatDescription(s, seat);
        if (IsView(view))
            it.rect = QRect(L.SeatAnchor[static_cast<std::size_t>(view)], QSize(SeatPictureSize, SeatPictureSize));
        items.push_back(it);
    }

    if (TurnRunning(s)) {
        const int limit = phase >= PhaseTribute ? s.table.TributeSeconds : s.table.TurnSeconds;
        const int view = ViewOfSeat(s, s.table.ActingSeat);
        QPoint at;
        TableItem it;
        it.kind = TableItem::Kind::Clock;
        it.name = QStringLiteral("出牌时间");
        it.description = QStringLiteral("%1 还剩%2秒")
                             .arg(s.seats[s.table.ActingSeat].name, QString::number(std::max(0, limit - s.view.ClockTicks)));
        if (ClockPlace(L, view, s.table.ThreeHandDeal != 0, at))
            it.rect = QRect(at, QSize(32, 32));
        items.push_back(it);
    }
    return items;
}

} // namespace kelpo
