#include "table/TableWidget.h"

#include "table/TableAccessible.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <utility>

namespace kelpo {

TableWidget::TableWidget(TablePainter& painter, QWidget* parent) : QWidget(parent), painter_(painter)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    // A click on the table gives it the keyboard, so the hand can be played
    // from the keys without leaving the chat's line to its own keys.
    setFocusPolicy(Qt::StrongFocus);
    InstallTableAccessibility();
    setAccessibleName(QStringLiteral("牌桌"));
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
    const QImage& image = std::as_const(painter_.picGameBack).image();
    if (image.isNull()) {
        p.fillRect(event->rect(), QColor::fromRgb(painter_.TableBackColor));
        return;
    }
    // Only what was exposed or reported; the widget and the picture share
    // their logical coordinates, the picture may hold more pixels.
    const int s = painter_.picGameBack.scale();
    for (const QRect& r : event->region())
        p.drawImage(r.topLeft(), image, QRect(r.topLeft() * s, r.size() * s));
    const QRegion outside =
        event->region() - QRegion(0, 0, painter_.picGameBack.width(), painter_.picGameBack.height());
    for (const QRect& r : outside)
        p.fillRect(r, QColor::fromRgb(painter_.TableBackColor));
}

void TableWidget::resizeEvent(QResizeEvent*)
{
    painter_.SetScale(devicePixelRatioF() > 1.0 ? 2 : 1);
    painter_.ResizeTable(width(), height());
    update();
}

bool TableWidget::event(QEvent* event)
{
    const bool handled = QWidget::event(event);
    if (event->type() == QEvent::ScreenChangeInternal || event->type() == QEvent::Show) {
        const int scale = devicePixelRatioF() > 1.0 ? 2 : 1;
        if (scale != painter_.Scale()) {
            painter_.SetScale(scale);
            painter_.ResizeTable(width(), height());
            update();
        }
    }
    return handled;
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

void TableWidget::Announce(const QString& text)
{
    if (text.isEmpty())
        return;
    announcement_ = text;
    // Without an assistive tool listening nobody receives the events, and
    // building them describes the whole table twice.
    if (!QAccessible::isActive())
        return;
    auto* table = dynamic_cast<TableAccessible*>(QAccessible::queryAccessibleInterface(this));
    if (!table)
        return;
    QAccessibleInterface* status = table->statusLine();
    QAccessibleEvent changed(status, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
    QAccessibleEvent alert(status, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}

void TableWidget::CardFocused(int index)
{
    // Hand cards come first among the table's children.
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(this);
    if (!table || !hasFocus())
        return;
    if (QAccessibleInterface* card = table->child(index - 1)) {
        QAccessibleEvent focus(card, QAccessible::Focus);
        QAccessible::updateAccessibility(&focus);
    }
}

void TableWidget::keyPressEvent(QKeyEvent* event)
{
    // Keys with Ctrl or Alt belong to the window's shortcuts.
    if (KeyDown && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) && KeyDown(event->key()))
        event->accept();
    else
        QWidget::keyPressEvent(event);
}

} // namespace kelpo
