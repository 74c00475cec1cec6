#include "platform/Picture.h"

#include "platform/Fonts.h"
#include "platform/Raster.h"

#include <QFontMetrics>
#include <QPainter>

#include <cmath>
#include <utility>

namespace kelpo {

namespace {

// Pictures larger than this are refused: a size from a layout gone wrong
// must not allocate gigabytes.
constexpr int MaxSide = 16384;
// Names, counts and scores: a table needs a few dozen at a time.
constexpr int MaxLaidOutTexts = 256;

} // namespace

Picture::Picture(int width, int height, QRgb backColor)
{
    setBackColor(backColor);
    resize(width, height);
}

void Picture::resize(int width, int height)
{
    if (width < 1 || height < 1 || width > MaxSide || height > MaxSide) {
        image_ = QImage();
        return;
    }
    if (image_.width() != width || image_.height() != height)
        image_ = QImage(width, height, QImage::Format_RGB32);
    clear();
}

void Picture::clear()
{
    if (image_.isNull())
        return;
    image_.fill(backColor_);
    markChanged(image_.rect());
}

void Picture::markChanged(const QRect& rect)
{
    const QRect r = rect.intersected(image_.rect());
    if (r.isEmpty() || !listener_)
        return;
    if (batchDepth_ > 0)
        pending_ += r;
    else
        listener_(r);
}

Picture::ChangeBatch::~ChangeBatch()
{
    if (--picture_.batchDepth_ > 0)
        return;
    const QRegion changed = std::exchange(picture_.pending_, QRegion());
    if (!picture_.listener_)
        return;
    for (const QRect& r : changed)
        picture_.listener_(r);
}

void Picture::transfer(int dx, int dy, int w, int h, const QImage& src, int sx, int sy, RasterOp op)
{
    int cx = dx, cy = dy, csx = sx, csy = sy;
    const QRect changed = ClipTransfer(image_.size(), cx, cy, w, h, src.size(), csx, csy);
    BlockTransfer(image_, dx, dy, w, h, src, sx, sy, op);
    markChanged(changed);
}

void Picture::maskedTransfer(int dx, int dy, int w, int h, const QImage& image, int ix, int iy,
                             const QImage& mask, int mx, int my)
{
    int cx = dx, cy = dy, cix = ix, ciy = iy;
    const QRect changed = ClipTransfer(image_.size(), cx, cy, w, h, image.size(), cix, ciy);
    MaskedTransfer(image_, dx, dy, w, h, image, ix, iy, mask, mx, my);
    markChanged(changed);
}

const Picture::LaidOutText& Picture::layOut(const QString& text)
{
    const QString key = font.fontName + QChar(u'\x1f') + QString::number(font.fontSize) + (font.fontBold ? u'b' : u'n') +
                        QChar(u'\x1f') + text;
    auto it = texts_.constFind(key);
    if (it != texts_.constEnd())
        return *it;
    if (texts_.size() >= MaxLaidOutTexts)
        texts_.clear();
    LaidOutText t;
    t.font = MakeFont(font.fontName, font.fontSize, font.fontBold);
    t.text = QStaticText(text);
    t.text.setTextFormat(Qt::PlainText);
    t.text.prepare(QTransform(), t.font);
    t.ascent = QFontMetrics(t.font).ascent();
    return *texts_.insert(key, t);
}

void Picture::print(int x, int y, const QString& text)
{
    if (image_.isNull() || text.isEmpty())
        return;
    const LaidOutText& t = layOut(text);
    QPainter p(&image_);
    p.setFont(t.font);
    p.setPen(QColor::fromRgb(font.foreColor));
    // The table was laid out for fonts whose character cell is about one em
    // high with the baseline at its foot; the CJK faces here carry a much
    // taller ascent, which would push every label down by several pixels.
    const int top = y + t.font.pixelSize() - t.ascent;
    p.drawStaticText(x, top, t.text);
    const QSizeF size = t.text.size();
    // Glyphs may reach a pixel past their advance (italics, antialiasing).
    markChanged(QRect(x - 1, top - 1, static_cast<int>(std::ceil(size.width())) + 3,
                      static_cast<int>(std::ceil(size.height())) + 3));
}

int Picture::textWidth(const QString& text) const
{
    return QFontMetrics(MakeFont(font.fontName, font.fontSize, font.fontBold)).horizontalAdvance(text);
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
    const QRect r = QRect(x, y, w, h).intersected(image_.rect());
    if (r.isEmpty())
        return;
    const std::uint32_t c = colour | 0xFF000000u;
    for (int row = r.top(); row <= r.bottom(); ++row) {
        auto* d = reinterpret_cast<std::uint32_t*>(image_.scanLine(row)) + r.left();
        std::fill(d, d + r.width(), c);
    }
    markChanged(r);
}

void Picture::drawImage(int x, int y, const QImage& image)
{
    if (image_.isNull() || image.isNull())
        return;
    if (!image.hasAlphaChannel()) {
        transfer(x, y, image.width(), image.height(), image, 0, 0, RasterOp::Copy);
        return;
    }
    {
        QPainter p(&image_);
        p.drawImage(x, y, image);
    }
    markChanged(QRect(QPoint(x, y), image.size()));
}

} // namespace kelpo
