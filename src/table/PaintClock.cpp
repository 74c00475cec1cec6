// The time bar's ends, the turn clock beside the acting seat, and the end
// and score panels.

#include "controls/YuClock.h"
#include "platform/Raster.h"
#include "table/TablePainter.h"

#include <algorithm>

namespace kelpo {

namespace {

constexpr int ClockWidth = 31;
constexpr int ClockHeight = 38;
constexpr int ClockFrames = 8;
const QString NoTurnSeat = QStringLiteral("100");

QSize LogicalSizeOf(const QImage& image) { return image.deviceIndependentSize().toSize(); }

int LimitInForce(const TableState& t)
{
    return t.TurnPhase == PhaseTribute || t.TurnPhase == PhaseReturnTribute ? t.TributeSeconds : t.TurnSeconds;
}

} // namespace

void TablePainter::PlaceTimeBar()
{
    const TableLayout& L = state.view.Layout;
    if (YuClockControl)
        YuClockControl->Place(L.TimeBarX + TimeBarHeadWidth, L.TimeBarY, L.TimeBarWidth);
}

void TablePainter::PaintTimeBar()
{
    const TableLayout& L = state.view.Layout;
    const QImage head = AppImage(QStringLiteral("Res\\TimeBarHead.bmp"));
    const QImage end = AppImage(QStringLiteral("Res\\TimeBarEnd.bmp"));
    const QPoint endAt(L.TimeBarX + TimeBarHeadWidth + L.TimeBarWidth, L.TimeBarY);
    picGameBack.drawImage(L.TimeBarX, L.TimeBarY, head);
    picGameBack.drawImage(endAt.x(), endAt.y(), end);
    timeBarArea_ = QRect(QPoint(L.TimeBarX, L.TimeBarY), head.deviceIndependentSize().toSize()) |
                   QRect(endAt, end.deviceIndependentSize().toSize());
}

void TablePainter::PaintClock(bool show)
{
    if (state.table.TurnPhase == PhaseNone || !YuClockControl)
        return;
    // The clock and the time bar's two pieces: one look at the file system.
    ImageFileCache::Batch batch(images_);
    // An empty or unset Tag names no seat; reading it as 0 would draw and
    // erase a clock beside seat 0 that nobody started.
    bool isNumber = false;
    const int seat = YuClockControl->Tag().trimmed().toInt(&isNumber);
    const int view = isNumber ? ViewOfSeat(state, seat) : -1;
    QPoint c;
    if (view < 0 || !ClockPlace(state.view.Layout, view, state.table.ThreeHandDeal != 0, c))
        return;
    const TableLayout& L = state.view.Layout;
    const int tx = L.TimeBarX + 45;
    const int ty = L.TimeBarY + 15;
    // The seconds stand partly on the time bar's head, which only the table
    // picture holds: erasing them puts the head back too. The cell is as
    // high as the 12-pixel digits.
    auto eraseSeconds = [&] {
        const QImage head = AppImage(QStringLiteral("Res\\TimeBarHead.bmp"));
        const QImage end = AppImage(QStringLiteral("Res\\TimeBarEnd.bmp"));
        const SecondsErased erase{
            QRect(tx, ty, 30, 14), QRect(QPoint(L.TimeBarX, L.TimeBarY), LogicalSizeOf(head)),
            QRect(QPoint(L.TimeBarX + TimeBarHeadWidth + L.TimeBarWidth, L.TimeBarY), LogicalSizeOf(end)),
            head.cacheKey(), end.cacheKey()};
        auto untouched = [&](const QRect& r) { return picGameBack.untouchedSince(r, secondsErasedMark_); };
        if (secondsErasedValid_ && erase == secondsErased_ && untouched(erase.seconds) && untouched(erase.head) &&
            untouched(erase.end)) {
            // As good as erased now: the next look goes back no further.
            secondsErasedMark_ = picGameBack.writeMark();
            return;
        }
        RestoreBack(tx, ty, 30, 14);
        PaintTimeBar();
        secondsErased_ = erase;
        secondsErasedMark_ = picGameBack.writeMark();
        secondsErasedValid_ = true;
    };
    const QRect clockArea(c, QSize(ClockWidth + 1, ClockHeight + 1));
    if (!show) {
        RestoreBack(c.x(), c.y(), ClockWidth + 1, ClockHeight + 1);
        KeepScorePanelOver(clockArea);
        eraseSeconds();
        return;
    }
    const int ticks = state.view.ClockTicks;
    const int frame = ((ticks % ClockFrames) + ClockFrames) % ClockFrames;
    DrawMaskedCell(AppImage(QStringLiteral("Res\\Clock.bmp")), c.x(), c.y(), ClockWidth, ClockHeight,
                   {frame * ClockWidth, 0}, {ClockFrames * ClockWidth, 0});
    KeepScorePanelOver(clockArea);
    eraseSeconds();
    picGameBack.font.foreColor = qRgb(255, 255, 0);
    picGameBack.font.fontBold = true;
    picGameBack.font.fontSize = 9;
    picGameBack.font.fontName = QStringLiteral("黑体");
    const long long left = static_cast<long long>(LimitInForce(state.table)) - ticks;
    picGameBack.print(tx, ty, QString::number(left));
    picGameBack.font.fontBold = false;
    picGameBack.font.fontSize = 9;
    picGameBack.font.fontName = QStringLiteral("宋体");
}

void TablePainter::StopTurnClock()
{
    if (!YuClockControl)
        return;
    YuClockControl->Stop();
    PaintClock(false);
    YuClockControl->SetTag(NoTurnSeat);
}

void TablePainter::StartTurnClock(int seat)
{
    if (seat < 0 || seat >= SeatCount)
        return;
    StopTurnClock();
    if (state.table.TurnPhase == PhaseNone || !YuClockControl)
        return;
    YuClockControl->SetTag(QString::number(seat));
    state.view.ClockTicks = 0;
    YuClockControl->Start(LimitInForce(state.table), 5);
}

void TablePainter::PaintGameEnd(const std::array<std::int32_t, SeatCount>& scores)
{
    const int px = (picGameBack.width() - 309) / 2;
    const int py = (picGameBack.height() - 300) / 2;
    DrawMaskedImage(AppImage(QStringLiteral("Res\\GameEnd.bmp")), AppImage(QStringLiteral("Res\\GameEndM.bmp")),
                    px, py, 309, 300);
    FontState& f = picGameBack.font;
    f.foreColor = qRgb(0, 0, 250);
    f.fontBold = true;
    f.fontSize = 20;
    f.fontName = QStringLiteral("黑体");
    // A draw moves no score. Seat 0 alone at 0 is not one: an absent winner
    // whose escape penalty equals the stake also ends at 0, and the others'
    // results must still be shown.
    if (std::all_of(scores.begin(), scores.end(), [](std::int32_t r) { return r == 0; })) {
        picGameBack.print(px + 90, py + 120, QStringLiteral("本轮和局！"));
    } else {
        f.fontSize = 10;
        f.fontName = QStringLiteral("宋体");
        picGameBack.line(px + 30, py + 70, px + 280, py + 70, qRgb(30, 30, 30));
        picGameBack.line(px + 30, py + 69, px + 280, py + 69, qRgb(230, 230, 230));
        for (int i = 0; i < SeatCount; ++i)
            picGameBack.print(px + 60, py + 90 + 25 * i, state.seats[static_cast<std::size_t>(i)].name);
        for (int i = 0; i < SeatCount; ++i)
            picGameBack.print(px + 240, py + 90 + 25 * i, QString::number(scores[static_cast<std::size_t>(i)]));
    }
    f.fontBold = false;
    f.fontSize = 9;
    f.fontName = QStringLiteral("宋体");
}

namespace {

// Whether the mask is black all over r (logical, inside the mask).
bool OpaqueUnder(const QImage& mask, const QRect& r)
{
    const int s = std::max(1, static_cast<int>(mask.devicePixelRatio()));
    if (!QRect(QPoint(), LogicalSizeOf(mask)).contains(r))
        return false;
    const QImage m = ToRgb32(mask);
    for (int y = r.top() * s; y < (r.bottom() + 1) * s; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(m.constScanLine(y));
        for (int x = r.left() * s; x < (r.right() + 1) * s; ++x) {
            if ((line[x] & 0x00FFFFFFu) != 0)
                return false;
        }
    }
    return true;
}


} // namespace

QRect TablePainter::ScorePanelArea() const { return QRect(picGameBack.width() - 182 - 15, 15, 182, 99); }

void TablePainter::PaintScorePanel()
{
    const QRect whole = ScorePanelArea();
    const int px = whole.x();
    const int py = whole.y();
    const QImage mask = AppImage(QStringLiteral("Res\\GameScoreM.bmp"));
    if (mask.isNull())
        return;
    const QImage panel = AppImage(QStringLiteral("Res\\GameScore.bmp"));
    const ScorePanelInputs inputs{panel.cacheKey(),
                                  mask.cacheKey(),
                                  px,
                                  {state.table.ScoreCounters[0], state.table.ScoreCounters[1]},
                                  picGameBack.font.fontName,
                                  picGameBack.font.fontBold};
    const int s = picGameBack.scale();
    ScorePanelDrawn& last = scorePanel_;
    QRect restored;
    if (last.settled && last.inputs == inputs && picGameBack.onlyRestoredSince(last.area, last.mark, restored) &&
        (restored.isEmpty() || last.around.contains(restored))) {
        // Drawing is pixel by pixel: where the restores put back the very
        // ground it was drawn on, it would give what it gave then, and
        // elsewhere, over its own result, the same again.
        const QRect device(restored.topLeft() * s, restored.size() * s);
        const QPoint from = (restored.topLeft() - last.around.topLeft()) * s;
        if (SameBlock(std::as_const(picGameBack).image(), device.topLeft(), last.ground, from, device.size())) {
            if (!restored.isEmpty()) {
                picGameBack.transfer(restored.x(), restored.y(), restored.width(), restored.height(), last.drawn,
                                     restored.x() - last.around.x(), restored.y() - last.around.y(),
                                     RasterOp::Copy);
            }
            last.mark = picGameBack.writeMark();
            return;
        }
    }
    // The numbers' cells reach a little past the panel: what lies there
    // must come out of the drawing as it went in.
    const QRect around = whole.adjusted(-4, -4, 4, 4) & QRect(0, 0, picGameBack.width(), picGameBack.height());
    const QRect aroundDevice(around.topLeft() * s, around.size() * s);
    last.ground = std::as_const(picGameBack).image().copy(aroundDevice);
    const Picture::WriteMark start = picGameBack.writeMark();
    const QRect text = DrawScorePanel(px, py, mask, panel);
    last.inputs = inputs;
    last.around = around;
    last.area = picGameBack.writtenSince(start);
    last.drawn = std::as_const(picGameBack).image().copy(aroundDevice);
    last.drawn.setDevicePixelRatio(s);
    // Drawn again over itself it changes nothing when the numbers stand on
    // the panel's opaque part, which the mask puts back first, and left
    // what lies outside the panel as it was.
    last.settled = !last.area.isNull() && around.contains(last.area) &&
                   (text.isEmpty() || OpaqueUnder(mask, (text & whole).translated(-px, -py)));
    if (last.settled) {
        const QPoint inside = (whole.topLeft() - around.topLeft()) * s;
        const int w = around.width() * s;
        const int h = around.height() * s;
        const int left = inside.x(), right = inside.x() + whole.width() * s;
        const int top = inside.y(), bottom = inside.y() + whole.height() * s;
        last.settled = SameBlock(last.ground, {0, 0}, last.drawn, {0, 0}, {w, top}) &&
                       SameBlock(last.ground, {0, bottom}, last.drawn, {0, bottom}, {w, h - bottom}) &&
                       SameBlock(last.ground, {0, top}, last.drawn, {0, top}, {left, bottom - top}) &&
                       SameBlock(last.ground, {right, top}, last.drawn, {right, top}, {w - right, bottom - top});
    }
    last.mark = picGameBack.writeMark();
}

QRect TablePainter::DrawScorePanel(int px, int py, const QImage& mask, const QImage& panel)
{
    const QSize whole(182, 99);
    if (!panel.isNull() && LogicalSizeOf(mask).expandedTo(whole) == LogicalSizeOf(mask) &&
        LogicalSizeOf(panel).expandedTo(whole) == LogicalSizeOf(panel)) {
        // The mask ANDed and the panel ORed in one pass: the same rule.
        picGameBack.maskedTransfer(px, py, 182, 99, panel, 0, 0, mask, 0, 0);
    } else {
        picGameBack.transfer(px, py, 182, 99, mask, 0, 0, RasterOp::And);
        if (panel.isNull())
            return {};
        picGameBack.transfer(px, py, 182, 99, panel, 0, 0, RasterOp::Or);
    }
    const Picture::WriteMark start = picGameBack.writeMark();
    const FontState saved = picGameBack.font;
    picGameBack.font.fontSize = 20;
    picGameBack.font.foreColor = qRgb(0, 0, 255);
    picGameBack.print(px + 129, 48, QString::number(state.table.ScoreCounters[1]));
    picGameBack.font.foreColor = qRgb(255, 0, 0);
    picGameBack.print(px + 129, 83, QString::number(state.table.ScoreCounters[0]));
    picGameBack.font.fontSize = saved.fontSize;
    picGameBack.font.foreColor = saved.foreColor;
    // Null when unknown: then it is not known to stand on the opaque part.
    const QRect text = picGameBack.writtenSince(start);
    return text.isNull() ? QRect(px, py, 182, 99).adjusted(-1, -1, 1, 1) : text;
}

} // namespace kelpo
