#include "platform/Raster.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <vector>

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

} // namespace

QImage ToRgb32(const QImage& image)
{
    if (image.isNull() || IsRgb32(image))
        return image;
    return image.convertToFormat(QImage::Format_RGB32);
}

bool IsOpaqueRgb32(const QImage& image)
{
    if (!IsRgb32(image))
        return false;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
        std::uint32_t all = OpaqueAlpha;
        for (int x = 0; x < image.width(); ++x)
            all &= line[x];
        if ((all & OpaqueAlpha) != OpaqueAlpha)
            return false;
    }
    return true;
}

QImage MadeOpaque(const QImage& image)
{
    if (image.isNull() || IsOpaqueRgb32(image))
        return image;
    QImage out = ToRgb32(image);
    out.detach();
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<std::uint32_t*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            line[x] |= OpaqueAlpha;
    }
    return out;
}

bool SameBlock(const QImage& a, QPoint pa, const QImage& b, QPoint pb, QSize size)
{
    if (size.isEmpty())
        return true;
    if (!a.rect().contains(QRect(pa, size)) || !b.rect().contains(QRect(pb, size)))
        return false;
    const std::size_t bytes = static_cast<std::size_t>(size.width()) * 4;
    for (int row = 0; row < size.height(); ++row) {
        if (std::memcmp(a.constScanLine(pa.y() + row) + static_cast<std::size_t>(pa.x()) * 4,
                        b.constScanLine(pb.y() + row) + static_cast<std::size_t>(pb.x()) * 4, bytes) != 0)
            return false;
    }
    return true;
}

QRect ClipTransfer(QSize dstSize, int& dx, int& dy, int w, int h, QSize srcSize, int& sx, int& sy)
{
    if (!ClipAll({{&dx, &dy, dstSize}, {&sx, &sy, srcSize}}, w, h))
        return {};
    return QRect(dx, dy, w, h);
}

namespace {

// Base pointer and row pitch in pixels, taken once: scanLine() on a
// non-const image detaches on every call, which costs more than a card row.
struct Rows {
    std::uint32_t* base;
    qsizetype pitch;
    std::uint32_t* at(int x, int y) const { return base + y * pitch + x; }
};
struct ConstRows {
    const std::uint32_t* base;
    qsizetype pitch;
    const std::uint32_t* at(int x, int y) const { return base + y * pitch + x; }
};

Rows RowsOf(QImage& image)
{
    return {reinterpret_cast<std::uint32_t*>(image.bits()), image.bytesPerLine() / 4};
}

ConstRows RowsOf(const QImage& image)
{
    return {reinterpret_cast<const std::uint32_t*>(image.constBits()), image.bytesPerLine() / 4};
}

void AndRow(std::uint32_t* __restrict d, const std::uint32_t* __restrict s, int w)
{
    for (int i = 0; i < w; ++i)
        d[i] = (d[i] & s[i]) | OpaqueAlpha;
}

void OrRow(std::uint32_t* __restrict d, const std::uint32_t* __restrict s, int w)
{
    for (int i = 0; i < w; ++i)
        d[i] = d[i] | s[i] | OpaqueAlpha;
}

void NotRow(std::uint32_t* __restrict d, const std::uint32_t* __restrict s, int w)
{
    for (int i = 0; i < w; ++i)
        d[i] = ~s[i] | OpaqueAlpha;
}

bool IsBlack(std::uint32_t maskPixel) { return (maskPixel & 0x00FFFFFFu) == 0; }

} // namespace

std::vector<BlackRun> MaskBlackRuns(const QImage& maskIn)
{
    const QImage mask = ToRgb32(maskIn);
    std::vector<BlackRun> runs(static_cast<std::size_t>(std::max(0, mask.height())));
    for (int y = 0; y < mask.height(); ++y) {
        const auto* line = reinterpret_cast<const std::uint32_t*>(mask.constScanLine(y));
        // The longest run of black pixels in the row.
        BlackRun best;
        for (int x = 0; x < mask.width();) {
            if (!IsBlack(line[x])) {
                ++x;
                continue;
            }
            const int from = x;
            while (x < mask.width() && IsBlack(line[x]))
                ++x;
            if (x - from > best.end - best.begin)
                best = {from, x};
        }
        runs[static_cast<std::size_t>(y)] = best;
    }
    return runs;
}

void BlockTransfer(QImage& dst, int dx, int dy, int w, int h, const QImage& srcIn, int sx, int sy,
                   RasterOp op)
{
    if (dst.isNull() || srcIn.isNull() || !IsRgb32(dst))
        return;
    const QImage src = ToRgb32(srcIn);
    if (!ClipAll({{&dx, &dy, dst.size()}, {&sx, &sy, src.size()}}, w, h))
        return;
    // The same image as source and destination: rows may overlap, so copy
    // in the direction that reads each row before it is written.
    const bool same = src.constBits() == dst.constBits();
    const Rows d = RowsOf(dst);
    const ConstRows s = same ? ConstRows{d.base, d.pitch} : RowsOf(src);
    for (int r = 0; r < h; ++r) {
        const int row = (same && dy > sy) ? h - 1 - r : r;
        std::uint32_t* out = d.at(dx, dy + row);
        const std::uint32_t* in = s.at(sx, sy + row);
        if (op == RasterOp::Copy || same) {
            if (op == RasterOp::Copy) {
                std::memmove(out, in, static_cast<std::size_t>(w) * 4);
                continue;
            }
            // Overlapping with an operation: go through a copy of the row.
            std::vector<std::uint32_t> tmp(in, in + w);
            in = tmp.data();
            op == RasterOp::And ? AndRow(out, in, w) : op == RasterOp::Or ? OrRow(out, in, w) : NotRow(out, in, w);
            continue;
        }
        switch (op) {
        case RasterOp::And:
            AndRow(out, in, w);
            break;
        case RasterOp::Or:
            OrRow(out, in, w);
            break;
        case RasterOp::NotCopy:
            NotRow(out, in, w);
            break;
        case RasterOp::Copy:
            break;
        }
    }
}

void MaskedTransfer(QImage& dst, int dx, int dy, int w, int h, const QImage& imageIn, int ix, int iy,
                    const QImage& maskIn, int mx, int my, const std::vector<BlackRun>* blackRuns, bool opaqueImage)
{
    if (dst.isNull() || imageIn.isNull() || maskIn.isNull() || !IsRgb32(dst))
        return;
    const QImage image = ToRgb32(imageIn);
    const QImage mask = ToRgb32(maskIn);
    if (!ClipAll({{&dx, &dy, dst.size()}, {&ix, &iy, image.size()}, {&mx, &my, mask.size()}}, w, h))
        return;
    const Rows d = RowsOf(dst);
    const ConstRows c = RowsOf(image);
    const ConstRows m = RowsOf(mask);
    if (blackRuns && blackRuns->size() != static_cast<std::size_t>(mask.height()))
        blackRuns = nullptr;
    for (int r = 0; r < h; ++r) {
        std::uint32_t* out = d.at(dx, dy + r);
        const std::uint32_t* in = c.at(ix, iy + r);
        const std::uint32_t* keep = m.at(mx, my + r);
        if (!blackRuns) {
            MaskedRow(out, in, keep, w, {});
            continue;
        }
        const BlackRun& run = (*blackRuns)[static_cast<std::size_t>(my + r)];
        MaskedRow(out, in, keep, w, {run.begin - mx, run.end - mx}, opaqueImage);
    }
}

} // namespace kelpo
