// The generator's own building blocks: splitting a drawing into a picture
// and its mask, strips of cells sharing one mask, and writing the pack.

#include "resgen/Draw.h"
#include "resgen/Pack.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

using namespace kelpo::resgen;

namespace {

QRgb Rgb(const QImage& img, int x, int y) { return img.pixel(x, y) & 0xFFFFFF; }

TEST(SplitMasked, CoveredPixelsBlendOntoTheClothAndTheRestTurnBlackUnderWhite)
{
    QImage argb(4, 1, QImage::Format_ARGB32);
    argb.setPixel(0, 0, qRgba(200, 100, 50, 255)); // solid
    argb.setPixel(1, 0, qRgba(255, 255, 255, 128)); // just over half covered
    argb.setPixel(2, 0, qRgba(255, 255, 255, 127)); // just under half
    argb.setPixel(3, 0, qRgba(0, 0, 0, 0));         // empty
    QImage picture, mask;
    SplitMasked(argb, QColor(0, 0, 100), &picture, &mask);

    EXPECT_EQ(Rgb(picture, 0, 0), qRgb(200, 100, 50) & 0xFFFFFF);
    EXPECT_EQ(Rgb(mask, 0, 0), 0u);
    // Half white over the dark blue under-colour.
    EXPECT_EQ(Rgb(picture, 1, 0), qRgb(128, 128, 178) & 0xFFFFFF);
    EXPECT_EQ(Rgb(mask, 1, 0), 0u);
    for (int x : {2, 3}) {
        EXPECT_EQ(Rgb(mask, x, 0), 0xFFFFFFu) << x;
        EXPECT_EQ(Rgb(picture, x, 0), 0u) << x;
    }
}

TEST(MaskedCells, EveryCellIsCutToTheFirstCellsShape)
{
    // The second cell spills outside the first one's shape (a glow on
    // hover); under the shared mask that spill must not reach the table.
    QImage small(4, 2, QImage::Format_ARGB32);
    small.fill(Qt::transparent);
    small.setPixel(1, 0, qRgba(255, 0, 0, 255));
    QImage big(4, 2, QImage::Format_ARGB32);
    big.fill(qRgba(0, 255, 0, 255));
    const QImage strip = MaskedCells({small, big}, 4, 2, 3);

    ASSERT_EQ(strip.size(), QSize(16, 2));
    // Cell 1: only the pixel inside the shape survives.
    EXPECT_EQ(Rgb(strip, 5, 0), qRgb(0, 255, 0) & 0xFFFFFF);
    EXPECT_EQ(Rgb(strip, 4, 0), 0u);
    EXPECT_EQ(Rgb(strip, 6, 1), 0u);
    // The mask sits in cell 3; cell 2 is left empty.
    EXPECT_EQ(Rgb(strip, 12 + 1, 0), 0u);
    EXPECT_EQ(Rgb(strip, 12 + 0, 0), 0xFFFFFFu);
    EXPECT_EQ(Rgb(strip, 12 + 3, 1), 0xFFFFFFu);
    EXPECT_EQ(Rgb(strip, 8 + 1, 0), 0u);
}

TEST(Strip, PlacesCellsLeftToRightAndPadsShortOnesWithBlack)
{
    QImage a(2, 3, QImage::Format_RGB32), b(3, 1, QImage::Format_RGB32);
    a.fill(Qt::white);
    b.fill(Qt::red);
    const QImage s = Strip({a, b});
    ASSERT_EQ(s.size(), QSize(5, 3));
    EXPECT_EQ(Rgb(s, 1, 2), 0xFFFFFFu);
    EXPECT_EQ(Rgb(s, 2, 0), qRgb(255, 0, 0) & 0xFFFFFF);
    EXPECT_EQ(Rgb(s, 2, 1), 0u);
}

TEST(Rng, SameSeedSameSequenceOtherSeedOtherSequence)
{
    Rng a(7), b(7), c(8);
    bool differs = false;
    for (int i = 0; i < 100; ++i) {
        const double x = a.unit();
        EXPECT_EQ(x, b.unit());
        EXPECT_GE(x, 0.0);
        EXPECT_LT(x, 1.0);
        differs |= x != c.unit();
    }
    EXPECT_TRUE(differs);
}

TEST(Pack, WritesPlainBitmapsBelowBothRootsAndReportsAFolderItCannotMake)
{
    Pack pack;
    QImage img(3, 2, QImage::Format_ARGB32);
    img.fill(qRgba(10, 20, 30, 255));
    pack.addBitmap(Root::App, "Res/Deep/One.bmp", img);
    pack.addBytes(Root::Parent, "res/Two.txt", "abc");

    QTemporaryDir dir;
    QString error;
    ASSERT_TRUE(pack.write(dir.path() + "/bin", dir.path(), &error)) << error.toStdString();
    QFile bmp(dir.path() + "/bin/Res/Deep/One.bmp");
    ASSERT_TRUE(bmp.open(QIODevice::ReadOnly));
    const QByteArray bytes = bmp.readAll();
    ASSERT_GE(bytes.size(), 54);
    EXPECT_TRUE(bytes.startsWith("BM"));
    // 24 bits per pixel, uncompressed: what every bitmap reader handles.
    EXPECT_EQ(qFromLittleEndian<quint16>(bytes.constData() + 28), 24);
    EXPECT_EQ(qFromLittleEndian<quint32>(bytes.constData() + 30), 0u);
    EXPECT_EQ(QImage(bmp.fileName()).pixel(2, 1) & 0xFFFFFF, qRgb(10, 20, 30) & 0xFFFFFF);
    QFile txt(dir.path() + "/res/Two.txt");
    ASSERT_TRUE(txt.open(QIODevice::ReadOnly));
    EXPECT_EQ(txt.readAll(), "abc");

    // A file where a folder must go: the write fails and says where.
    QFile blocker(dir.path() + "/blocked");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    error.clear();
    EXPECT_FALSE(pack.write(dir.path() + "/blocked/bin", dir.path() + "/blocked", &error));
    EXPECT_TRUE(error.contains("blocked")) << error.toStdString();
}

} // namespace
