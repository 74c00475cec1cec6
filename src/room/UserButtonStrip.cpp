#include "room/UserButtonStrip.h"

#include <QMouseEvent>
#include <QPainter>

namespace kelpo {

UserButtonStrip::UserButtonStrip(QWidget* parent, ImageFileCache& frameImages)
    : QWidget(parent), images_(frameImages)
{
    setMouseTracking(true);
    setAutoFillBackground(true);
}

void UserButtonStrip::setPositions(const FramePaint::ButtonPositions& pos)
{
    if (pos.UserButtonPos == pos_.UserButtonPos)
        return;
    pos_ = pos;
    update();
}

void UserButtonStrip::HoverUserButton(int slot)
{
    hoverUserIdx_ = FramePaint::MoveHover(hoverUserIdx_, slot, 2,
                                          [this](int s) { update(FramePaint::UserButtonRect(pos_, s)); });
}

void UserButtonStrip::MouseMove(QPoint at) { HoverUserButton(HitUserButton(at)); }

void UserButtonStrip::MouseUp(Qt::MouseButton button, QPoint at)
{
    if (button != Qt::LeftButton || (frameBusy_ && frameBusy_()))
        return;
    const int slot = HitUserButton(at);
    if (slot >= 0)
        emit buttonReleased(slot);
}

void UserButtonStrip::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const FramePaint::FrameArt art = FramePaint::FrameArt::Load(images_, appPath_);
    for (int slot = 0; slot < 2; ++slot)
        FramePaint::PaintUserButton(p, art, pos_, slot, slot == hoverUserIdx_);
}

void UserButtonStrip::mouseMoveEvent(QMouseEvent* e) { MouseMove(e->position().toPoint()); }

void UserButtonStrip::mouseReleaseEvent(QMouseEvent* e) { MouseUp(e->button(), e->position().toPoint()); }

void UserButtonStrip::leaveEvent(QEvent*) { HoverUserButton(-1); }

} // namespace kelpo
