#include "table/TableWidget.h"

#include "table/TableAccessible.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace kelpo {

namespace {

// Often enough for the explosion's frames, rare enough to cost nothing.
constexpr int WatchIntervalMs = 15;

} // namespace

TableWidget::TableWidget(TablePainter& painter, QWidget* parent) : QWidget(parent), painter_(painter)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    // A click on the table gives it the keyboard, so the hand can be played
    // from the keys without leaving the chat's line to its own keys.
    setFocusPolicy(Qt::StrongFocus);
    InstallTableAccessibility();
    setAccessibleName(QStringLiteral("牌桌"));
    watch_.setInterval(WatchIntervalMs);
    connect(&watch_, &QTimer::timeout, this, &TableWidget::RefreshFromPicture);
    watch_.start();
}

void TableWidget::RefreshFromPicture()
{
    // Every drawing call detaches the image, which changes its key.
    const qint64 key = painter_.picGameBack.image().cacheKey();
    if (key != shownKey_) {
        shownKey_ = key;
        update();
    }
}

void TableWidget::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QImage& image = painter_.picGameBack.image();
    if (image.isNull()) {
        p.fillRect(rect(), QColor::fromRgb(painter_.TableBackColor));
        return;
    }
    p.drawImage(0, 0, image);
    shownKey_ = image.cacheKey();
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

void TableWidget::Announce(const QString& text)
{
    if (text.isEmpty())
        return;
    announcement_ = text;
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
