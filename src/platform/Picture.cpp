#include "platform/Picture.h"

#include "platform/Fonts.h"
#include "platform/PrefaultedImage.h"
#include "platform/Raster.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <utility>

namespace kelpo {

namespace {

// Pictures larger than this are refused: a size from a layout gone wrong
// must not allocate gigabytes.
constexpr int MaxSide = 16384;
// Names, counts and scores: a table needs a few dozen at a time.
constexpr int MaxLaidOutTexts = 256;
// Printed labels kept with the pixels under them, and the largest one kept,
// in logical pixels: labels, counts and scores.
constexpr int MaxPrintedTexts = 64;
constexpr int MaxPrintedPixels = 2048;

// Keys are built on every print of every label: numbers are appended in
// place rather than made into strings of their own.
void AppendNumber(QString& key, qint64 n)
{
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, n).ptr;
    key.append(QLatin1String(digits, static_cast<qsizetype>(end - digits)));
}

} // namespace

Picture::Picture(int width, int height, QRgb backColor)
{
    setBackColor(backColor);
    resize(width, height);
}

void Picture::resize(int width, int height)
{
    differs_.clear(); // the tiles were for the old size
    ++epoch_;
    if (width < 1 || height < 1 || width > MaxSide / scale_ || height > MaxSide / scale_) {
        image_ = QImage();
        return;
    }
    if (image_.width() != width * scale_ || image_.height() != height * scale_) {
        image_ = NewPrefaultedImage(width * scale_, height * scale_, QImage::Format_RGB32);
    }
    image_.setDevicePixelRatio(scale_);
    clear();
}

void Picture::setScale(int scale)
{
    scale = std::clamp(scale, 1, 2);
    if (scale == scale_)
        return;
    const int w = width(), h = height();
    scale_ = scale;
    texts_.clear();
    printed_.clear();
    resize(w, h);
}

QImage Picture::deviceBlock(const QImage& src, int& sx, int& sy, int w, int h) const
{
    if (src.devicePixelRatio() == scale_) {
        sx *= scale_;
        sy *= scale_;
        return src;
    }
    const QImage big = src.copy(sx, sy, w, h).scaled(w * scale_, h * scale_, Qt::IgnoreAspectRatio,
                                                     Qt::FastTransformation);
    sx = sy = 0;
    return big;
}

bool Picture::clipLogical(int& dx, int& dy, int& w, int& h, const QImage& src, int& sx, int& sy, int& ox,
                          int& oy) const
{
    const int x0 = sx, y0 = sy;
    const QSize srcSize(static_cast<int>(src.width() / src.devicePixelRatio()),
                        static_cast<int>(src.height() / src.devicePixelRatio()));
    const QRect r = ClipTransfer(QSize(width(), height()), dx, dy, w, h, srcSize, sx, sy);
    if (r.isEmpty())
        return false;
    // A second source at the same place (the mask) moves with the first.
    ox += sx - x0;
    oy += sy - y0;
    w = r.width();
    h = r.height();
    return true;
}

void Picture::clear()
{
    if (image_.isNull())
        return;
    image_.fill(backColor_);
    markChanged(QRect(0, 0, width(), height()));
}

void Picture::markChanged(const QRect& rect)
{
    const QRect r = rect.intersected(QRect(0, 0, width(), height()));
    if (r.isEmpty())
        return;
    noteTiles(r);
    imageKey_ = image_.cacheKey();
    if (!listener_)
        return;
    if (batchDepth_ > 0) {
        if (!reportWhole_)
            pending_.push_back(r);
    } else
        listener_(r);
}

void Picture::noteTiles(const QRect& r)
{
    const auto at = static_cast<std::size_t>(++writes_ % WriteLogSize);
    writeLog_[at] = r;
    restoreLog_[at] = restoring_;
    if (differs_.empty())
        return; // nothing restored yet: every tile differs anyway
    const int right = std::min(r.right() / TileSize, tilesX_ - 1);
    const int bottom = std::min(r.bottom() / TileSize, static_cast<int>(differs_.size()) / tilesX_ - 1);
    const int first = r.left() / TileSize;
    auto add = [](TileDirt& d, TileDirt part) {
        if (d.x0 > d.x1) {
            d = part;
            return;
        }
        d.x0 = std::min(d.x0, part.x0);
        d.y0 = std::min(d.y0, part.y0);
        d.x1 = std::max(d.x1, part.x1);
        d.y1 = std::max(d.y1, part.y1);
    };
    constexpr std::uint8_t Last = TileSize - 1;
    const auto firstX0 = static_cast<std::uint8_t>(r.left() - first * TileSize);
    const auto lastX1 = static_cast<std::uint8_t>(std::min(r.right() - right * TileSize, TileSize - 1));
    for (int ty = r.top() / TileSize; ty <= bottom; ++ty) {
        TileDirt* row = differs_.data() + static_cast<std::size_t>(ty) * tilesX_;
        const int top = ty * TileSize;
        const auto y0 = static_cast<std::uint8_t>(std::max(r.top(), top) - top);
        const auto y1 = static_cast<std::uint8_t>(std::min(r.bottom(), top + TileSize - 1) - top);
        if (first == right) {
            add(row[first], {firstX0, y0, lastX1, y1});
            continue;
        }
        add(row[first], {firstX0, y0, Last, y1});
        if (y0 == 0 && y1 == Last)
            std::fill(row + first + 1, row + right, WholeTile);
        else
            for (int tx = first + 1; tx < right; ++tx)
                add(row[tx], {0, y0, Last, y1});
        add(row[right], {0, y0, lastX1, y1});
    }
}

bool Picture::logReaches(WriteMark mark, quint64 writes) const
{
    return mark.epoch == epoch_ && imageKey_ == image_.cacheKey() && writes_ - mark.count <= writes;
}

QRect Picture::writtenSince(WriteMark mark) const
{
    if (!logReaches(mark, WriteLogSize - 1))
        return {};
    QRect all;
    for (quint64 n = mark.count + 1; n <= writes_; ++n)
        all |= writeLog_[static_cast<std::size_t>(n % WriteLogSize)];
    return all;
}

bool Picture::untouchedSince(const QRect& r, WriteMark mark) const
{
    if (!logReaches(mark, WriteLogSize - 1))
        return false;
    for (quint64 n = mark.count + 1; n <= writes_; ++n) {
        const QRect& w = writeLog_[static_cast<std::size_t>(n % WriteLogSize)];
        if (w.left() <= r.right() && r.left() <= w.right() && w.top() <= r.bottom() && r.top() <= w.bottom())
            return false;
    }
    return true;
}

bool Picture::onlyRestoredSince(const QRect& rect, WriteMark mark, QRect& restoredPart) const
{
    restoredPart = QRect();
    if (!logReaches(mark, WriteLogSize - 1))
        return false;
    for (quint64 n = mark.count + 1; n <= writes_; ++n) {
        const auto at = static_cast<std::size_t>(n % WriteLogSize);
        const QRect part = writeLog_[at] & rect;
        if (part.isEmpty())
            continue;
        if (!restoreLog_[at])
            return false;
        restoredPart |= part;
    }
    return true;
}

bool Picture::tilesTrusted(const void* reference, qint64 referenceKey) const
{
    const int tilesY = (height() + TileSize - 1) / TileSize;
    return reference_ == reference && referenceKey_ == referenceKey &&
           imageKey_ == image_.cacheKey() && tilesX_ == (width() + TileSize - 1) / TileSize &&
           differs_.size() == static_cast<std::size_t>(tilesX_) * tilesY;
}

void Picture::restoreFrom(const Picture& reference, int x, int y, int w, int h)
{
    const QRect r = QRect(x, y, w, h).intersected(QRect(0, 0, width(), height()));
    if (r.isEmpty() || reference.image_.isNull())
        return;
    if (reference.scale_ != scale_ || reference.image_.size() != image_.size()) {
        transfer(x, y, w, h, reference.image_, x, y, RasterOp::Copy);
        return;
    }
    const QImage& src = reference.image_;
    restoreTiles(&reference, src.cacheKey(), r, [&](const QRect& d) {
        BlockTransfer(image_, d.x(), d.y(), d.width(), d.height(), src, d.x(), d.y(), RasterOp::Copy);
    });
}

void Picture::restoreFrom(const Backdrop& reference, int x, int y, int w, int h)
{
    const QRect r = QRect(x, y, w, h).intersected(QRect(0, 0, width(), height()));
    if (r.isEmpty() || reference.deviceSize().isEmpty())
        return;
    if (reference.scale() != scale_ || reference.deviceSize() != image_.size()) {
        transfer(x, y, w, h, reference.image(), x, y, RasterOp::Copy);
        return;
    }
    // Logged as restores: a caller may know what the backdrop holds there.
    restoring_ = true;
    restoreTiles(&reference, reference.key(), r, [&](const QRect& d) { reference.writeBlock(image_, d); });
    restoring_ = false;
}

template <class CopyRun>
void Picture::restoreTiles(const void* reference, qint64 referenceKey, const QRect& r, CopyRun copyRun)
{
    if (!tilesTrusted(reference, referenceKey)) {
        tilesX_ = (width() + TileSize - 1) / TileSize;
        differs_.assign(static_cast<std::size_t>(tilesX_) * ((height() + TileSize - 1) / TileSize), WholeTile);
        reference_ = reference;
        referenceKey_ = referenceKey;
    }
    ChangeBatch changes(*this);
    const int s = scale_;
    const int lastX = r.right() / TileSize;
    // Runs of differing tiles, each the bounding rectangle of what was drawn
    // in its tiles, a run below one of the same extent joined to it, copied
    // and reported once each.
    std::vector<QRect>& runs = runs_;
    runs.clear();
    std::size_t previousRow = 0;
    for (int ty = r.top() / TileSize; ty <= r.bottom() / TileSize; ++ty) {
        const TileDirt* row = differs_.data() + static_cast<std::size_t>(ty) * tilesX_;
        const std::size_t thisRow = runs.size();
        for (int tx = r.left() / TileSize; tx <= lastX;) {
            if (row[tx].x0 > row[tx].x1) {
                ++tx;
                continue;
            }
            const int from = tx;
            int y0 = TileSize, y1 = 0;
            while (tx <= lastX && row[tx].x0 <= row[tx].x1) {
                y0 = std::min<int>(y0, row[tx].y0);
                y1 = std::max<int>(y1, row[tx].y1);
                ++tx;
            }
            const QRect run = QRect(QPoint(from * TileSize + row[from].x0, ty * TileSize + y0),
                                    QPoint((tx - 1) * TileSize + row[tx - 1].x1, ty * TileSize + y1))
                                  .intersected(r);
            if (run.isEmpty())
                continue;
            bool joined = false;
            for (std::size_t k = previousRow; k < thisRow && !joined; ++k) {
                QRect above = runs[k];
                if (above.left() == run.left() && above.right() == run.right() && above.bottom() + 1 == run.top()) {
                    // Carried into this row, so that the next row can join it.
                    above.setBottom(run.bottom());
                    runs[k] = QRect();
                    runs.push_back(above);
                    joined = true;
                }
            }
            if (!joined)
                runs.push_back(run);
        }
        previousRow = thisRow;
    }
    for (const QRect& run : runs) {
        if (run.isEmpty())
            continue;
        copyRun(QRect(run.x() * s, run.y() * s, run.width() * s, run.height() * s));
        markChanged(run);
    }
    // Tiles whose drawn part lies inside the block now hold the reference's
    // pixels. Only the runs' tiles can: every other tile of the block was
    // clean, or drawn on outside it, and nothing above drew there.
    // (Beyond the picture's edge nothing is drawn.)
    const int left = r.left(), top = r.top();
    const int right = r.right() + 1 == width() ? INT_MAX : r.right();
    const int bottom = r.bottom() + 1 == height() ? INT_MAX : r.bottom();
    for (const QRect& run : runs) {
        if (run.isEmpty())
            continue;
        for (int ty = run.top() / TileSize; ty <= run.bottom() / TileSize; ++ty) {
            TileDirt* row = differs_.data() + static_cast<std::size_t>(ty) * tilesX_;
            const int y = ty * TileSize;
            for (int tx = run.left() / TileSize; tx <= run.right() / TileSize; ++tx) {
                const TileDirt d = row[tx];
                const int x = tx * TileSize;
                if (d.x0 <= d.x1 && left <= x + d.x0 && x + d.x1 <= right && top <= y + d.y0 && y + d.y1 <= bottom)
                    row[tx] = CleanTile;
            }
        }
    }
    imageKey_ = image_.cacheKey();
}

Picture::ChangeBatch::~ChangeBatch()
{
    if (--picture_.batchDepth_ > 0)
        return;
    std::vector<QRect> rects = std::exchange(picture_.pending_, {});
    if (!picture_.listener_) {
        picture_.reportWhole_ = false;
        return;
    }
    if (std::exchange(picture_.reportWhole_, false)) {
        const QRect whole(0, 0, picture_.width(), picture_.height());
        if (!whole.isEmpty())
            picture_.listener_(whole);
        return;
    }
    // Most pieces lie inside a larger one (the cards of a row inside the
    // restored area, a card's bands inside its first drawing): those add
    // nothing to the union. Checked against the largest few only, so a
    // batch of many disjoint pieces costs no quadratic search.
    std::sort(rects.begin(), rects.end(), [](const QRect& a, const QRect& b) {
        return qint64(a.width()) * a.height() > qint64(b.width()) * b.height();
    });
    auto within = [](const QRect& in, const QRect& r) {
        return in.left() <= r.left() && r.right() <= in.right() && in.top() <= r.top() && r.bottom() <= in.bottom();
    };
    constexpr std::size_t Containers = 8;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < rects.size(); ++i) {
        const QRect r = rects[i];
        bool inside = false;
        for (std::size_t k = 0; k < std::min(kept, Containers) && !inside; ++k)
            inside = within(rects[k], r);
        if (!inside)
            rects[kept++] = r;
    }
    rects.resize(kept);
    // A piece that overlaps no other is reported as it is (the runs of a
    // restore, marks apart from each other); only the overlapping ones are
    // merged, and all of them in a batch too large to compare pair by pair.
    // Overlaps merged pairwise, halves at a time: adding rectangle after
    // rectangle to one region costs the region's size each time.
    constexpr std::size_t Compared = 128;
    std::vector<char> overlaps(rects.size(), rects.size() > Compared);
    for (std::size_t i = 0; i < rects.size() && rects.size() <= Compared; ++i) {
        const QRect& a = rects[i];
        for (std::size_t k = i + 1; k < rects.size(); ++k) {
            const QRect& b = rects[k];
            if (a.left() <= b.right() && b.left() <= a.right() && a.top() <= b.bottom() && b.top() <= a.bottom())
                overlaps[i] = overlaps[k] = 1;
        }
    }
    std::vector<QRegion> parts;
    for (std::size_t i = 0; i < rects.size(); ++i) {
        if (overlaps[i])
            parts.emplace_back(rects[i]);
        else
            picture_.listener_(rects[i]);
    }
    for (std::size_t step = 1; step < parts.size(); step *= 2)
        for (std::size_t i = 0; i + step < parts.size(); i += 2 * step)
            parts[i] += parts[i + step];
    if (parts.empty())
        return;
    for (const QRect& r : parts.front())
        picture_.listener_(r);
}

void Picture::transfer(int dx, int dy, int w, int h, const QImage& src, int sx, int sy, RasterOp op)
{
    // A copy gives the source's pixels whatever lies under it: made again
    // with the same arguments, only what was drawn over it since needs it.
    const bool own = src.constBits() == image_.constBits();
    if (op != RasterOp::Copy || src.isNull() || own) {
        transferNow(dx, dy, w, h, src, sx, sy, op);
        return;
    }
    const std::array<int, 6> args{dx, dy, w, h, sx, sy};
    auto slot = static_cast<std::uint64_t>(src.cacheKey());
    for (int a : args)
        slot = (slot ^ static_cast<std::uint32_t>(a)) * 0x9E3779B97F4A7C15ull;
    Copied& c = copies_[(slot >> 40) % copies_.size()];
    if (c.source == src.cacheKey() && c.args == args) {
        QRect since;
        // Past a few dozen writes (a full repaint) reading the log costs
        // more than it may save: the whole copy is made again.
        constexpr quint64 LookBack = 32;
        if (logReaches(c.mark, LookBack)) {
            for (quint64 n = c.mark.count + 1; n <= writes_; ++n)
                since |= writeLog_[static_cast<std::size_t>(n % WriteLogSize)] & c.changed;
        } else {
            since = c.changed;
        }
        if (!since.isEmpty())
            transferNow(since.x(), since.y(), since.width(), since.height(), src, sx + since.x() - dx,
                        sy + since.y() - dy, op);
        c.mark = writeMark();
        return;
    }
    c.source = src.cacheKey();
    c.args = args;
    c.changed = transferNow(dx, dy, w, h, src, sx, sy, op);
    c.mark = writeMark();
}

QRect Picture::transferNow(int dx, int dy, int w, int h, const QImage& src, int sx, int sy, RasterOp op)
{
    if (scale_ != 1) {
        int unused = 0;
        if (src.isNull() || !clipLogical(dx, dy, w, h, src, sx, sy, unused, unused))
            return {};
        const QImage block = deviceBlock(src, sx, sy, w, h);
        const int s = scale_;
        BlockTransfer(image_, dx * s, dy * s, w * s, h * s, block, sx, sy, op);
        markChanged(QRect(dx, dy, w, h));
        return QRect(dx, dy, w, h).intersected(QRect(0, 0, width(), height()));
    }
    int cx = dx, cy = dy, csx = sx, csy = sy;
    const QRect changed = ClipTransfer(image_.size(), cx, cy, w, h, src.size(), csx, csy);
    BlockTransfer(image_, dx, dy, w, h, src, sx, sy, op);
    markChanged(changed);
    return changed.intersected(QRect(0, 0, width(), height()));
}

void Picture::maskedTransfer(int dx, int dy, int w, int h, const QImage& image, int ix, int iy,
                             const QImage& mask, int mx, int my)
{
    if (scale_ != 1) {
        if (image.isNull() || mask.isNull() || !clipLogical(dx, dy, w, h, image, ix, iy, mx, my) ||
            !clipLogical(dx, dy, w, h, mask, mx, my, ix, iy))
            return;
        const QImage big = deviceBlock(image, ix, iy, w, h);
        const bool whole = mask.devicePixelRatio() == scale_;
        const QImage bigMask = deviceBlock(mask, mx, my, w, h);
        const int s = scale_;
        MaskedTransfer(image_, dx * s, dy * s, w * s, h * s, big, ix, iy, bigMask, mx, my,
                       whole ? &blackRuns(mask) : nullptr, opaque(image));
        markChanged(QRect(dx, dy, w, h));
        return;
    }
    int cx = dx, cy = dy, cix = ix, ciy = iy;
    const QRect changed = ClipTransfer(image_.size(), cx, cy, w, h, image.size(), cix, ciy);
    MaskedTransfer(image_, dx, dy, w, h, image, ix, iy, mask, mx, my, &blackRuns(mask), opaque(image));
    markChanged(changed);
}

namespace {

// A fact about an image, worked out once and kept for the few dozen images
// a table draws with.
template <class T, class Compute>
const T& KeptFor(QHash<qint64, T>& kept, const QImage& image, qsizetype limit, Compute compute)
{
    auto it = kept.constFind(image.cacheKey());
    if (it != kept.constEnd())
        return *it;
    if (kept.size() >= limit)
        kept.clear();
    return *kept.insert(image.cacheKey(), compute(image));
}

} // namespace

const std::vector<BlackRun>& Picture::blackRuns(const QImage& mask)
{
    // Cards, marks and buttons share a handful of masks.
    return KeptFor(blackRuns_, mask, 32, MaskBlackRuns);
}

bool Picture::opaque(const QImage& image)
{
    // Enlarging an image pixel by pixel keeps it opaque: the source decides.
    return KeptFor(opaque_, image, 128, IsOpaqueRgb32);
}

QString Picture::fontKey(qsizetype reserve) const
{
    QString key;
    key.reserve(font.fontName.size() + 8 + reserve);
    key += font.fontName;
    key += QChar(u'\x1f');
    AppendNumber(key, font.fontSize);
    key += font.fontBold ? u'b' : u'n';
    key += QChar(u'\x1f');
    return key;
}

const Picture::LaidOutText& Picture::layOut(const QString& key, const QString& text)
{
    auto it = texts_.constFind(key);
    if (it != texts_.constEnd())
        return *it;
    if (texts_.size() >= MaxLaidOutTexts)
        texts_.clear();
    LaidOutText t;
    t.font = FontForText(MakeFont(font.fontName, font.fontSize, font.fontBold), text);
    t.text = QStaticText(text);
    t.text.setTextFormat(Qt::PlainText);
    t.text.prepare(QTransform::fromScale(scale_, scale_), t.font);
    t.ascent = QFontMetrics(t.font).ascent();
    return *texts_.insert(key, t);
}

bool Picture::blockEquals(const QRect& device, const QImage& block) const
{
    return SameBlock(image_, device.topLeft(), block, {0, 0}, device.size());
}

void Picture::print(int x, int y, const QString& text)
{
    if (image_.isNull() || text.isEmpty())
        return;
    QString key = fontKey(text.size() + 32);
    key += text;
    const LaidOutText& t = layOut(key, text);
    // The table was laid out for character cells one em high whose baseline
    // lies 0.88 em below the top, as in the Chinese faces it was drawn
    // with; the CJK faces here carry a much taller ascent, which would push
    // every label down and out of the boxes drawn for it.
    const int top = y + (t.font.pixelSize() * 88 + 50) / 100 - t.ascent;
    const QSizeF size = t.text.size();
    // Glyphs may reach a pixel past their advance (italics, antialiasing).
    const QRect changed(x - 1, top - 1, static_cast<int>(std::ceil(size.width())) + 3,
                        static_cast<int>(std::ceil(size.height())) + 3);
    const QRect block = changed.intersected(QRect(0, 0, width(), height()));
    const QRect device(block.topLeft() * scale_, block.size() * scale_);

    // The same text at the same place over the same pixels comes out the
    // same: labels and counts printed again over what was there before are
    // copied from then instead of being drawn glyph by glyph.
    QString printKey = key;
    printKey += QChar(u'\x1f');
    AppendNumber(printKey, font.foreColor);
    printKey += u'@';
    AppendNumber(printKey, x);
    printKey += u',';
    AppendNumber(printKey, top);
    const bool keep = !block.isEmpty() && block.width() * block.height() <= MaxPrintedPixels;
    if (keep && replay(printKey, device, changed))
        return;
    const QImage before = keep ? image_.copy(device) : QImage();
    {
        QPainter p(&image_);
        p.setFont(t.font);
        p.setPen(QColor::fromRgb(font.foreColor));
        p.drawStaticText(x, top, t.text);
    }
    markChanged(changed);
    if (keep)
        remember(printKey, device, before);
}

bool Picture::replay(const QString& key, const QRect& device, const QRect& changed)
{
    const auto at = printed_.constFind(key);
    if (at == printed_.constEnd())
        return false;
    for (const Printed& p : at->variants) {
        if (p.device == device && !p.before.isNull() && blockEquals(device, p.before)) {
            BlockTransfer(image_, device.x(), device.y(), device.width(), device.height(), p.after, 0, 0,
                          RasterOp::Copy);
            markChanged(changed);
            return true;
        }
    }
    return false;
}

void Picture::remember(const QString& key, const QRect& device, const QImage& before)
{
    if (printed_.size() >= MaxPrintedTexts && !printed_.contains(key))
        printed_.clear();
    // A label is often printed over two different grounds in turn (a count
    // whose cell reaches over the label beside it).
    PrintedAt& at = printed_[key];
    at.variants[static_cast<std::size_t>(at.next)] = Printed{device, before, image_.copy(device)};
    at.next = (at.next + 1) % static_cast<int>(at.variants.size());
}

int Picture::textWidth(const QString& text) const
{
    return QFontMetrics(FontForText(MakeFont(font.fontName, font.fontSize, font.fontBold), text)).horizontalAdvance(text);
}

void Picture::line(int x1, int y1, int x2, int y2, QRgb colour)
{
    if (image_.isNull())
        return;
    QPainter p(&image_);
    p.setPen(QPen(QColor::fromRgb(colour), 1));
    p.drawLine(x1, y1, x2, y2);
    markChanged(QRect(QPoint(std::min(x1, x2), std::min(y1, y2)), QPoint(std::max(x1, x2), std::max(y1, y2))));
}

void Picture::rectangle(int x1, int y1, int x2, int y2, QRgb colour)
{
    if (image_.isNull())
        return;
    QPainter p(&image_);
    p.setPen(QPen(QColor::fromRgb(colour), 1));
    p.setBrush(Qt::NoBrush);
    const QRect outline(QPoint(std::min(x1, x2), std::min(y1, y2)), QPoint(std::max(x1, x2), std::max(y1, y2)));
    p.drawRect(outline.adjusted(0, 0, -1, -1));
    markChanged(outline);
}

void Picture::fillRect(int x, int y, int w, int h, QRgb colour)
{
    const QRect changed = QRect(x, y, w, h).intersected(QRect(0, 0, width(), height()));
    if (changed.isEmpty())
        return;
    const QRect r(changed.topLeft() * scale_, changed.size() * scale_);
    const std::uint32_t c = colour | 0xFF000000u;
    for (int row = r.top(); row <= r.bottom(); ++row) {
        auto* d = reinterpret_cast<std::uint32_t*>(image_.scanLine(row)) + r.left();
        FillPixels(d, r.width(), c);
    }
    markChanged(changed);
}

void Picture::drawImage(int x, int y, const QImage& image)
{
    if (image_.isNull() || image.isNull())
        return;
    // A source marked with a ratio covers its logical size.
    const QSize size = image.deviceIndependentSize().toSize();
    if (!image.hasAlphaChannel()) {
        transfer(x, y, size.width(), size.height(), image, 0, 0, RasterOp::Copy);
        return;
    }
    // Icons with transparency are blended by the painter; the same icon at
    // the same place over the same pixels is copied from the last time.
    const QRect changed(QPoint(x, y), size);
    const QRect block = changed.intersected(QRect(0, 0, width(), height()));
    const QRect device(block.topLeft() * scale_, block.size() * scale_);
    const bool keep = !block.isEmpty() && block.width() * block.height() <= MaxPrintedPixels;
    QString key;
    if (keep) {
        key.reserve(48);
        key += QLatin1String("\x1eimage ");
        AppendNumber(key, image.cacheKey());
        key += u'@';
        AppendNumber(key, x);
        key += u',';
        AppendNumber(key, y);
    }
    if (keep && replay(key, device, changed))
        return;
    const QImage before = keep ? image_.copy(device) : QImage();
    {
        QPainter p(&image_);
        p.drawImage(x, y, image);
    }
    markChanged(changed);
    if (keep)
        remember(key, device, before);
}

} // namespace kelpo
