#include "skin/clsGetAndPutPixel_DIB.h"
#include "skin/clsPaintImageByNullBack.h"

#include <gtest/gtest.h>

using namespace kelpo;

namespace {

QImage Filled(int w, int h, QRgb c)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(c);
    return image;
}

int Differing(const QImage& a, const QImage& b)
{
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            n += a.pixel(x, y) != b.pixel(x, y);
    return n;
}

} // namespace

TEST(NullBackPainter, KeyColourPixelsLeaveTheDestinationAsItWas)
{
    Picture back(40, 30, qRgb(10, 20, 30));
    for (int x = 0; x < 40; ++x)
        back.image().setPixel(x, 5, qRgb(x * 6, 100, 200)); // a pattern to keep
    const QImage before = back.image().copy();
    Picture tmp;
    clsPaintImageByNullBack painter;

    // Only key colour: nothing changes.
    painter.PictureBox_PaintImageByNullBack(back, Filled(20, 20, qRgb(255, 255, 255)), tmp, qRgb(255, 255, 255), 5, 2);
    EXPECT_EQ(Differing(back.image(), before), 0);

    // No key colour: the whole rectangle is covered, even by black pixels.
    QImage solid = Filled(10, 8, qRgb(0, 0, 0));
    solid.setPixel(3, 3, qRgb(200, 1, 1));
    painter.PictureBox_PaintImageByNullBack(back, solid, tmp, qRgb(255, 255, 255), 30, 1);
    for (int y = 1; y < 9; ++y)
        for (int x = 30; x < 40; ++x)
            EXPECT_EQ(back.image().pixel(x, y), solid.pixel(x - 30, y - 1));

    // Mixed: the key colour is transparent, every other colour exact; the
    // part beyond the destination's edge is cut off.
    QImage mixed = Filled(12, 12, qRgb(0, 0, 0));
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 6; ++x)
            mixed.setPixel(x, y, qRgb(255, 255, 255 - y));
    const QImage beforeMixed = back.image().copy();
    painter.PictureBox_PaintImageByNullBack(back, mixed, tmp, qRgb(255, 255, 255), -3, 0);
    for (int y = 0; y < 12; ++y) {
        for (int x = 0; x < 9; ++x) {
            const QRgb src = mixed.pixel(x + 3, y);
            const QRgb want = src == qRgb(255, 255, 255) ? beforeMixed.pixel(x, y) : src;
            EXPECT_EQ(back.image().pixel(x, y), want) << x << "," << y;
        }
    }

    QImage form = Filled(20, 20, qRgb(5, 5, 5));
    painter.Form_PaintImageByNullBack(form, Filled(4, 4, qRgb(7, 7, 7)), tmp, qRgb(0, 0, 0), 1, 1);
    EXPECT_EQ(form.pixel(1, 1), qRgb(7, 7, 7));
    EXPECT_EQ(form.pixel(0, 0), qRgb(5, 5, 5));
    painter.PictureBox_PaintImageByNullBack(back, QImage(), tmp, 0, 0, 0); // no picture: nothing
}

TEST(DibPixels, GetReadsBottomUpBgrQuads)
{
    QImage src = Filled(4, 4, qRgb(0, 0, 0));
    src.setPixel(1, 2, qRgb(11, 12, 13)); // bottom-left of the 2 x 2 at (1, 1)
    src.setPixel(2, 1, qRgb(21, 22, 23)); // top-right
    clsGetAndPutPixel_DIB dib;
    EXPECT_TRUE(dib.blnGetPixelFinish());
    std::vector<std::uint8_t> px;
    ASSERT_TRUE(dib.DibGetPixel(src, 1, 1, 2, 2, px));
    ASSERT_EQ(px.size(), 16u);
    EXPECT_EQ(px[2], 11); // channel 2 (red), x 0, y 0
    EXPECT_EQ(px[0], 13);
    EXPECT_EQ(px[(1 * 2 + 1) * 4 + 1], 22); // green of x 1, y 1
    EXPECT_TRUE(dib.blnGetPixelFinish());

    // Outside the source reads as black; impossible sizes fail.
    ASSERT_TRUE(dib.DibGetPixel(src, 3, 3, 2, 2, px));
    EXPECT_EQ(px[(1 * 2 + 1) * 4 + 2], 0);
    EXPECT_FALSE(dib.DibGetPixel(src, 0, 0, 0, 2, px));
    EXPECT_FALSE(dib.blnGetPixelFinish());
    EXPECT_FALSE(dib.DibGetPixel(src, 0, 0, 50000, 50000, px));
}

TEST(DibPixels, PutStretchesWithTheRasterOperation)
{
    clsGetAndPutPixel_DIB dib;
    std::vector<std::uint8_t> px;
    ASSERT_TRUE(clsGetAndPutPixel_DIB::AllocDibPixelSpace(px, 2, 2));
    // Bottom row: red, green; top row: blue, white.
    const std::uint8_t quads[16] = {0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0, 255, 255, 255, 0};
    std::copy(std::begin(quads), std::end(quads), px.begin());
    QImage dst = Filled(6, 6, qRgb(1, 1, 1));
    ASSERT_TRUE(dib.DibPutPixel(dst, 1, 1, 4, 4, px, 2, 2, SRCCOPY));
    EXPECT_TRUE(dib.blnPutPixelFinish());
    EXPECT_EQ(dst.pixel(1, 1), qRgb(0, 0, 255));
    EXPECT_EQ(dst.pixel(2, 2), qRgb(0, 0, 255));
    EXPECT_EQ(dst.pixel(4, 1), qRgb(255, 255, 255));
    EXPECT_EQ(dst.pixel(1, 4), qRgb(255, 0, 0));
    EXPECT_EQ(dst.pixel(2, 3), qRgb(255, 0, 0));
    EXPECT_EQ(dst.pixel(3, 3), qRgb(0, 255, 0));
    EXPECT_EQ(dst.pixel(4, 4), qRgb(0, 255, 0));
    EXPECT_EQ(dst.pixel(0, 0), qRgb(1, 1, 1));
    EXPECT_EQ(dst.pixel(5, 5), qRgb(1, 1, 1));

    ASSERT_TRUE(dib.DibPutPixel(dst, 0, 0, 2, 2, px, 2, 2, SRCAND));
    EXPECT_EQ(dst.pixel(0, 1), qRgb(1, 0, 0));
    ASSERT_TRUE(dib.DibPutPixel(dst, 4, 4, 4, 4, px, 2, 2, NOTSRCCOPY)); // cut at the edge
    EXPECT_EQ(dst.pixel(5, 5), qRgb(255, 255, 0)); // blue inverted

    EXPECT_FALSE(dib.DibPutPixel(dst, 0, 0, 2, 2, px, 3, 3, SRCCOPY)); // array too short
    EXPECT_FALSE(dib.blnPutPixelFinish());
    EXPECT_FALSE(dib.DibPutPixel(dst, 0, 0, 2, 2, px, 40000, 20000, SRCCOPY)); // byte count overflows
    EXPECT_FALSE(dib.DibPutPixel(dst, 0, 0, 2, 2, px, 2, 2, 0x12345678u));
    EXPECT_FALSE(clsGetAndPutPixel_DIB::AllocDibPixelSpace(px, 40000, 20000));
    EXPECT_TRUE(px.empty());
}
