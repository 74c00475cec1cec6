#pragma once
// Block transfers between 32-bit pictures: the four raster operations the
// table needs and the masked-bitmap rule built from two of them.

#include <QImage>
#include <QRect>

namespace kelpo {

enum class RasterOp {
    Copy,    // d = s
    And,     // d = s & d
    Or,      // d = s | d
    NotCopy, // d = ~s
};

// The rectangle of a w x h transfer from (sx, sy) of a source of size srcSize
// to (dx, dy) of a destination of size dstSize, shrunk so that both ends stay
// inside their images. Returns the destination rectangle; (sx, sy) is moved
// along with its left/top edge. Empty when nothing overlaps.
QRect ClipTransfer(QSize dstSize, int& dx, int& dy, int w, int h, QSize srcSize, int& sx, int& sy);

// Copies the w x h block at (sx, sy) of src to (dx, dy) of dst with op.
// Both images must be Format_RGB32 (anything else is converted on the fly
// for src and ignored for dst). Parts outside either image are skipped.
void BlockTransfer(QImage& dst, int dx, int dy, int w, int h, const QImage& src, int sx, int sy,
                   RasterOp op);

// The masked-bitmap rule: the mask cell ANDed, then the image cell ORed, at
// the same place and size, fused into one pass. Black image pixels over a
// white mask leave the destination as it was.
void MaskedTransfer(QImage& dst, int dx, int dy, int w, int h, const QImage& image, int ix, int iy,
                    const QImage& mask, int mx, int my);

// Pictures drawn with transfers are always opaque 32-bit; this gives a
// loaded image that form (a null image stays null).
QImage ToRgb32(const QImage& image);

} // namespace kelpo
