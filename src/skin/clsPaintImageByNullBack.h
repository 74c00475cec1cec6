#pragma once
// Paints a picture so that every pixel of one key colour stays transparent,
// with two masks built from the picture and three block transfers.

#include "platform/Picture.h"

#include <QImage>

#include <functional>

namespace kelpo {

class clsPaintImageByNullBack {
public:
    // The picture ShowImage onto picBack at (lngDstX, lngDstY); picTmp is
    // the work picture. The key colour is compared on red, green and blue.
    // A picture marked with ratio 2 covers half its pixels each way on
    // picBack and is read at full resolution where picBack has that scale.
    void PictureBox_PaintImageByNullBack(Picture& picBack, const QImage& ShowImage, Picture& picTmp,
                                         QRgb lngShowImageBackColor, int lngDstX, int lngDstY);
    // The same onto a window's image, in that image's own pixels.
    void Form_PaintImageByNullBack(QImage& FormBack, const QImage& ShowImage, Picture& picTmp,
                                   QRgb lngShowImageBackColor, int lngDstX, int lngDstY);

private:
    // White where the picture has the key colour, black elsewhere; inverted
    // for the second mask.
    static QImage BuildMask(const QImage& picture, QRgb key, bool inverted);
    // Applies the and-mask, then the keyed picture, each at the target.
    using Apply = std::function<void(const QImage& src, RasterOp op)>;
    void Paint(const QImage& ShowImage, Picture& picTmp, QRgb key, const Apply& apply);

    // Both masks live only while a paint call runs.
    QImage maskA_;
    QImage maskB_;
};

} // namespace kelpo
