// Played cards, pass marks and the seat marks drawn with them.

#include "table/TablePainter.h"

#include <algorithm>

namespace kelpo {

void TablePainter::PaintPassMark(int x, int y)
{
    DrawMaskedCell(AppImage(QStringLiteral("Res\\BuChu.bmp")), x, y, PassMarkWidth, PassMarkHeight, {0, 0},
                   {PassMarkWidth, 0});
}

void TablePainter::PaintPlay(int seat, const CardList& play)
{
    const int view = ViewOfSeat(state, seat);
    PlayPlacement place;
    if (view < 0 || !PlacePlay(state.view.Layout, view, play.count(), place))
        return;
    if (play.isPass()) {
        PaintPassMark(place.passMark.x(), place.passMark.y());
        return;
    }
    DrawCardRow(play, place.cards.x(), place.cards.y(), false);
    const FontState saved = picGameBack.font;
    picGameBack.font.fontSize = 12;
    picGameBack.font.fontBold = true;
    picGameBack.font.foreColor = qRgb(255, 255, 0);
    picGameBack.print(place.countText.x(), place.countText.y(), QString::number(play.count()) + QStringLiteral("张"));
    picGameBack.font.fontSize = saved.fontSize;
    picGameBack.font.fontBold = saved.fontBold;
    picGameBack.font.foreColor = saved.foreColor;
}

QRect TablePainter::PlaysArea() const
{
    const auto& P = state.view.Layout.PlayAnchor;
    // On a low table the lower side seats' plays reach below the local
    // seat's.
    const int bottom = std::max({P[1].y(), P[2].y(), P[3].y()}) + CardHeight;
    return QRect(P[1].x(), P[5].y(), P[3].x() - P[1].x() + 1, bottom - P[5].y() + 1);
}

void TablePainter::PaintPlays(bool previous)
{
    ImageFileCache::Batch batch(images_);
    Picture::ChangeBatch changes(picGameBack);
    const QRect area = PlaysArea();
    if (!skipPlaysRestore_)
        RestoreBack(area.x(), area.y(), area.width(), area.height());
    for (int seat = 0; seat < SeatCount; ++seat) {
        PaintNetBreak(seat);
        PaintRankMark(seat);
        PaintRemainingCount(seat);
        PaintWarnFlag(seat);
    }
    PaintScorePanel();
    for (int seat = 0; seat < SeatCount; ++seat) {
        const SeatRecord& s = state.seats[static_cast<std::size_t>(seat)];
        PaintPlay(seat, previous ? s.lastRoundPlay : s.currentPlay);
    }
    if (!skipPlaysRestore_)
        KeepHandOver(area);
}

void TablePainter::PaintSeatPlay(int seat)
{
    const SeatRecord* s = state.seat(seat);
    if (!s)
        return;
    PaintPlay(seat, s->currentPlay);
    // On a low table the lower side seats' plays reach into the hand, which
    // stays on top of them as a full repaint draws it.
    PlayPlacement place;
    if (PlacePlay(state.view.Layout, ViewOfSeat(state, seat), s->currentPlay.count(), place))
        KeepHandOver(s->currentPlay.isPass() ? place.passArea : place.cardArea);
}

void TablePainter::ClearSeatPlay(int seat)
{
    const SeatRecord* s = state.seat(seat);
    PlayPlacement place;
    if (!s || !PlacePlay(state.view.Layout, ViewOfSeat(state, seat), s->currentPlay.count(), place))
        return;
    const QRect r = s->currentPlay.isPass() ? place.passArea : place.cardArea;
    RestoreBack(r.x(), r.y(), r.width(), r.height());
    KeepHandOver(r);
    // On a low table the lower left seat's finishing mark reaches into the
    // upper left seat's cards: give back what the restore took of it.
    for (int other = 0; other < SeatCount; ++other) {
        QPoint mark;
        const int view = ViewOfSeat(state, other);
        if (view >= 0 && RankMarkPlace(state.view.Layout, view, state.table.ThreeHandDeal != 0, mark)
            && r.intersects(QRect(mark, QSize(RankMarkWidth, RankMarkHeight))))
            PaintRankMark(other);
    }
}

} // namespace kelpo
