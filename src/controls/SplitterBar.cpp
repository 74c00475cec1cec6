#include "controls/SplitterBar.h"

#include <QMouseEvent>

#include <algorithm>
#include <QPainter>

namespace kelpo {

SplitterBar::SplitterBar(QWidget* parent) : QWidget(parent)
{
    setCursor(Qt::SizeVerCursor);
    resize(width(), 5);
}

void SplitterBar::setColor(const QColor& c)
{
    color_ = c;
    update();
}

void SplitterBar::setBarHeight(int h) { resize(width(), h < 1 ? 1 : h); }

void SplitterBar::setTop(int top) { move(x(), top); }

void SplitterBar::Place(int left, int top, int width)
{
    setGeometry(left, top, width < 0 ? 0 : width, height());
}

void SplitterBar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), color_);
    p.setPen(color_.darker(130));
    p.drawLine(0, height() - 1, width(), height() - 1);
}

void SplitterBar::mousePressEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton)
        return;
    dragging_ = true;
    grabY_ = e->position().toPoint().y();
    emit moving();
}

void SplitterBar::mouseMoveEvent(QMouseEvent* e)
{
    if (!dragging_)
        return;
    const int dy = e->position().toPoint().y() - grabY_;
    int top = y() + dy;
    // The window clamps the final position; the bar only stays inside it.
    if (parentWidget())
        top = std::clamp(top, 0, std::max(0, parentWidget()->height() - height()));
    setTop(top);
}

void SplitterBar::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton || !dragging_)
        return;
    dragging_ = false;
    emit positionChanged();
}

} // namespace kelpo
