#pragma once
// Copies a rectangle of a picture into a 32-bit bottom-up pixel array and
// draws such an array back, stretched, with a raster operation.

#include <QImage>

#include <cstdint>
#include <vector>

namespace kelpo {

// The raster operations understood by DibPutPixel, by their usual values.
inline constexpr std::uint32_t SRCCOPY = 0x00CC0020;
inline constexpr std::uint32_t SRCPAINT = 0x00EE0086;
inline constexpr std::uint32_t SRCAND = 0x008800C6;
inline constexpr std::uint32_t SRCINVERT = 0x00660046;
inline constexpr std::uint32_t NOTSRCCOPY = 0x00330008;

class clsGetAndPutPixel_DIB {
public:
    // Array layout: byte (channel c, x, y) at ((y * width) + x) * 4 + c;
    // channel 0 blue, 1 green, 2 red, 3 unused; row y = 0 is the bottom row.
    // Pixels of the rectangle outside the source read as black.
    bool DibGetPixel(const QImage& hDCSrc, int lngSrcX, int lngSrcY, int lngWidth, int lngHeight,
                     std::vector<std::uint8_t>& btePixel);
    // Stretches the whole array (lngDibSrcWidth x lngDibSrcHeight) onto
    // lngDstWidth x lngDstHeight at (lngDstX, lngDstY). False for an unknown
    // operation, a size of 0 or less, a size whose byte count overflows, or an
    // array too short for the size given.
    bool DibPutPixel(QImage& hDCDst, int lngDstX, int lngDstY, int lngDstWidth, int lngDstHeight,
                     const std::vector<std::uint8_t>& bteDibSrcPixel, int lngDibSrcWidth, int lngDibSrcHeight,
                     std::uint32_t lngRop);
    // Sizes the array to 4 x width x height bytes; an impossible size leaves
    // it empty and returns false.
    static bool AllocDibPixelSpace(std::vector<std::uint8_t>& bteDibPixel, int lngWidth, int lngHeight);

    bool blnGetPixelFinish() const { return getFinish_; }
    bool blnPutPixelFinish() const { return putFinish_; }

private:
    bool getFinish_ = true;
    bool putFinish_ = true;
};

} // namespace kelpo
