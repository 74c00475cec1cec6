#include "room/TablePicture.h"

#include <QMouseEvent>
#include <QPainter>

namespace kelpo {

TablePicture::TablePicture(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

void TablePicture::setSource(std::function<const QImage*()> source)
{
    source_ = std::move(source);
    update();
}

void TablePicture::setBackColor(const QColor& c)
{
    back_ = c;
    update();
}

void TablePicture::paintEvent(QPaintEvent* e)
{
    QPainter p(this);
    p.fillRect(e->rect(), back_);
    const QImage* img = source_ ? source_() : nullptr;
    if (img && !img->isNull())
        p.drawImage(0, 0, *img);
}

void TablePicture::resizeEvent(QResizeEvent*) { emit resized(width(), height()); }

void TablePicture::mousePressEvent(QMouseEvent* e)
{
    const QPoint at = e->position().toPoint();
    emit mouseDown(e->button(), at.x(), at.y());
}

void TablePicture::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint at = e->position().toPoint();
    emit mouseMove(e->buttons(), at.x(), at.y());
}

void TablePicture::mouseReleaseEvent(QMouseEvent* e)
{
    const QPoint at = e->position().toPoint();
    emit mouseUp(e->button(), at.x(), at.y());
}

} // namespace kelpo
