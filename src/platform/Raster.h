#pragma once
// Block transfers between 32-bit pictures: the four raster operations the
// table needs and the masked-bitmap rule built from two of them.

#include <QImage>
#include <QRect>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <vector>

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
//
// With the mask's black runs (MaskBlackRuns of the same mask) the part of
// each row where the mask is black is copied without reading the mask or the
// destination: a card's mask is black but for its corners.
struct BlackRun {
    int begin = 0;
    int end = 0; // one past; begin == end for a row without black
};
std::vector<BlackRun> MaskBlackRuns(const QImage& mask);
// opaqueImage: every pixel of image has full alpha (IsOpaqueRgb32).
void MaskedTransfer(QImage& dst, int dx, int dy, int w, int h, const QImage& image, int ix, int iy,
                    const QImage& mask, int mx, int my, const std::vector<BlackRun>* blackRuns = nullptr,
                    bool opaqueImage = false);
// One row of it: w pixels, with the mask row's black run counted from the
// row's first pixel (an empty run reads the whole mask row). Inline: a card
// redraw calls it for a few pixels at a time. An image known to be opaque in
// every pixel has its black run copied as it is, in the widest moves the
// processor has.
inline void MaskedRow(std::uint32_t* __restrict dst, const std::uint32_t* __restrict image,
                      const std::uint32_t* __restrict mask, int w, BlackRun run, bool opaqueImage = false)
{
    constexpr std::uint32_t opaque = 0xFF000000u;
    const int lo = std::clamp(run.begin, 0, w);
    const int hi = std::clamp(run.end, lo, w);
    for (int i = 0; i < lo; ++i)
        dst[i] = (dst[i] & mask[i]) | image[i] | opaque;
    // Where the mask is black the rule gives the image pixel, opaque.
    if (opaqueImage) {
        std::memcpy(dst + lo, image + lo, static_cast<std::size_t>(hi - lo) * sizeof(std::uint32_t));
    } else {
        for (int i = lo; i < hi; ++i)
            dst[i] = image[i] | opaque;
    }
    for (int i = hi; i < w; ++i)
        dst[i] = (dst[i] & mask[i]) | image[i] | opaque;
}

// Sets n pixels to one colour. The C library's wide-character fill is the
// one 32-bit fill it tunes for the processor (the widest stores it has);
// a plain loop is compiled for the oldest processors the program runs on.
inline void FillPixels(std::uint32_t* row, qsizetype n, std::uint32_t colour)
{
    static_assert(sizeof(wchar_t) == sizeof(std::uint32_t));
    if (n > 0)
        std::wmemset(reinterpret_cast<wchar_t*>(row), static_cast<wchar_t>(colour), static_cast<std::size_t>(n));
}

// Pictures drawn with transfers are always opaque 32-bit; this gives a
// loaded image that form (a null image stays null).
QImage ToRgb32(const QImage& image);
// Whether every pixel of an RGB32 image has full alpha, as decoded files
// do; and the image made so (shared as it is when it already is).
bool IsOpaqueRgb32(const QImage& image);
QImage MadeOpaque(const QImage& image);
// Whether the size-sized blocks of a at pa and b at pb (device pixels, 32
// bits) hold the same pixels; false when either block leaves its image.
bool SameBlock(const QImage& a, QPoint pa, const QImage& b, QPoint pb, QSize size);

} // namespace kelpo
