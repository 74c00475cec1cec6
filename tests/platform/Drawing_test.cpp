#include "platform/Fonts.h"
#include "platform/ImageFiles.h"
#include "platform/Picture.h"
#include "platform/PlainBitmap.h"
#include "platform/PrefaultedImage.h"
#include "platform/Raster.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <utility>
#include <vector>

using namespace kelpo;

namespace {

QImage Filled(int w, int h, QRgb c)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(c);
    return image;
}

} // namespace

TEST(BlockTransfer, FourOperationsKeepPicturesOpaque)
{
    const QImage src = Filled(2, 1, qRgb(0x0F, 0xF0, 0x33));
    QImage dst = Filled(4, 1, qRgb(0x3C, 0x3C, 0x3C));
    BlockTransfer(dst, 0, 0, 1, 1, src, 0, 0, RasterOp::Copy);
    BlockTransfer(dst, 1, 0, 1, 1, src, 0, 0, RasterOp::And);
    BlockTransfer(dst, 2, 0, 1, 1, src, 0, 0, RasterOp::Or);
    BlockTransfer(dst, 3, 0, 1, 1, src, 0, 0, RasterOp::NotCopy);
    EXPECT_EQ(dst.pixel(0, 0), qRgb(0x0F, 0xF0, 0x33));
    EXPECT_EQ(dst.pixel(1, 0), qRgb(0x0C, 0x30, 0x30));
    EXPECT_EQ(dst.pixel(2, 0), qRgb(0x3F, 0xFC, 0x3F));
    EXPECT_EQ(dst.pixel(3, 0), qRgb(0xF0, 0x0F, 0xCC));

    // Pixels written without alpha are given it before a plain copy.
    QImage bare(2, 1, QImage::Format_RGB32);
    std::fill_n(reinterpret_cast<QRgb*>(bare.bits()), 2, 0x00123456u);
    const QImage made = MadeOpaque(bare);
    EXPECT_EQ(reinterpret_cast<const QRgb*>(made.constScanLine(0))[1], 0xFF123456u);
    EXPECT_EQ(MadeOpaque(made).cacheKey(), made.cacheKey());
}

TEST(BlockTransfer, ClipsAtEveryEdgeOfBothPictures)
{
    QImage src(4, 4, QImage::Format_RGB32);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            src.setPixel(x, y, qRgb(x * 10, y * 10, 99));
    QImage dst = Filled(5, 5, qRgb(1, 1, 1));
    // Destination left/top outside: the source moves along.
    BlockTransfer(dst, -2, -1, 4, 4, src, 0, 0, RasterOp::Copy);
    EXPECT_EQ(dst.pixel(0, 0), qRgb(20, 10, 99));
    EXPECT_EQ(dst.pixel(1, 2), qRgb(30, 30, 99));
    EXPECT_EQ(dst.pixel(2, 0), qRgb(1, 1, 1));
    // Source outside on the left, destination beyond the right edge.
    dst.fill(qRgb(1, 1, 1));
    BlockTransfer(dst, 3, 3, 4, 4, src, -1, 0, RasterOp::Copy);
    EXPECT_EQ(dst.pixel(3, 3), qRgb(1, 1, 1));
    EXPECT_EQ(dst.pixel(4, 3), qRgb(0, 0, 99));
    EXPECT_EQ(dst.pixel(4, 4), qRgb(0, 10, 99));
    // Nothing overlaps, absurd sizes, null images: nothing happens.
    const QImage kept = dst.copy();
    BlockTransfer(dst, 5, 0, 3, 3, src, 0, 0, RasterOp::Copy);
    BlockTransfer(dst, 0, 0, 3, 3, src, 4, 0, RasterOp::Copy);
    BlockTransfer(dst, 0, 0, -3, 3, src, 0, 0, RasterOp::Copy);
    BlockTransfer(dst, -2147483647, 0, 2147483647, 2147483647, src, 0, 0, RasterOp::Copy);
    BlockTransfer(dst, 0, 0, 3, 3, QImage(), 0, 0, RasterOp::Copy);
    EXPECT_EQ(dst, kept);
}

TEST(MaskedTransfer, EqualsAndThenOr)
{
    QImage image(3, 1, QImage::Format_RGB32);
    image.setPixel(0, 0, qRgb(0, 0, 0));     // transparent
    image.setPixel(1, 0, qRgb(200, 10, 10)); // shown
    image.setPixel(2, 0, qRgb(0, 0, 0));     // black shown
    QImage mask(3, 1, QImage::Format_RGB32);
    mask.setPixel(0, 0, qRgb(255, 255, 255));
    mask.setPixel(1, 0, qRgb(0, 0, 0));
    mask.setPixel(2, 0, qRgb(0, 0, 0));
    QImage fused = Filled(3, 1, qRgb(50, 60, 70));
    QImage twoStep = fused.copy();
    MaskedTransfer(fused, 0, 0, 3, 1, image, 0, 0, mask, 0, 0);
    BlockTransfer(twoStep, 0, 0, 3, 1, mask, 0, 0, RasterOp::And);
    BlockTransfer(twoStep, 0, 0, 3, 1, image, 0, 0, RasterOp::Or);
    EXPECT_EQ(fused, twoStep);
    EXPECT_EQ(fused.pixel(0, 0), qRgb(50, 60, 70));
    EXPECT_EQ(fused.pixel(1, 0), qRgb(200, 10, 10));
    EXPECT_EQ(fused.pixel(2, 0), qRgb(0, 0, 0));
    // A mask smaller than the image limits the transfer.
    QImage cut = Filled(3, 1, qRgb(50, 60, 70));
    MaskedTransfer(cut, 0, 0, 3, 1, image, 0, 0, mask.copy(0, 0, 2, 1), 0, 0);
    EXPECT_EQ(cut.pixel(2, 0), qRgb(50, 60, 70));
}

TEST(ImageFileCache, FollowsTheFileOnDisk)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.bmp"));
    ImageFileCache cache;
    EXPECT_TRUE(cache.load(path).isNull());
    ASSERT_TRUE(Filled(3, 2, qRgb(1, 2, 3)).save(path, "BMP"));
    const QImage first = cache.load(path);
    ASSERT_EQ(first.size(), QSize(3, 2));
    EXPECT_EQ(first.format(), QImage::Format_RGB32);
    EXPECT_EQ(cache.load(path).cacheKey(), first.cacheKey());

    ASSERT_TRUE(Filled(3, 2, qRgb(9, 8, 7)).save(path, "BMP"));
    EXPECT_EQ(cache.load(path).pixel(0, 0), qRgb(9, 8, 7));
    QFile::remove(path);
    EXPECT_TRUE(cache.load(path).isNull());
    EXPECT_EQ(cache.size(), 0);

    // Replaced by renaming another file over it, or gone with its folder.
    const QString sub = dir.filePath(QStringLiteral("sub"));
    ASSERT_TRUE(QDir().mkpath(sub));
    const QString inner = sub + QStringLiteral("/b.bmp");
    ASSERT_TRUE(Filled(2, 2, qRgb(1, 1, 1)).save(inner, "BMP"));
    EXPECT_EQ(cache.load(inner).pixel(0, 0), qRgb(1, 1, 1));
    const QString other = sub + QStringLiteral("/c.bmp");
    ASSERT_TRUE(Filled(2, 2, qRgb(5, 5, 5)).save(other, "BMP"));
    ASSERT_EQ(::rename(QFile::encodeName(other).constData(), QFile::encodeName(inner).constData()), 0);
    EXPECT_EQ(cache.load(inner).pixel(0, 0), qRgb(5, 5, 5));
    // Changed by another program: seen as soon as that program is done.
    const QString third = sub + QStringLiteral("/d.bmp");
    ASSERT_TRUE(Filled(2, 2, qRgb(6, 6, 6)).save(third, "BMP"));
    ASSERT_EQ(QProcess::execute(QStringLiteral("mv"), {third, inner}), 0);
    EXPECT_EQ(cache.load(inner).pixel(0, 0), qRgb(6, 6, 6));
    ASSERT_TRUE(QDir().rename(sub, dir.filePath(QStringLiteral("moved"))));
    EXPECT_TRUE(cache.load(inner).isNull());
    // A new folder of the old name is watched anew.
    ASSERT_TRUE(QDir().mkpath(sub));
    ASSERT_TRUE(Filled(2, 2, qRgb(2, 2, 2)).save(inner, "BMP"));
    EXPECT_EQ(cache.load(inner).pixel(0, 0), qRgb(2, 2, 2));
    ASSERT_TRUE(Filled(2, 2, qRgb(3, 3, 3)).save(inner, "BMP"));
    EXPECT_EQ(cache.load(inner).pixel(0, 0), qRgb(3, 3, 3));
}

TEST(ReadImageFile, RefusesCutOffHugeAndUnknownFiles)
{
    QTemporaryDir dir;
    const QString good = dir.filePath(QStringLiteral("g.bmp"));
    ASSERT_TRUE(Filled(80, 105, qRgb(1, 2, 3)).save(good, "BMP"));
    EXPECT_FALSE(ReadImageFile(good).isNull());

    const QString cut = dir.filePath(QStringLiteral("c.bmp"));
    QFile::copy(good, cut);
    QFile(cut).resize(QFileInfo(good).size() - 10);
    EXPECT_TRUE(ReadImageFile(cut).isNull());

    // A header announcing 60000 x 60000 pixels must not be decoded.
    const QString huge = dir.filePath(QStringLiteral("h.bmp"));
    {
        QFile f(huge);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        QDataStream s(&f);
        s.setByteOrder(QDataStream::LittleEndian);
        const quint32 stride = 60000u * 3u;
        s.writeRawData("BM", 2);
        s << quint32(54 + stride * 60000u) << quint32(0) << quint32(54);
        s << quint32(40) << qint32(60000) << qint32(60000) << quint16(1) << quint16(24) << quint32(0)
          << quint32(0) << qint32(0) << qint32(0) << quint32(0) << quint32(0);
        f.resize(54 + qint64(stride) * 60000);
    }
    EXPECT_TRUE(ReadImageFile(huge).isNull());

    const QString text = dir.filePath(QStringLiteral("t.txt"));
    QFile::copy(good, text);
    EXPECT_TRUE(ReadImageFile(text).isNull());
    EXPECT_TRUE(ReadImageFile(dir.path()).isNull());
}

TEST(ReadPlainBitmap, MatchesTheGeneralDecoderAndLeavesItTheRest)
{
    QTemporaryDir dir;
    const auto general = [](const QString& path) {
        QImageReader reader(path, "bmp");
        return reader.read();
    };
    // Every row padding (widths 1 to 4), and pixel data placed after a gap.
    for (int w = 1; w <= 5; ++w) {
        QImage image(w, 3, QImage::Format_RGB32);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < w; ++x)
                image.setPixel(x, y, qRgb(x * 50, y * 80, (x * 7 + y * 13) * 9 % 256));
        const QString path = dir.filePath(QStringLiteral("p%1.bmp").arg(w));
        ASSERT_TRUE(image.save(path, "BMP"));
        if (w == 5) {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::ReadWrite));
            QByteArray bytes = f.readAll();
            bytes.insert(54, QByteArray(6, 'x'));
            bytes[10] = 60;
            bytes[38] = 0x13; // 2835 dots per metre
            bytes[39] = 0x0B;
            f.seek(0);
            f.write(bytes);
        }
        const std::optional<QImage> plain = ReadPlainBitmap(path);
        ASSERT_TRUE(plain.has_value()) << w;
        const QImage expected = general(path);
        EXPECT_EQ(*plain, expected) << w;
        EXPECT_EQ(plain->format(), QImage::Format_RGB32);
        EXPECT_EQ(plain->dotsPerMeterX(), expected.dotsPerMeterX());
        // A file cut short is refused, not filled in.
        QFile::resize(path, QFileInfo(path).size() - 1);
        EXPECT_TRUE(ReadPlainBitmap(path).value_or(Filled(1, 1, 0)).isNull()) << w;
    }
    // Top row first, and other depths, go to the general decoder.
    const QString indexed = dir.filePath(QStringLiteral("i.bmp"));
    ASSERT_TRUE(Filled(4, 4, qRgb(9, 9, 9)).convertToFormat(QImage::Format_Indexed8).save(indexed, "BMP"));
    EXPECT_FALSE(ReadPlainBitmap(indexed).has_value());
    EXPECT_EQ(ReadImageFile(indexed).pixel(3, 3), qRgb(9, 9, 9));
    const QString topDown = dir.filePath(QStringLiteral("t.bmp"));
    ASSERT_TRUE(QFile::copy(dir.filePath(QStringLiteral("p2.bmp")), topDown));
    {
        QFile f(topDown);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.seek(22);
        const qint32 up = -3;
        f.write(reinterpret_cast<const char*>(&up), 4);
    }
    EXPECT_FALSE(ReadPlainBitmap(topDown).has_value());
}

TEST(Picture, TextLinesAndRectangles)
{
    Picture p(120, 40, qRgb(0, 0, 0));
    p.font.foreColor = qRgb(255, 255, 255);
    p.print(10, 5, QStringLiteral("余牌"));
    QRect box;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 120; ++x)
            if (p.image().pixel(x, y) != qRgb(0, 0, 0))
                box |= QRect(x, y, 1, 1);
    EXPECT_GE(box.left(), 10);
    EXPECT_LE(box.left(), 12);
    // Ideographs fill the cell; antialiasing may reach a pixel above it.
    EXPECT_GE(box.top(), 5 - 1);
    EXPECT_LE(box.bottom(), 5 + 14);

    // The same pixels whatever resolution the picture claims (a screen's).
    const QImage at96 = p.image().copy();
    Picture dense(120, 40, qRgb(0, 0, 0)); // a picture that has printed nothing yet
    dense.font.foreColor = qRgb(255, 255, 255);
    dense.image().setDotsPerMeterX(5669); // 144 dpi
    dense.image().setDotsPerMeterY(5669);
    dense.print(10, 5, QStringLiteral("余牌"));
    EXPECT_EQ(dense.image().copy(), at96);
    p.clear();

    p.clear();
    p.line(2, 3, 8, 3, qRgb(9, 9, 9));
    EXPECT_EQ(p.image().pixel(2, 3), qRgb(9, 9, 9));
    EXPECT_EQ(p.image().pixel(8, 3), qRgb(9, 9, 9));
    EXPECT_EQ(p.image().pixel(9, 3), qRgb(0, 0, 0));
    p.rectangle(20, 10, 25, 14, qRgb(7, 7, 7));
    EXPECT_EQ(p.image().pixel(25, 14), qRgb(7, 7, 7));
    EXPECT_EQ(p.image().pixel(26, 14), qRgb(0, 0, 0));
    EXPECT_EQ(p.image().pixel(22, 12), qRgb(0, 0, 0));

    p.resize(0, 10); // nothing to draw on, nothing breaks
    p.print(0, 0, QStringLiteral("x"));
    p.fillRect(0, 0, 5, 5, 0);
    EXPECT_TRUE(p.image().isNull());
}

TEST(Fonts, ChineseFamiliesArePinned)
{
    EXPECT_EQ(QFontInfo(MakeFont(QStringLiteral("黑体"), 9, false)).family(), QStringLiteral("Noto Sans CJK SC"));
    EXPECT_EQ(QFontInfo(MakeFont(QStringLiteral("宋体"), 9, false)).family(), QStringLiteral("Noto Serif CJK SC"));
    EXPECT_EQ(PointsToPixels(9), 12);
    EXPECT_EQ(PointsToPixels(0), 1);
}

TEST(Fonts, TextWithoutLettersSkipsShapingAndLooksTheSame)
{
    const auto drawn = [](const QFont& font, const QString& text) {
        QImage image(240, 40, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter p(&image);
        p.setFont(font);
        p.drawText(2, 30, text);
        return image;
    };
    const QString plain = QStringLiteral("本轮和局！（机器人3）12张");
    for (const QFont& font : {MakeFont(QStringLiteral("宋体"), 20, true), MakeFont(QStringLiteral("黑体"), 9, false)}) {
        const QFont unshaped = FontForText(font, plain);
        EXPECT_TRUE(unshaped.styleStrategy() & QFont::PreferNoShaping);
        EXPECT_EQ(drawn(unshaped, plain), drawn(font, plain));
        // Latin letters keep the shaping that kerns them.
        EXPECT_FALSE(FontForText(font, QStringLiteral("AVA 12")).styleStrategy() & QFont::PreferNoShaping);
    }
}

TEST(Fonts, DefaultFamilyNamedByItsFaceDrawsTheSame)
{
    const auto drawn = [](const QFont& font) {
        QImage image(320, 40, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter p(&image);
        p.setFont(font);
        p.drawText(2, 30, QStringLiteral("用户ID Wave 聊天室 12"));
        return image;
    };
    const QFont before = QGuiApplication::font();
    ResolveDefaultFamily();
    const QFont after = QGuiApplication::font();
    QGuiApplication::setFont(before);
    EXPECT_EQ(QFontInfo(after).family(), QFontInfo(before).family());
    EXPECT_EQ(drawn(after), drawn(before));
    QFont boldAfter = after, boldBefore = before;
    boldAfter.setBold(true);
    boldBefore.setBold(true);
    EXPECT_EQ(drawn(boldAfter), drawn(boldBefore));
}

TEST(NewPrefaultedImage, ZeroedWritableAndSharedLikeAnyImage)
{
    // Small, a 2 MB page's worth, and a last part rounded up to a 2 MB page.
    for (const QSize size : {QSize(3, 2), QSize(1024, 512), QSize(700, 600), QSize(1500, 1000)}) {
        QImage image = NewPrefaultedImage(size.width(), size.height(), QImage::Format_RGB32);
        ASSERT_EQ(image.size(), size);
        EXPECT_EQ(image.bytesPerLine(), size.width() * 4);
        EXPECT_EQ(image.pixel(size.width() - 1, size.height() - 1), qRgb(0, 0, 0));
        image.fill(qRgb(1, 2, 3));
        const QImage shared = image;
        image.setPixel(0, 0, qRgb(4, 5, 6));
        EXPECT_EQ(shared.pixel(0, 0), qRgb(1, 2, 3));
        EXPECT_EQ(image.pixel(size.width() - 1, size.height() - 1), qRgb(1, 2, 3));
    }
    EXPECT_TRUE(NewPrefaultedImage(0, 5, QImage::Format_RGB32).isNull());
}

TEST(Picture, AtScaleTwoTakesLogicalCoordinates)
{
    Picture p(40, 30, qRgb(0, 0, 0));
    std::vector<QRect> changed;
    p.setChangeListener([&](const QRect& r) { changed.push_back(r); });
    p.setScale(2);
    ASSERT_EQ(p.image().size(), QSize(80, 60));
    EXPECT_EQ(p.width(), 40);
    changed.clear();

    // A small source is enlarged pixel by pixel, clipped at the picture's
    // edge, and the change is reported in logical pixels.
    QImage small = Filled(4, 4, qRgb(200, 0, 0));
    small.setPixel(0, 0, qRgb(0, 0, 255));
    p.transfer(38, 28, 4, 4, small, 0, 0, RasterOp::Copy);
    ASSERT_EQ(changed.size(), 1u);
    EXPECT_EQ(changed[0], QRect(38, 28, 2, 2));
    EXPECT_EQ(p.image().pixel(76, 56), qRgb(0, 0, 255));
    EXPECT_EQ(p.image().pixel(77, 57), qRgb(0, 0, 255));
    EXPECT_EQ(p.image().pixel(78, 58), qRgb(200, 0, 0));

    // A source at the same ratio is read in device pixels: one logical
    // pixel of it is two by two of its own.
    QImage big = Filled(8, 8, qRgb(0, 0, 0));
    big.setPixel(3, 2, qRgb(0, 255, 0));
    big.setDevicePixelRatio(2);
    const QImage white = Filled(8, 8, qRgb(255, 255, 255));
    p.fillRect(0, 0, 10, 10, qRgb(9, 9, 9));
    p.maskedTransfer(1, 1, 3, 3, big, 1, 1, Filled(8, 8, qRgb(0, 0, 0)), 0, 0);
    EXPECT_EQ(p.image().pixel(2 + 1, 2 + 0), qRgb(0, 255, 0)); // (3,2) of big, from (2,2) at (1,1)
    EXPECT_EQ(p.image().pixel(1, 1), qRgb(9, 9, 9));
    p.maskedTransfer(5, 5, 2, 2, big, 0, 0, white, 0, 0); // white mask, black image: untouched
    EXPECT_EQ(p.image().pixel(10, 10), qRgb(9, 9, 9));

    // Out-of-range blocks do nothing and allocate nothing.
    changed.clear();
    p.transfer(0, 0, 1 << 30, 1 << 30, small, 100, 100, RasterOp::Copy);
    p.transfer(-1000000, 0, 5, 5, small, 0, 0, RasterOp::Copy);
    EXPECT_TRUE(changed.empty());

    p.font.foreColor = qRgb(255, 255, 255);
    p.print(2, 2, QStringLiteral("余"));
    QRect box;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 80; ++x)
            if (qGreen(p.image().pixel(x, y)) > 200 && qRed(p.image().pixel(x, y)) > 200)
                box |= QRect(x, y, 1, 1);
    EXPECT_GT(box.height(), 16); // drawn with twice the pixels, not enlarged
}

TEST(Picture, RestoreCopiesAndReportsOnlyWhatDiffersFromTheReference)
{
    Picture ref(64, 64, qRgb(10, 20, 30));
    ref.fillRect(30, 0, 3, 64, qRgb(200, 0, 0));
    Picture p(64, 64);
    qint64 reported = 0;
    p.setChangeListener([&](const QRect& r) { reported += static_cast<qint64>(r.width()) * r.height(); });
    auto restoreAll = [&] {
        reported = 0;
        p.restoreFrom(ref, 0, 0, 64, 64);
        return std::as_const(p).image() == ref.image();
    };
    EXPECT_TRUE(restoreAll());
    EXPECT_EQ(reported, 64 * 64);
    EXPECT_TRUE(restoreAll());
    EXPECT_EQ(reported, 0);
    p.fillRect(20, 20, 4, 4, qRgb(0, 255, 0)); // inside one tile: only that
    p.fillRect(26, 21, 1, 1, qRgb(0, 255, 0));
    EXPECT_TRUE(restoreAll());
    EXPECT_EQ(reported, 7 * 4);
    // A partial restore keeps the rest of its tiles to be restored.
    p.fillRect(0, 0, 64, 64, qRgb(0, 255, 0));
    p.restoreFrom(ref, 0, 0, 8, 64);
    EXPECT_TRUE(restoreAll());
    // Written behind the tiles' back, or a changed reference: all copied.
    p.image().setPixel(40, 40, qRgb(1, 2, 3));
    EXPECT_TRUE(restoreAll());
    ref.fillRect(50, 50, 2, 2, qRgb(0, 0, 255));
    EXPECT_TRUE(restoreAll());
}

TEST(Picture, ABatchReportsEachChangedPixelOnce)
{
    Picture p(64, 64);
    std::vector<QRect> reported;
    p.setChangeListener([&](const QRect& r) { reported.push_back(r); });
    const QRect drawn[] = {{0, 0, 20, 20}, {5, 5, 4, 4},   {40, 40, 8, 8}, {15, 10, 10, 30},
                           {60, 0, 4, 4},  {44, 44, 10, 3}, {0, 50, 3, 3}};
    QRegion expected;
    {
        Picture::ChangeBatch batch(p);
        for (const QRect& r : drawn) {
            p.fillRect(r.x(), r.y(), r.width(), r.height(), qRgb(1, 2, 3));
            expected += r;
        }
        EXPECT_TRUE(reported.empty());
    }
    QRegion got;
    qint64 area = 0;
    for (const QRect& r : reported) {
        EXPECT_FALSE(got.intersects(r));
        got += r;
        area += static_cast<qint64>(r.width()) * r.height();
    }
    EXPECT_EQ(got, expected);
    qint64 expectedArea = 0;
    for (const QRect& r : expected)
        expectedArea += static_cast<qint64>(r.width()) * r.height();
    EXPECT_EQ(area, expectedArea);

    // A batch that reports the whole picture reports it once, and the
    // tiles still know what was drawn: a restore copies only that.
    reported.clear();
    const Picture ref(64, 64);
    p.restoreFrom(ref, 0, 0, 64, 64);
    {
        Picture::ChangeBatch batch(p);
        batch.reportWhole();
        p.fillRect(1, 1, 2, 2, qRgb(1, 2, 3));
        p.fillRect(30, 30, 2, 2, qRgb(1, 2, 3));
    }
    EXPECT_EQ(reported.back(), QRect(0, 0, 64, 64));
    reported.clear();
    p.restoreFrom(ref, 0, 0, 64, 64);
    EXPECT_EQ(reported, (std::vector<QRect>{QRect(1, 1, 2, 2), QRect(30, 30, 2, 2)}));
}

TEST(Picture, ACopyMadeAgainRedrawsOnlyWhatWasDrawnOverIt)
{
    Picture p(32, 32);
    std::vector<QRect> reported;
    p.setChangeListener([&](const QRect& r) { reported.push_back(r); });
    const QImage red = Filled(8, 8, qRgb(255, 0, 0));
    auto copy = [&] {
        reported.clear();
        p.transfer(4, 4, 8, 8, red, 0, 0, RasterOp::Copy);
    };
    auto at = [&](int x, int y) { return std::as_const(p).image().pixel(x, y); };
    copy();
    copy();
    EXPECT_TRUE(reported.empty());
    p.fillRect(10, 10, 5, 5, qRgb(0, 255, 0));
    copy();
    EXPECT_EQ(reported, std::vector<QRect>{QRect(10, 10, 2, 2)});
    EXPECT_EQ(at(11, 11), qRgb(255, 0, 0));
    EXPECT_EQ(at(12, 12), qRgb(0, 255, 0));
    // Pixels written straight into the image are not known: all is copied.
    p.image().setPixel(5, 5, qRgb(0, 0, 255));
    copy();
    EXPECT_EQ(at(5, 5), qRgb(255, 0, 0));
    EXPECT_EQ(reported, std::vector<QRect>{QRect(4, 4, 8, 8)});
}

TEST(Backdrop, RestoresThePixelsOfThePiecesDrawnOnAPicture)
{
    // Overlapping pieces (one with transparency), one alone, one partly
    // outside: at both scales the restored table matches the pieces drawn
    // on a plain picture, block by block and after a change of pieces.
    QImage icon(8, 8, QImage::Format_ARGB32_Premultiplied);
    icon.fill(qRgba(0, 0, 100, 100));
    QImage band = Filled(20, 6, qRgb(9, 9, 9));
    band.setPixel(3, 2, qRgb(250, 1, 1));
    const std::vector<Backdrop::Placed> pieces{
        {Filled(12, 12, qRgb(200, 0, 0)), 10, 10}, {icon, 16, 16}, {band, 40, 4}, {band, -5, 55}};
    for (const int scale : {1, 2}) {
        Picture drawn;
        drawn.setBackColor(qRgb(41, 73, 123));
        drawn.setScale(scale);
        drawn.resize(64, 60);
        for (const Backdrop::Placed& p : pieces)
            drawn.drawImage(p.x, p.y, p.image);
        Backdrop back;
        back.setBackColor(qRgb(41, 73, 123));
        back.setScale(scale);
        back.resize(64, 60);
        back.place(pieces);
        Picture table;
        table.setScale(scale);
        table.resize(64, 60);
        table.restoreFrom(back, 0, 0, 30, 60);
        table.restoreFrom(back, 30, 0, 34, 60);
        EXPECT_EQ(std::as_const(table).image(), drawn.image()) << scale;
        EXPECT_EQ(back.image(), drawn.image()) << scale;
        const Backdrop::Rows plain = back.rowsFor(QRect(QPoint(0, 36) * scale, QSize(64, 10) * scale));
        EXPECT_EQ(plain.base[63 * scale + 45 * scale * plain.pitch], drawn.image().pixel(63 * scale, 45 * scale));
        back.place({pieces[2]});
        table.restoreFrom(back, 0, 0, 64, 60);
        EXPECT_EQ(std::as_const(table).image().pixel(12 * scale, 12 * scale), qRgb(41, 73, 123)) << scale;
    }
}

TEST(Picture, TextAndIconsDrawnAgainMatchAFreshDrawing)
{
    QImage icon(8, 8, QImage::Format_ARGB32_Premultiplied);
    icon.fill(qRgba(0, 0, 100, 100));
    auto draw = [&](Picture& p) {
        p.font.foreColor = qRgb(255, 255, 0);
        p.print(4, 4, QStringLiteral("余牌:7"));
        p.drawImage(6, 6, icon);
    };
    Picture p(60, 24, qRgb(0, 0, 0));
    draw(p);
    for (QRgb ground : {qRgb(0, 0, 0), qRgb(90, 30, 30), qRgb(0, 0, 0)}) {
        p.fillRect(0, 0, 60, 24, ground);
        draw(p);
        Picture fresh(60, 24, ground);
        draw(fresh);
        EXPECT_EQ(p.image(), fresh.image()) << qRed(ground);
    }
}
