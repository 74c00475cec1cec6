#include "room/AdvertPane.h"

#include "skin/FramePaint.h"

#include <QPainter>

namespace kelpo {

AdvertPane::AdvertPane(QWidget* parent) : QWidget(parent) { setAutoFillBackground(true); }

void AdvertPane::setView(QWidget* view)
{
    view_ = view;
    resizeEvent(nullptr);
}

void AdvertPane::resizeEvent(QResizeEvent*)
{
    if (view_ && width() >= 10 && height() >= 10)
        view_->setGeometry(4, 3, width() - 8, height() - 6);
}

void AdvertPane::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    FramePaint::PaintOutlines(p, size(), {QColor(0, 0, 150), QColor(192, 192, 190), QColor(0, 0, 250)});
}

} // namespace kelpo
