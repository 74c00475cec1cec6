#include "Draw.h"

#include <QLinearGradient>

#include <cmath>

namespace kelpo::resgen {

QFont SansFont(int pixelSize, bool bold, int stretch)
{
    QFont f(QStringLiteral("Noto Sans CJK SC"));
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    f.setStretch(stretch);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

QFont SerifFont(int pixelSize, bool bold)
{
    QFont f(QStringLiteral("Noto Serif CJK SC"));
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

QImage Canvas(int w, int h, QColor fill)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(fill);
    return img;
}

void Smooth(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
}

namespace {

// The flared stem under a club or a spade, rising to `top` (a share of h).
QPainterPath SuitStem(qreal x, qreal y, qreal w, qreal h, qreal top)
{
    QPainterPath stem;
    stem.moveTo(x + w * 0.465, y + h * top);
    stem.quadTo(x + w * 0.445, y + h * 0.89, x + w * 0.29, y + h);
    stem.lineTo(x + w * 0.71, y + h);
    stem.quadTo(x + w * 0.555, y + h * 0.89, x + w * 0.535, y + h * top);
    stem.closeSubpath();
    return stem;
}

} // namespace

QPainterPath SuitPath(int suit, const QRectF& b)
{
    const qreal x = b.x(), y = b.y(), w = b.width(), h = b.height();
    QPainterPath path;
    switch (suit) {
    case 1: { // heart
        path.moveTo(x + w * 0.5, y + h);
        path.cubicTo(x + w * 0.42, y + h * 0.8, x, y + h * 0.62, x, y + h * 0.3);
        path.cubicTo(x, y + h * 0.05, x + w * 0.22, y - h * 0.02, x + w * 0.32, y);
        path.cubicTo(x + w * 0.42, y + h * 0.02, x + w * 0.5, y + h * 0.14, x + w * 0.5, y + h * 0.22);
        path.cubicTo(x + w * 0.5, y + h * 0.14, x + w * 0.58, y + h * 0.02, x + w * 0.68, y);
        path.cubicTo(x + w * 0.78, y - h * 0.02, x + w, y + h * 0.05, x + w, y + h * 0.3);
        path.cubicTo(x + w, y + h * 0.62, x + w * 0.58, y + h * 0.8, x + w * 0.5, y + h);
        break;
    }
    case 3: { // diamond
        path.moveTo(x + w * 0.5, y);
        path.quadTo(x + w * 0.72, y + h * 0.28, x + w * 0.95, y + h * 0.5);
        path.quadTo(x + w * 0.72, y + h * 0.72, x + w * 0.5, y + h);
        path.quadTo(x + w * 0.28, y + h * 0.72, x + w * 0.05, y + h * 0.5);
        path.quadTo(x + w * 0.28, y + h * 0.28, x + w * 0.5, y);
        break;
    }
    case 2: { // club: three leaves and a flared stem
        const qreal r = w * 0.235;
        // Overlapping leaves are united one by one: added to a single path
        // their overlaps would cancel out into holes.
        path.setFillRule(Qt::WindingFill);
        const QPointF leaves[4] = {{0.5, 0.25}, {0.25, 0.56}, {0.75, 0.56}, {0.5, 0.5}};
        for (int i = 0; i < 4; ++i) {
            QPainterPath leaf;
            const qreal lr = i == 3 ? r * 0.7 : r;
            leaf.addEllipse(QPointF(x + w * leaves[i].x(), y + h * leaves[i].y()), lr, lr);
            path = path.united(leaf);
        }
        path = path.united(SuitStem(x, y, w, h, 0.55));
        break;
    }
    default: { // spade: an upside-down heart on a flared stem
        QPainterPath leaf;
        leaf.moveTo(x + w * 0.5, y);
        leaf.cubicTo(x + w * 0.58, y + h * 0.16, x + w, y + h * 0.34, x + w, y + h * 0.6);
        leaf.cubicTo(x + w, y + h * 0.8, x + w * 0.78, y + h * 0.84, x + w * 0.68, y + h * 0.82);
        leaf.cubicTo(x + w * 0.58, y + h * 0.8, x + w * 0.52, y + h * 0.72, x + w * 0.5, y + h * 0.66);
        leaf.cubicTo(x + w * 0.48, y + h * 0.72, x + w * 0.42, y + h * 0.8, x + w * 0.32, y + h * 0.82);
        leaf.cubicTo(x + w * 0.22, y + h * 0.84, x, y + h * 0.8, x, y + h * 0.6);
        leaf.cubicTo(x, y + h * 0.34, x + w * 0.42, y + h * 0.16, x + w * 0.5, y);
        path = leaf.united(SuitStem(x, y, w, h, 0.66));
        break;
    }
    }
    return path;
}

void DrawText(QPainter& p, const QRectF& box, const QString& text, const QFont& font, QColor color,
              int flags)
{
    p.setFont(font);
    p.setPen(color);
    p.drawText(box, flags, text);
}

void DrawOutlinedText(QPainter& p, const QRectF& box, const QString& text, const QFont& font,
                      QColor fill, QColor outline)
{
    p.setFont(font);
    p.setPen(outline);
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy)
            if (dx || dy)
                p.drawText(box.translated(dx, dy), Qt::AlignCenter, text);
    p.setPen(fill);
    p.drawText(box, Qt::AlignCenter, text);
}

void SplitMasked(const QImage& argb, QColor under, QImage* picture, QImage* mask)
{
    const QImage src = argb.convertToFormat(QImage::Format_ARGB32);
    *picture = QImage(src.size(), QImage::Format_RGB32);
    *mask = QImage(src.size(), QImage::Format_RGB32);
    for (int y = 0; y < src.height(); ++y) {
        const QRgb* s = reinterpret_cast<const QRgb*>(src.constScanLine(y));
        QRgb* d = reinterpret_cast<QRgb*>(picture->scanLine(y));
        QRgb* m = reinterpret_cast<QRgb*>(mask->scanLine(y));
        for (int x = 0; x < src.width(); ++x) {
            const int a = qAlpha(s[x]);
            if (a < 128) {
                d[x] = qRgb(0, 0, 0);
                m[x] = qRgb(255, 255, 255);
                continue;
            }
            auto mix = [a](int c, int u) { return (c * a + u * (255 - a) + 127) / 255; };
            d[x] = qRgb(mix(qRed(s[x]), under.red()), mix(qGreen(s[x]), under.green()),
                        mix(qBlue(s[x]), under.blue()));
            m[x] = qRgb(0, 0, 0);
        }
    }
}

void ClearOutsideMask(QImage& picture, const QImage& mask)
{
    for (int y = 0; y < picture.height() && y < mask.height(); ++y)
        for (int x = 0; x < picture.width() && x < mask.width(); ++x)
            if (qRed(mask.pixel(x, y)) != 0)
                picture.setPixel(x, y, qRgb(0, 0, 0));
}

QImage Strip(const std::initializer_list<QImage>& cells)
{
    int w = 0, h = 0;
    for (const QImage& c : cells) {
        w += c.width();
        h = std::max(h, c.height());
    }
    QImage out(w, h, QImage::Format_RGB32);
    out.fill(Qt::black);
    QPainter p(&out);
    int x = 0;
    for (const QImage& c : cells) {
        p.drawImage(x, 0, c);
        x += c.width();
    }
    return out;
}

void Panel(QPainter& p, const QRectF& r, qreal radius, QColor top, QColor bottom, const QPen& border)
{
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.setPen(border);
    p.setBrush(g);
    p.drawRoundedRect(r, radius, radius);
}

QPainterPath Star(QPointF c, qreal outer, qreal inner, int points)
{
    QPainterPath star;
    for (int i = 0; i < points * 2; ++i) {
        const qreal a = -M_PI / 2 + i * M_PI / points;
        const qreal r = (i % 2) ? inner : outer;
        const QPointF pt(c.x() + r * std::cos(a), c.y() + r * std::sin(a));
        if (i == 0)
            star.moveTo(pt);
        else
            star.lineTo(pt);
    }
    star.closeSubpath();
    return star;
}

QImage MaskedCells(const std::vector<QImage>& argbCells, int cellW, int cellH, int maskCell)
{
    QImage strip(std::max<int>(int(argbCells.size()), maskCell + 1) * cellW, cellH, QImage::Format_RGB32);
    strip.fill(Qt::black);
    QPainter p(&strip);
    QImage mask;
    for (std::size_t i = 0; i < argbCells.size(); ++i) {
        if (argbCells[i].isNull())
            continue;
        QImage picture, cellMask;
        SplitMasked(argbCells[i], TableBlue, &picture, &cellMask);
        if (mask.isNull())
            mask = cellMask;
        ClearOutsideMask(picture, mask);
        p.drawImage(int(i) * cellW, 0, picture);
    }
    p.drawImage(maskCell * cellW, 0, mask);
    return strip;
}

void DrawFrameGlyph(QPainter& p, int kind, QColor ink, qreal size)
{
    p.save();
    p.scale(size / 21, size / 21);
    p.setPen(QPen(ink, 1.8, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);
    switch (kind) {
    case 0: p.drawLine(QPointF(6, 14.5), QPointF(15, 14.5)); break;
    case 1: p.drawRect(QRectF(6, 6, 9, 9)); p.drawLine(QPointF(6, 7), QPointF(15, 7)); break;
    case 2:
        p.drawRect(QRectF(5.5, 8.5, 7, 7));
        p.drawPolyline(QPolygonF({QPointF(8.5, 8.5), QPointF(8.5, 5.5), QPointF(15.5, 5.5),
                                  QPointF(15.5, 12.5), QPointF(12.5, 12.5)}));
        break;
    default:
        p.drawLine(QPointF(6.5, 6.5), QPointF(14.5, 14.5));
        p.drawLine(QPointF(14.5, 6.5), QPointF(6.5, 14.5));
        break;
    }
    p.restore();
}

void DrawButtonFace(QPainter& p, const QRectF& r, qreal radius, QColor top, QColor bottom,
                    QColor border)
{
    Panel(p, r.adjusted(0.5, 0.5, -0.5, -0.5), radius, top, bottom, QPen(border, 1));
    // A soft highlight along the upper half gives the face its bulge.
    QLinearGradient shine(r.topLeft(), QPointF(r.left(), r.center().y()));
    shine.setColorAt(0, QColor(255, 255, 255, 110));
    shine.setColorAt(1, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(shine);
    p.drawRoundedRect(r.adjusted(2, 1.5, -2, -r.height() / 2), radius - 1, radius - 1);
}

QByteArray AsciiHtml(const QString& page)
{
    QByteArray out;
    for (const QChar ch : page) {
        if (ch.unicode() < 0x80)
            out += char(ch.unicode());
        else
            out += "&#" + QByteArray::number(ch.unicode()) + ';';
    }
    return out;
}

} // namespace kelpo::resgen
