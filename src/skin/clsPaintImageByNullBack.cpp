#include "skin/clsPaintImageByNullBack.h"

#include "platform/Raster.h"

#include <cstdint>

namespace kelpo {

QImage clsPaintImageByNullBack::BuildMask(const QImage& picture, QRgb key, bool inverted)
{
    QImage mask(picture.size(), QImage::Format_RGB32);
    const std::uint32_t keyRgb = key & 0x00FFFFFFu;
    const std::uint32_t onKey = inverted ? 0xFF000000u : 0xFFFFFFFFu;
    const std::uint32_t offKey = inverted ? 0xFFFFFFFFu : 0xFF000000u;
    for (int y = 0; y < picture.height(); ++y) {
        const auto* s = reinterpret_cast<const std::uint32_t*>(picture.constScanLine(y));
        auto* d = reinterpret_cast<std::uint32_t*>(mask.scanLine(y));
        for (int x = 0; x < picture.width(); ++x)
            d[x] = (s[x] & 0x00FFFFFFu) == keyRgb ? onKey : offKey;
    }
    return mask;
}

void clsPaintImageByNullBack::Paint(const QImage& ShowImage, Picture& picTmp, QRgb key, const Apply& apply)
{
    const QImage picture = ToRgb32(ShowImage);
    if (picture.isNull())
        return;
    // A large picture (ratio 2) keeps its ratio through the masks and the
    // work picture, so it is drawn at full resolution over its logical size.
    const int w = picture.width();
    const int h = picture.height();
    int ratio = picture.devicePixelRatio() == 2 ? 2 : 1;
    if (w % ratio || h % ratio)
        ratio = 1;
    maskB_ = BuildMask(picture, key, true);
    maskA_ = BuildMask(picture, key, false);
    maskB_.setDevicePixelRatio(ratio);
    maskA_.setDevicePixelRatio(ratio);
    picTmp.setScale(ratio);
    picTmp.resize(w / ratio, h / ratio);
    BlockTransfer(picTmp.image(), 0, 0, w, h, picture, 0, 0, RasterOp::Copy);
    // Key-colour areas of the work copy turn black, so the OR below leaves
    // the destination alone there.
    BlockTransfer(picTmp.image(), 0, 0, w, h, maskB_, 0, 0, RasterOp::And);
    apply(maskA_, RasterOp::And);
    apply(picTmp.image(), RasterOp::Or);
    maskA_ = QImage();
    maskB_ = QImage();
}

void clsPaintImageByNullBack::PictureBox_PaintImageByNullBack(Picture& picBack, const QImage& ShowImage,
                                                              Picture& picTmp, QRgb lngShowImageBackColor,
                                                              int lngDstX, int lngDstY)
{
    // Through the picture's own transfers, in logical pixels: they read a
    // large picture as it is, enlarge a standard one on a high-density
    // table, and report the change once.
    Picture::ChangeBatch changes(picBack);
    Paint(ShowImage, picTmp, lngShowImageBackColor, [&](const QImage& src, RasterOp op) {
        const QSize size = src.deviceIndependentSize().toSize();
        picBack.transfer(lngDstX, lngDstY, size.width(), size.height(), src, 0, 0, op);
    });
}

void clsPaintImageByNullBack::Form_PaintImageByNullBack(QImage& FormBack, const QImage& ShowImage, Picture& picTmp,
                                                        QRgb lngShowImageBackColor, int lngDstX, int lngDstY)
{
    if (FormBack.isNull())
        return;
    if (FormBack.format() != QImage::Format_RGB32)
        FormBack = FormBack.convertToFormat(QImage::Format_RGB32);
    Paint(ShowImage, picTmp, lngShowImageBackColor, [&](const QImage& src, RasterOp op) {
        BlockTransfer(FormBack, lngDstX, lngDstY, src.width(), src.height(), src, 0, 0, op);
    });
}

} // namespace kelpo
