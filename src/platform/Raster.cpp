#include "platform/Raster.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <initializer_list>

namespace kelpo {

namespace {

constexpr std::uint32_t OpaqueAlpha = 0xFF000000u;

struct Origin {
    int* x;
    int* y;
    QSize size;
};

// Moves every origin by the same amount until all are inside their image,
// then trims the size to what all images can hold. Returns false when
// nothing is left.
bool ClipAll(std::initializer_list<Origin> origins, int& w, int& h)
{
    if (w <= 0 || h <= 0)
        return false;
    int shiftX = 0;
    int shiftY = 0;
    for (const Origin& o : origins) {
        shiftX = std::max(shiftX, -*o.x);
        shiftY = std::max(shiftY, -*o.y);
    }
    for (const Origin& o : origins) {
        *o.x += shiftX;
        *o.y += shiftY;
    }
    // Widths stay in 64 bits: callers may pass sizes near the int limit.
    long long cw = static_cast<long long>(w) - shiftX;
    long long ch = static_cast<long long>(h) - shiftY;
    for (const Origin& o : origins) {
        cw = std::min<long long>(cw, static_cast<long long>(o.size.width()) - *o.x);
        ch = std::min<long long>(ch, static_cast<long long>(o.size.height()) - *o.y);
    }
    if (cw <= 0 || ch <= 0)
        return false;
    w = static_cast<int>(cw);
    h = static_cast<int>(ch);
    return true;
}

bool IsRgb32(const QImage& image) { return image.format() == QImage::Format_RGB32; }

const std::uint32_t* RowOf(const QImage& image, int x, int y)
{
    return reinterpret_cast<const std::uint32_t*>(image.constScanLine(y)) + x;
}

std::uint32_t* RowOf(QImage& image, int x, int y)
{
    return reinterpret_cast<std::uint32_t*>(image.scanLine(y)) + x;
}

} // namespace

QImage ToRgb32(const QImage& image)
{
    if (image.isNull() || IsRgb32(image))
        return image;
    return image.convertToFormat(QImage::Format_RGB32);
}

QRect ClipTransfer(QSize dstSize, int& dx, int& dy, int w, int h, QSize srcSize, int& sx, int& sy)
{
    if (!ClipAll({{&dx, &dy, dstSize}, {&sx, &sy, srcSize}}, w, h))
        return {};
    return QRect(dx, dy, w, h);
}

void BlockTransfer(QImage& dst, int dx, int dy, int w, int h, const QImage& srcIn, int sx, int sy,
                   RasterOp op)
{
    if (dst.isNull() || srcIn.isNull() || !IsRgb32(dst))
        return;
    const QImage src = ToRgb32(srcIn);
    if (!ClipAll({{&dx, &dy, dst.size()}, {&sx, &sy, src.size()}}, w, h))
        return;
    // The same image as source and destination: the rows may overlap.
    const bool same = src.constBits() == dst.constBits();
    for (int r = 0; r < h; ++r) {
        const int row = (same && dy > sy) ? h - 1 - r : r;
        const std::uint32_t* s = RowOf(src, sx, sy + row);
        std::uint32_t* d = RowOf(dst, dx, dy + row);
        switch (op) {
        case RasterOp::Copy:
            std::memmove(d, s, static_cast<std::size_t>(w) * 4);
            break;
        case RasterOp::And:
            for (int i = 0; i < w; ++i)
                d[i] = (d[i] & s[i]) | OpaqueAlpha;
            break;
        case RasterOp::Or:
            for (int i = 0; i < w; ++i)
                d[i] = d[i] | s[i] | OpaqueAlpha;
            break;
        case RasterOp::NotCopy:
            for (int i = 0; i < w; ++i)
                d[i] = ~s[i] | OpaqueAlpha;
            break;
        }
    }
}

void MaskedTransfer(QImage& dst, int dx, int dy, int w, int h, const QImage& imageIn, int ix, int iy,
                    const QImage& maskIn, int mx, int my)
{
    if (dst.isNull() || imageIn.isNull() || maskIn.isNull() || !IsRgb32(dst))
        return;
    const QImage image = ToRgb32(imageIn);
    const QImage mask = ToRgb32(maskIn);
    if (!ClipAll({{&dx, &dy, dst.size()}, {&ix, &iy, image.size()}, {&mx, &my, mask.size()}}, w, h))
        return;
    for (int r = 0; r < h; ++r) {
        const std::uint32_t* c = RowOf(image, ix, iy + r);
        const std::uint32_t* m = RowOf(mask, mx, my + r);
        std::uint32_t* d = RowOf(dst, dx, dy + r);
        for (int i = 0; i < w; ++i)
            d[i] = (d[i] & m[i]) | c[i] | OpaqueAlpha;
    }
}

} // namespace kelpo
