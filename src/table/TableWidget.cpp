#include "table/TableWidget.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace kelpo {

TableWidget::TableWidget(TablePainter& painter, QWidget* parent) : QWidget(parent), painter_(painter)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    painter_.picGameBack.setChangeListener([this](const QRect& r) { pictureChanged(r); });
}

TableWidget::~TableWidget()
{
    // The painter may outlive this widget.
    painter_.picGameBack.setChangeListener(nullptr);
}

void TableWidget::pictureChanged(const QRect& rect)
{
    scheduledPixels_ += static_cast<qint64>(rect.width()) * rect.height();
    update(rect);
}

void TableWidget::paintEvent(QPaintEvent* event)
{
    QPainter p(this);
    const QImage& image = painter_.picGameBack.image();
    if (image.isNull()) {
        p.fillRect(event->rect(), QColor::fromRgb(painter_.TableBackColor));
        return;
    }
    // Only what was exposed or reported; the widget and the picture share
    // their coordinates.
    for (const QRect& r : event->region())
        p.drawImage(r.topLeft(), image, r);
    const QRegion outside = event->region() - QRegion(image.rect());
    for (const QRect& r : outside)
        p.fillRect(r, QColor::fromRgb(painter_.TableBackColor));
}

void TableWidget::resizeEvent(QResizeEvent*)
{
    painter_.ResizeTable(width(), height());
    update();
}

void TableWidget::mousePressEvent(QMouseEvent* event)
{
    if (MouseDown)
        MouseDown(event->button(), event->position().toPoint().x(), event->position().toPoint().y());
}

void TableWidget::mouseMoveEvent(QMouseEvent* event)
{
    if (MouseMove)
        MouseMove(static_cast<int>(event->buttons()), event->position().toPoint().x(),
                  event->position().toPoint().y());
}

void TableWidget::mouseReleaseEvent(QMouseEvent* event)
{
    if (MouseUp)
        MouseUp(event->button(), event->position().toPoint().x(), event->position().toPoint().y());
}

} // namespace kelpo
