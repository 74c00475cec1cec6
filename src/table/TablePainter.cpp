#include "table/TablePainter.h"

#include <algorithm>
#include <utility>

#include "platform/Raster.h"
#include "platform/ResourcePath.h"

namespace kelpo {

namespace {

// Restores a flag when a scope ends, whatever path it leaves by.
class FlagScope {
public:
    FlagScope(bool& flag, bool during) : flag_(flag), saved_(flag) { flag_ = during; }
    ~FlagScope() { flag_ = saved_; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& flag_;
    bool saved_;
};

// The size an image covers on the table: a large file marked with its
// ratio covers its standard file's size.
QSize LogicalSize(const QImage& image) { return image.deviceIndependentSize().toSize(); }

bool HoldsCell(const QImage& image, QPoint cell, int w, int h)
{
    return !image.isNull() && w > 0 && h > 0 && QRect(QPoint(), LogicalSize(image)).contains(QRect(cell, QSize(w, h)));
}

} // namespace

TablePainter::TablePainter(ClientState& s) : state(s)
{
    picGameBack.setBackColor(TableBackColor);
    picSaveGameBack.setBackColor(TableBackColor);
}

QImage TablePainter::CachedImage(const QString& base, const QString& relative)
{
    auto it = resolved_.find(relative);
    if (it != resolved_.end() && it->base == base) {
        if (!it->image.isNull() && it->generation == images_.generation())
            return it->image;
        QImage image = images_.load(it->path);
        if (!image.isNull()) {
            it->image = image;
            it->generation = images_.generation();
            return image;
        }
    }
    // First use, or the file went away: its name may now differ in case.
    const QString path = ResolvePath(base, relative);
    QImage image = images_.load(path);
    resolved_.insert(relative, ResolvedFile{base, path, image, images_.generation()});
    return image;
}

QImage TablePainter::LargeImage(const QString& relative)
{
    auto it = large_.find(relative);
    if (it == large_.end()) {
        if (large_.size() >= 256)
            large_.clear();
        it = large_.insert(relative, LargeFile{});
    }
    if (it->missing)
        return CachedImage(state.globals.AppPath, relative);
    // The large card folders sit beside the standard ones
    // ("ResPk@2x\Pk3.bmp"); every other file has "@2x" before its extension
    // ("PkBack@2x.bmp", "BuChu@2x.bmp").
    const bool cardFolder = relative.startsWith(QLatin1String("Res\\ResPk\\"), Qt::CaseInsensitive) ||
                            relative.startsWith(QLatin1String("Res\\ResPK_DJ\\"), Qt::CaseInsensitive);
    const int dot = relative.lastIndexOf(u'.');
    const QString large = cardFolder ? QString(relative).insert(relative.lastIndexOf(u'\\'), QLatin1String("@2x"))
                                     : QString(relative).insert(dot < 0 ? relative.size() : dot, QLatin1String("@2x"));
    const QImage file = CachedImage(state.globals.AppPath, large);
    if (file.isNull()) {
        // Looked up once per scale change: a missing large file would
        // otherwise cost a directory search on every draw.
        it->missing = true;
        return CachedImage(state.globals.AppPath, relative);
    }
    if (it->source != file.cacheKey() || it->image.isNull()) {
        it->source = file.cacheKey();
        it->image = file;
        it->image.setDevicePixelRatio(2);
    }
    return it->image;
}

void TablePainter::SetScale(int scale)
{
    if (std::clamp(scale, 1, 2) == Scale())
        return;
    picGameBack.setScale(scale);
    picSaveGameBack.setScale(scale);
    picBomb1.setScale(scale);
    hand_ = HandPicture{};
    large_.clear();
}

QImage TablePainter::AppImage(const QString& relative)
{
    if (Scale() == 2)
        return LargeImage(relative);
    return CachedImage(state.globals.AppPath, relative);
}

QImage TablePainter::ParentImage(const QString& relative)
{
    return CachedImage(state.globals.ParentPath, relative);
}

bool TablePainter::AppFileExists(const QString& relative)
{
    return ResourceExists(ResolvePath(state.globals.AppPath, relative));
}

void TablePainter::DrawMaskedCell(const QImage& image, int x, int y, int w, int h, QPoint cell,
                                  QPoint maskCell)
{
    if (!HoldsCell(image, cell, w, h) || !HoldsCell(image, maskCell, w, h))
        return;
    picGameBack.maskedTransfer(x, y, w, h, image, cell.x(), cell.y(), image, maskCell.x(),
                   maskCell.y());
}

void TablePainter::DrawMaskedImage(const QImage& image, const QImage& mask, int x, int y, int w, int h)
{
    if (!HoldsCell(image, {0, 0}, w, h) || !HoldsCell(mask, {0, 0}, w, h))
        return;
    picGameBack.maskedTransfer(x, y, w, h, image, 0, 0, mask, 0, 0);
}

void TablePainter::DrawOpaqueCell(const QImage& image, int x, int y, int w, int h, QPoint cell)
{
    if (!HoldsCell(image, cell, w, h))
        return;
    picGameBack.transfer(x, y, w, h, image, cell.x(), cell.y(), RasterOp::Copy);
}

void TablePainter::RestoreBack(int x, int y, int w, int h)
{
    picGameBack.restoreFrom(picSaveGameBack, x, y, w, h);
}

void TablePainter::ComputeSeatLayout()
{
    kelpo::ComputeSeatLayout(state.view.Layout, picGameBack.width(), picGameBack.height(),
                             state.table.ThreeHandDeal != 0);
}

void TablePainter::ResizeTable(int width, int height)
{
    picGameBack.resize(width, height);
    picSaveGameBack.resize(width, height);
    ComputeSeatLayout();
    PlaceTimeBar();
    RepaintTable();
}

void TablePainter::PaintTableBackground()
{
    const int W = picGameBack.width();
    const int H = picGameBack.height();
    picGameBack.setBackColor(TableBackColor);
    picSaveGameBack.setBackColor(TableBackColor);
    if (std::as_const(picGameBack).image().isNull()) {
        picSaveGameBack.resize(W, H);
        return;
    }

    // What goes into both pictures, in drawing order.
    using Piece = Backdrop::Placed;
    std::vector<Piece> pieces;
    pieces.push_back({AppImage(QStringLiteral("Res\\GameBackMid.bmp")), (W - 295) / 2, (H - 345) / 2});
    pieces.push_back({AppImage(QStringLiteral("Res\\LeftLogo.bmp")), 30, 30});
    if (state.table.ThreeHandDeal != 0) {
        const int y = (H - 345) / 2 + 10;
        const QImage band = AppImage(QStringLiteral("Res\\DjBkMid.bmp"));
        for (int x = 143; x <= W / 2 - 30; x += 10)
            pieces.push_back({band, x, y});
        for (int x = W / 2 + 30; x <= W - 100; x += 10)
            pieces.push_back({band, x, y});
        pieces.push_back({AppImage(QStringLiteral("Res\\LtDjHead.bmp")), W / 2 - 156, y});
        pieces.push_back({AppImage(QStringLiteral("Res\\RtDjHead.bmp")), W / 2 + 3, y});
        pieces.push_back({AppImage(QStringLiteral("Res\\LtDjbk.bmp")), 20, 38});
        pieces.push_back({AppImage(QStringLiteral("Res\\RtDjbk.bmp")), W - 143, 38});
    }

    // The saved background is redrawn only when something it is made of
    // changed; the table picture then starts as a copy of it, which is the
    // same as clearing it and drawing the same pieces again.
    std::vector<qint64> key{W, H, static_cast<qint64>(TableBackColor), state.table.ThreeHandDeal != 0};
    for (const Piece& p : pieces)
        key.push_back(p.image.isNull() ? 0 : p.image.cacheKey());
    // A resize or a new scale empties the backdrop, whatever the key says.
    if (key != savedBackKey_ || picSaveGameBack.key() != savedBackPlaced_ || picSaveGameBack.width() != W ||
        picSaveGameBack.height() != H) {
        picSaveGameBack.resize(W, H);
        picSaveGameBack.place(pieces);
        savedBackKey_ = key;
        savedBackPlaced_ = picSaveGameBack.key();
    }
    // The border goes on the table picture only. Drawn as four opaque
    // strips it covers whatever lies under it, so the restore leaves out
    // what the strips cover; tiles that cannot make a strip are drawn one by
    // one over the restored picture.
    const QImage vEdge = AppImage(QStringLiteral("Res\\GameBackVsBian.bmp"));
    const QImage hEdge = AppImage(QStringLiteral("Res\\GameBackHsBian.bmp"));
    const QImage vMirrored = vEdge.isNull() ? QImage() : Mirrored(vEdge, true, false);
    const QImage hMirrored = hEdge.isNull() ? QImage() : Mirrored(hEdge, false, true);
    const QImage left = EdgeStrip(vEdge, H, true);
    const QImage right = EdgeStrip(vMirrored, H, true);
    const QImage top = EdgeStrip(hEdge, W, false);
    const QImage bottom = EdgeStrip(hMirrored, W, false);
    const bool sides = !left.isNull() && !right.isNull() && W >= 2 * LogicalSize(vEdge).width();
    const bool ends = !top.isNull() && !bottom.isNull() && H >= 2 * LogicalSize(hEdge).height();
    const int rightX = W - LogicalSize(vMirrored).width();
    const int bottomY = H - LogicalSize(hMirrored).height();
    if (sides && ends)
        RestoreBack(LogicalSize(left).width(), LogicalSize(top).height(), rightX - LogicalSize(left).width(),
                    bottomY - LogicalSize(top).height());
    else
        RestoreBack(0, 0, W, H);
    marksShown_.fill(0);

    if (!vEdge.isNull()) {
        if (sides) {
            picGameBack.drawImage(0, 0, left);
            picGameBack.drawImage(rightX, 0, right);
        } else {
            for (int y = 0; y < H; y += 5) {
                picGameBack.drawImage(0, y, vEdge);
                picGameBack.drawImage(rightX, y, vMirrored);
            }
        }
    }
    if (!hEdge.isNull()) {
        if (ends) {
            picGameBack.drawImage(0, 0, top);
            picGameBack.drawImage(0, bottomY, bottom);
        } else {
            for (int x = 0; x < W; x += 5) {
                picGameBack.drawImage(x, 0, hEdge);
                picGameBack.drawImage(x, bottomY, hMirrored);
            }
        }
    }
    const QImage corner = AppImage(QStringLiteral("Res\\GameBackJiao.bmp"));
    if (!corner.isNull()) {
        const int cw = LogicalSize(corner).width();
        const int ch = LogicalSize(corner).height();
        picGameBack.drawImage(0, 0, corner);
        picGameBack.drawImage(W - cw, 0, Mirrored(corner, true, false));
        picGameBack.drawImage(0, H - ch, Mirrored(corner, false, true));
        picGameBack.drawImage(W - cw, H - ch, Mirrored(corner, true, true));
    }
}

QImage TablePainter::Mirrored(const QImage& image, bool horizontal, bool vertical)
{
    // Kept, so that the strips made from a mirrored edge are found again by
    // its cache key instead of being tiled anew on every repaint.
    const QPair<qint64, int> key(image.cacheKey(), horizontal + 2 * vertical);
    const auto it = mirrors_.constFind(key);
    if (it != mirrors_.constEnd())
        return *it;
    if (mirrors_.size() >= 16)
        mirrors_.clear();
    return *mirrors_.insert(key, image.mirrored(horizontal, vertical));
}

QImage TablePainter::EdgeStrip(const QImage& tile, int length, bool vertical)
{
    // Only an opaque tile at least one step long tiles into a strip that
    // leaves no gap; anything else is drawn tile by tile. A large tile
    // makes a strip of as many device pixels, marked with the same ratio.
    const int ratio = std::clamp(static_cast<int>(tile.devicePixelRatio()), 1, 2);
    const int step = 5 * ratio;
    if (tile.isNull() || tile.hasAlphaChannel() || length < 1 || length > 16384 ||
        (vertical ? tile.height() : tile.width()) < step)
        return {};
    const QString key = QStringLiteral("%1/%2/%3").arg(tile.cacheKey()).arg(length).arg(vertical);
    const auto it = edgeStrips_.constFind(key);
    if (it != edgeStrips_.constEnd())
        return *it;
    const int pixels = length * ratio;
    QImage strip(vertical ? tile.width() : pixels, vertical ? pixels : tile.height(), QImage::Format_RGB32);
    for (int at = 0; at < pixels; at += step) {
        BlockTransfer(strip, vertical ? 0 : at, vertical ? at : 0, tile.width(), tile.height(), tile, 0, 0,
                      RasterOp::Copy);
    }
    strip.setDevicePixelRatio(ratio);
    if (edgeStrips_.size() >= 8)
        edgeStrips_.clear();
    edgeStrips_.insert(key, strip);
    return strip;
}

void TablePainter::RepaintTable()
{
    if (repainting_)
        return;
    FlagScope busy(repainting_, true);
    ImageFileCache::Batch batch(images_);
    Picture::ChangeBatch changes(picGameBack);
    changes.reportWhole();
    PaintTableBackground(); // clears the picture to the background
    PaintTimeBar();
    {
        FlagScope whole(state.view.IncrementalPaint, false);
        {
            // The picture was just copied from the saved background and only
            // the time bar drawn since: restoring the plays' area again would
            // copy the same pixels, unless the bar reaches into it.
            FlagScope fresh(skipPlaysRestore_, !PlaysArea().intersects(timeBarArea_));
            PaintPlays(false);
        }
        if (!state.globals.UserName.isEmpty()) {
            for (int seat = 0; seat < SeatCount; ++seat) {
                PaintSeatPicture(seat);
                PaintNetBreak(seat);
                PaintReadyHand(seat);
                if (!state.table.NoHandInPlay)
                    RedrawSeatHand(seat);
                PaintRankMark(seat);
                PaintRemainingCount(seat);
                PaintWarnFlag(seat);
            }
            if (RefreshStartButton)
                RefreshStartButton();
            PaintOptionButton(0);
            PaintOptionButton(1);
            PaintPlayButton(0);
            PaintPlayButton(1);
            PaintTributeButton(0);
            PaintTimeBar();
            PaintClock(true);
            PaintScorePanel();
        }
    }
    state.view.IncrementalPaint = true;
}

int TablePainter::HitTestHand(int x, int y) const
{
    return kelpo::HitTestHand(state.view.Layout, state.cards.HandCards, state.cards.SelectedFlags, x, y);
}

int TablePainter::HitOptionButton(int x, int y) const
{
    return kelpo::HitOptionButton(state.view.Layout, state.view, x, y);
}

int TablePainter::HitPlayButton(int x, int y) const
{
    return kelpo::HitPlayButton(state.view.Layout, state.view, state.table.TurnPhase, x, y);
}

int TablePainter::HitTributeButton(int x, int y) const
{
    return kelpo::HitTributeButton(state.view.Layout, state.view, x, y);
}

} // namespace kelpo
