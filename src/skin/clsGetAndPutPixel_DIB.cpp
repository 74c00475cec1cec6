#include "skin/clsGetAndPutPixel_DIB.h"

#include <algorithm>
#include <limits>

namespace kelpo {

namespace {

// Width x 4 x height as a byte count, or -1 when it does not fit a signed
// 32-bit count.
long long ByteCount(int width, int height)
{
    if (width <= 0 || height <= 0)
        return -1;
    const long long bytes = static_cast<long long>(width) * 4 * height;
    return bytes > std::numeric_limits<std::int32_t>::max() ? -1 : bytes;
}

} // namespace

bool clsGetAndPutPixel_DIB::AllocDibPixelSpace(std::vector<std::uint8_t>& bteDibPixel, int lngWidth, int lngHeight)
{
    const long long bytes = ByteCount(lngWidth, lngHeight);
    if (bytes < 0) {
        bteDibPixel.clear();
        return false;
    }
    bteDibPixel.assign(static_cast<std::size_t>(bytes), 0);
    return true;
}

bool clsGetAndPutPixel_DIB::DibGetPixel(const QImage& hDCSrc, int lngSrcX, int lngSrcY, int lngWidth,
                                        int lngHeight, std::vector<std::uint8_t>& btePixel)
{
    getFinish_ = false;
    if (hDCSrc.isNull() || !AllocDibPixelSpace(btePixel, lngWidth, lngHeight))
        return false;
    const QImage src = hDCSrc.convertToFormat(QImage::Format_RGB32);
    for (int row = 0; row < lngHeight; ++row) {
        const long long sy = static_cast<long long>(lngSrcY) + (lngHeight - 1 - row);
        if (sy < 0 || sy >= src.height())
            continue;
        const auto* line = reinterpret_cast<const QRgb*>(src.constScanLine(static_cast<int>(sy)));
        for (int x = 0; x < lngWidth; ++x) {
            const long long sx = static_cast<long long>(lngSrcX) + x;
            if (sx < 0 || sx >= src.width())
                continue;
            const QRgb p = line[sx];
            std::uint8_t* d = &btePixel[(static_cast<std::size_t>(row) * lngWidth + x) * 4];
            d[0] = static_cast<std::uint8_t>(qBlue(p));
            d[1] = static_cast<std::uint8_t>(qGreen(p));
            d[2] = static_cast<std::uint8_t>(qRed(p));
            d[3] = 0;
        }
    }
    getFinish_ = true;
    return true;
}

bool clsGetAndPutPixel_DIB::DibPutPixel(QImage& hDCDst, int lngDstX, int lngDstY, int lngDstWidth,
                                        int lngDstHeight, const std::vector<std::uint8_t>& bteDibSrcPixel,
                                        int lngDibSrcWidth, int lngDibSrcHeight, std::uint32_t lngRop)
{
    putFinish_ = false;
    const long long bytes = ByteCount(lngDibSrcWidth, lngDibSrcHeight);
    if (bytes < 0 || static_cast<long long>(bteDibSrcPixel.size()) < bytes || lngDstWidth <= 0 ||
        lngDstHeight <= 0 || hDCDst.isNull())
        return false;
    if (lngRop != SRCCOPY && lngRop != SRCPAINT && lngRop != SRCAND && lngRop != SRCINVERT && lngRop != NOTSRCCOPY)
        return false;
    if (hDCDst.format() != QImage::Format_RGB32)
        hDCDst = hDCDst.convertToFormat(QImage::Format_RGB32);
    const int x0 = std::max(lngDstX, 0);
    const int y0 = std::max(lngDstY, 0);
    const long long x1 = std::min<long long>(static_cast<long long>(lngDstX) + lngDstWidth, hDCDst.width());
    const long long y1 = std::min<long long>(static_cast<long long>(lngDstY) + lngDstHeight, hDCDst.height());
    for (long long y = y0; y < y1; ++y) {
        // Nearest source row; the array's first row is the bottom one.
        const long long sy = (y - lngDstY) * lngDibSrcHeight / lngDstHeight;
        const long long srcRow = lngDibSrcHeight - 1 - sy;
        auto* line = reinterpret_cast<QRgb*>(hDCDst.scanLine(static_cast<int>(y)));
        for (long long x = x0; x < x1; ++x) {
            const long long sx = (x - lngDstX) * lngDibSrcWidth / lngDstWidth;
            const std::uint8_t* s = &bteDibSrcPixel[static_cast<std::size_t>((srcRow * lngDibSrcWidth + sx) * 4)];
            const std::uint32_t src = 0xFF000000u | (std::uint32_t(s[2]) << 16) | (std::uint32_t(s[1]) << 8) | s[0];
            std::uint32_t& d = line[x];
            switch (lngRop) {
            case SRCCOPY: d = src; break;
            case SRCPAINT: d = d | src; break;
            case SRCAND: d = (d & src) | 0xFF000000u; break;
            case SRCINVERT: d = (d ^ src) | 0xFF000000u; break;
            default: d = ~src | 0xFF000000u; break;
            }
        }
    }
    putFinish_ = true;
    return true;
}

} // namespace kelpo
