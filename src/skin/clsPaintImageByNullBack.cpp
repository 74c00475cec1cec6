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

void clsPaintImageByNullBack::Paint(QImage& dst, const QImage& ShowImage, Picture& picTmp, QRgb key, int x,
                                    int y)
{
    const QImage picture = ToRgb32(ShowImage);
    if (picture.isNull() || dst.isNull())
        return;
    const int w = picture.width();
    const int h = picture.height();
    maskB_ = BuildMask(picture, key, true);
    maskA_ = BuildMask(picture, key, false);
    picTmp.resize(w, h);
    BlockTransfer(picTmp.image(), 0, 0, w, h, picture, 0, 0, RasterOp::Copy);
    // Key-colour areas of the work copy turn black, so the OR below leaves
    // the destination alone there.
    BlockTransfer(picTmp.image(), 0, 0, w, h, maskB_, 0, 0, RasterOp::And);
    BlockTransfer(dst, x, y, w, h, maskA_, 0, 0, RasterOp::And);
    BlockTransfer(dst, x, y, w, h, picTmp.image(), 0, 0, RasterOp::Or);
    maskA_ = QImage();
    maskB_ = QImage();
}

void clsPaintImageByNullBack::PictureBox_PaintImageByNullBack(Picture& picBack, const QImage& ShowImage,
                                                              Picture& picTmp, QRgb lngShowImageBackColor,
                                                              int lngDstX, int lngDstY)
{
    Paint(picBack.image(), ShowImage, picTmp, lngShowImageBackColor, lngDstX, lngDstY);
    picBack.markChanged(QRect(QPoint(lngDstX, lngDstY), ShowImage.size()));
}

void clsPaintImageByNullBack::Form_PaintImageByNullBack(QImage& FormBack, const QImage& ShowImage, Picture& picTmp,
                                                        QRgb lngShowImageBackColor, int lngDstX, int lngDstY)
{
    if (FormBack.format() != QImage::Format_RGB32)
        FormBack = FormBack.convertToFormat(QImage::Format_RGB32);
    Paint(FormBack, ShowImage, picTmp, lngShowImageBackColor, lngDstX, lngDstY);
}

} // namespace kelpo
