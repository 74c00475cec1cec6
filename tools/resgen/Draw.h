#pragma once
// Drawing helpers shared by every part of the pack: fonts, suit shapes,
// masked-bitmap splitting and the palette that ties the set together.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QString>

#include <cstdint>
#include <vector>

namespace kelpo::resgen {

// The table cloth; antialiased edges of masked pictures are blended onto it,
// since that is what they are drawn over.
inline const QColor TableBlue(41, 73, 123);
inline const QColor Gold(232, 190, 92);
inline const QColor DeepGold(168, 122, 40);
inline const QColor Ink(24, 28, 40);
inline const QColor CardRed(200, 24, 40);
inline const QColor CardBlack(22, 24, 30);

// A fixed-seed generator of our own, so the pack does not change with the
// standard library's distributions.
class Rng {
public:
    explicit Rng(std::uint32_t seed) : state_(seed * 2654435761u + 1u) {}
    std::uint32_t next()
    {
        state_ = state_ * 1664525u + 1013904223u;
        return state_ >> 8;
    }
    double unit() { return (next() & 0xFFFFFF) / double(0x1000000); }
    double range(double lo, double hi) { return lo + (hi - lo) * unit(); }

private:
    std::uint32_t state_;
};

QFont SansFont(int pixelSize, bool bold = true, int stretch = 100);
QFont SerifFont(int pixelSize, bool bold = true);

// A transparent ARGB canvas with antialiased drawing switched on.
QImage Canvas(int w, int h, QColor fill = Qt::transparent);
void Smooth(QPainter& p);

// Suit index as printed: 0 spade, 1 heart, 2 club, 3 diamond.
QPainterPath SuitPath(int suit, const QRectF& box);
inline bool SuitIsRed(int suit) { return suit == 1 || suit == 3; }

void DrawText(QPainter& p, const QRectF& box, const QString& text, const QFont& font,
              QColor color, int flags = Qt::AlignCenter);
// Text with a one-pixel dark outline, for labels on busy or gradient grounds.
void DrawOutlinedText(QPainter& p, const QRectF& box, const QString& text, const QFont& font,
                      QColor fill, QColor outline);

// Splits a transparent drawing into the two halves of a masked bitmap: the
// mask is white where the destination shows through and black where the
// picture is; the picture is black wherever the mask is white, so OR after
// AND leaves the destination untouched there. Pixels at least half covered
// belong to the picture, blended onto `under`.
void SplitMasked(const QImage& argb, QColor under, QImage* picture, QImage* mask);

// Forces the picture black wherever the mask is white.
void ClearOutsideMask(QImage& picture, const QImage& mask);

// Places cells side by side (x) in one strip.
QImage Strip(const std::initializer_list<QImage>& cells);

// A page with every character above ASCII written as a character reference,
// so it reads the same whatever encoding a viewer assumes.
QByteArray AsciiHtml(const QString& page);

// A rounded panel filled with a top-to-bottom gradient.
void Panel(QPainter& p, const QRectF& r, qreal radius, QColor top, QColor bottom, const QPen& border);

QPainterPath Star(QPointF centre, qreal outer, qreal inner, int points = 5);

// Cells of cellW x cellH drawn side by side with one shared mask (taken from
// the first cell's shape) in cell number maskCell.
QImage MaskedCells(const std::vector<QImage>& argbCells, int cellW, int cellH, int maskCell);

// Window button glyphs in a size x size cell: 0 minimise, 1 maximise,
// 2 restore, 3 close.
void DrawFrameGlyph(QPainter& p, int kind, QColor ink, qreal size);

// A rounded, lit button face used by the table and window buttons.
void DrawButtonFace(QPainter& p, const QRectF& r, qreal radius, QColor top, QColor bottom,
                    QColor border);

} // namespace kelpo::resgen
