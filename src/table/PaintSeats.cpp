// Seat pictures and the marks beside each seat.

#include "table/TablePainter.h"

namespace kelpo {

namespace {

constexpr QRgb White = qRgb(255, 255, 255);

// The count beside a seat at p: the label at p, the number in a larger
// type at p.x + 40, 3 px higher.
constexpr int CountNumberX = 40;
constexpr int CountNumberRise = 3;

// What the two texts of a count at p cover.
QRect CountArea(QPoint p) { return QRect(p.x(), p.y() - CountNumberRise, 63, 18); }

} // namespace

void TablePainter::PaintSeatPicture(int seat)
{
    const int view = ViewOfSeat(state, seat);
    if (view < 0)
        return;
    const TableLayout& L = state.view.Layout;
    const int x = L.SeatAnchor[view].x();
    const int y = L.SeatAnchor[view].y();
    const bool centre = AlignmentOf(view) == Alignment::Centre;
    const SeatRecord& s = *state.seat(seat);
    picGameBack.font.foreColor = White;

    if (s.name.isEmpty()) {
        if (!state.view.IncrementalPaint)
            return;
        if (centre) {
            RestoreBack(x - 5, y - 3, 150, 38);
            KeepScorePanelOver(QRect(x - 5, y - 3, 150, 38));
        } else {
            // The frame of a side seat starts a pixel above the name's
            // place and, on the right, ends a pixel beyond it.
            const int left = std::min(x, L.NameAnchor[view].x());
            QRect place(left - 1, y - 1, 52, 90);
            QPoint frameAt;
            const QImage frame = SeatFrame(seat, frameAt);
            if (!frame.isNull())
                place |= QRect(frameAt, frame.deviceIndependentSize().toSize());
            RestoreBack(place.x(), place.y(), place.width(), place.height());
            KeepScorePanelOver(place);
        }
        return;
    }

    const QImage icon = ParentImage(QStringLiteral("UserRes\\LargeUser\\%1.ico").arg(s.iconNumber % 1000 + 1));
    if (icon.isNull())
        return;
    QPoint frameAt;
    const QImage frame = SeatFrame(seat, frameAt);
    if (frame.isNull())
        return;
    Picture::ChangeBatch changes(picGameBack);
    picGameBack.drawImage(frameAt.x(), frameAt.y(), frame);
    picGameBack.drawImage(x, y, icon);
    const QPoint name = L.NameAnchor[view];
    if (centre)
        picGameBack.print(name.x(), name.y(), s.name);
    else
        PrintWrappedName(picGameBack, name.x(), name.y(), s.name);
    if (state.view.IncrementalPaint) {
        const QRect area(frameAt, frame.deviceIndependentSize().toSize());
        RedrawOverSeat(seat, area);
        KeepScorePanelOver(area);
    }
}

void TablePainter::KeepScorePanelOver(const QRect& area)
{
    // On a low table the upper right seat and its clock lie partly under
    // the score panel, which the full repaint draws last.
    if (area.intersects(ScorePanelArea()))
        PaintScorePanel();
}

void TablePainter::RedrawOverSeat(int seat, const QRect& area)
{
    // The full repaint draws the count and the warn flag after the seat's
    // picture, over the frame's bottom, and over the places of the other
    // marks beside a seat.
    const int view = ViewOfSeat(state, seat);
    const bool threeHand = state.table.ThreeHandDeal != 0;
    QPoint p;
    if (state.table.ShowCardCounts != 0 && CardCountPlace(state.view.Layout, view, threeHand, p) &&
        CountArea(p).intersects(area))
        PaintRemainingCount(seat);
    if (state.seats[seat].warnFlag != 0 && WarnFlagPlace(state.view.Layout, view, threeHand, p) &&
        QRect(p, QSize(32, 32)).intersects(area))
        PaintWarnFlag(seat);
}

QImage TablePainter::SeatFrame(int seat, QPoint& at)
{
    const int view = ViewOfSeat(state, seat);
    if (view < 0)
        return {};
    const bool centre = AlignmentOf(view) == Alignment::Centre;
    static constexpr QPoint FrameOffset[SeatCount] = {{-1, 0}, {-1, -2}, {-5, -3}, {-10, -2}, {-10, 0}, {-5, -3}};
    at = state.view.Layout.SeatAnchor[view] + FrameOffset[view];
    return AppImage(QStringLiteral("Res\\%1%2.bmp").arg(centre ? QLatin1Char('s') : QLatin1Char('c')).arg(seat % 2));
}

void TablePainter::PrintWrappedName(Picture& target, int x, int y, const QString& text)
{
    target.font.foreColor = White;
    QString line;
    int units = 0;
    int row = 0;
    for (qsizetype i = 0; i < text.size();) {
        // A surrogate pair is one character and is never split across lines.
        const qsizetype len = (text.at(i).isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        int cost = 0;
        for (qsizetype k = i; k < i + len; ++k)
            cost += (text.at(k).unicode() >> 8) != 0 ? 2 : 1;
        if (units >= 8) {
            target.print(x, y + 12 * row, line);
            ++row;
            line.clear();
            units = 0;
        }
        line += text.mid(i, len);
        units += cost;
        i += len;
    }
    if (!line.isEmpty())
        target.print(x, y + 12 * row, line);
}

void TablePainter::PaintNetBreak(int seat)
{
    const int view = ViewOfSeat(state, seat);
    if (view < 0)
        return;
    const QPoint p = state.view.Layout.NetBreakAnchor[view];
    if (state.seats[seat].isOffline) {
        picGameBack.drawImage(p.x(), p.y(), AppImage(QStringLiteral("Res\\NetBreak.bmp")));
        marksShown_[static_cast<std::size_t>(seat)] |= NetBreakMark;
        // The score panel lies over the top corner seat's mark, as after a
        // full repaint (which draws the panel last).
        if (state.view.IncrementalPaint && ScorePanelArea().intersects(QRect(p, QSize(32, 32))))
            PaintScorePanel();
    } else if (state.view.IncrementalPaint) {
        RestoreBesideSeat(seat, NetBreakMark, QRect(p.x(), p.y(), 32, 32));
    }
}

void TablePainter::PaintReadyHand(int seat)
{
    const int view = ViewOfSeat(state, seat);
    if (view < 0)
        return;
    const QPoint p = state.view.Layout.ReadyAnchor[view];
    if (state.seats[seat].isHandUp) {
        DrawMaskedCell(AppImage(QStringLiteral("Res\\Hand.bmp")), p.x(), p.y(), 80, 35, {0, 0}, {80, 0});
        marksShown_[static_cast<std::size_t>(seat)] |= ReadyMark;
    } else if (state.view.IncrementalPaint) {
        RestoreBesideSeat(seat, ReadyMark, QRect(p.x() - 1, p.y() - 1, 82, 37));
    }
}

void TablePainter::PaintRankMark(int seat)
{
    const int view = ViewOfSeat(state, seat);
    if (view < 0)
        return;
    const int rank = state.seats[seat].finishRank;
    QPoint p;
    if (rank < 1 || rank > 5 || !RankMarkPlace(state.view.Layout, view, state.table.ThreeHandDeal != 0, p))
        return;
    const int cx = (rank - 1) * RankMarkWidth;
    DrawMaskedCell(AppImage(QStringLiteral("Res\\MingCi.bmp")), p.x(), p.y(), RankMarkWidth, RankMarkHeight, {cx, 0},
                   {cx, RankMarkHeight});
}

void TablePainter::PaintWarnFlag(int seat)
{
    const int view = ViewOfSeat(state, seat);
    QPoint p;
    if (view < 0 || !WarnFlagPlace(state.view.Layout, view, state.table.ThreeHandDeal != 0, p))
        return;
    if (state.seats[seat].warnFlag != 0) {
        DrawMaskedCell(AppImage(QStringLiteral("Res\\UserWarnFlag.bmp")), p.x(), p.y(), 32, 32, {0, 0}, {32, 0});
        marksShown_[static_cast<std::size_t>(seat)] |= WarnMark;
        return;
    }
    RestoreBesideSeat(seat, WarnMark, QRect(p, QSize(32, 32)));
}

void TablePainter::RestoreBesideSeat(int seat, SeatMark mark, const QRect& place)
{
    // Clearing a place that holds the background already would only cost a
    // redraw of the seat's picture, at every round's end.
    std::uint8_t& shown = marksShown_[static_cast<std::size_t>(seat)];
    if (!(shown & mark))
        return;
    shown &= static_cast<std::uint8_t>(~mark);
    Picture::ChangeBatch changes(picGameBack);
    RestoreBack(place.x(), place.y(), place.width(), place.height());
    KeepScorePanelOver(place);
    // Beside a side seat the places of the warn flag and the net-break mark
    // reach over the bottom of the seat's frame, which must come back with
    // the background.
    QPoint frameAt;
    const QImage frame = SeatFrame(seat, frameAt);
    if (!state.seats[seat].name.isEmpty() && !frame.isNull() &&
        QRect(frameAt, frame.deviceIndependentSize().toSize()).intersects(place))
        PaintSeatPicture(seat);
    else
        RedrawOverSeat(seat, place);
}

void TablePainter::PaintRemainingCount(int seat)
{
    const int view = ViewOfSeat(state, seat);
    QPoint p;
    if (view < 0 || state.table.ShowCardCounts == 0 ||
        !CardCountPlace(state.view.Layout, view, state.table.ThreeHandDeal != 0, p))
        return;
    const FontState saved = picGameBack.font;
    // Both texts reach out of the label's 13 rows, the number above them
    // and the label's tops and feet a row beyond them; all of that is
    // erased, or the tops of the last count's digits stay behind and the
    // label's edges darken with each drawing.
    const QRect area = CountArea(p);
    RestoreBack(area.x(), area.y(), area.width(), area.height());
    picGameBack.font.foreColor = qRgb(0, 180, 200);
    picGameBack.font.fontSize = 11;
    picGameBack.font.fontBold = false;
    picGameBack.print(p.x(), p.y(), QStringLiteral("余牌:"));
    picGameBack.font.foreColor = qRgb(250, 0, 200);
    picGameBack.font.fontSize = 13;
    picGameBack.font.fontBold = true;
    picGameBack.print(p.x() + CountNumberX, p.y() - CountNumberRise, QString::number(state.seats[seat].cardsLeft));
    picGameBack.font.foreColor = saved.foreColor;
    picGameBack.font.fontSize = saved.fontSize;
    picGameBack.font.fontBold = saved.fontBold;
}

} // namespace kelpo
