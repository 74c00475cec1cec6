#include "shop/ShopButton.h"

#include "platform/Fonts.h"

#include <QMouseEvent>
#include <QPainter>

namespace kelpo {

ShopButton::ShopButton(QWidget* parent) : QWidget(parent)
{
    setMouseTracking(true);
}

void ShopButton::setFace(const QImage& face)
{
    face_ = face;
    update();
}

void ShopButton::setCaption(const QString& caption, int x, int y)
{
    caption_ = caption;
    captionX_ = x;
    captionY_ = y;
    update();
}

void ShopButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (!face_.isNull())
        p.drawImage(0, 0, face_);
    if (!caption_.isEmpty()) {
        const QFont font = MakeFont(QStringLiteral("宋体"), 9, false);
        p.setFont(font);
        p.setPen(Qt::black);
        p.drawText(captionX_, captionY_ + font.pixelSize(), caption_);
    }
}

void ShopButton::mouseMoveEvent(QMouseEvent*)
{
    if (onMouseMove)
        onMouseMove();
}

void ShopButton::mouseReleaseEvent(QMouseEvent* e)
{
    if (rect().contains(e->position().toPoint()) && onClick)
        onClick();
}

void ShopButton::leaveEvent(QEvent*)
{
    if (onMouseLeave)
        onMouseLeave();
}

} // namespace kelpo
