// The main window's own frame: caption, border and buttons, the zones of its
// edges and caption, moving, sizing, maximising and the buttons' actions.

#include "room/frmGameMain.h"

#include "game/Client.h"
#include "room/SiteBase.h"
#include "room/UserButtonStrip.h"
#include "room/VSplitterBar.h"
#include "settings/frmUserSet.h"
#include "skin/ModalBoxes.h"

#include <QApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>

namespace kelpo {

namespace {

// Ticks after a maximise request before the window checks whether the
// window system carried it out.
constexpr int MaximiseCheckTicks = 3;

} // namespace

bool frmGameMain::busy() const { return client_.state.view.BombPlaying; }

bool frmGameMain::frameMaximised() const { return isMaximized() || isFullScreen() || maximisedByHand_; }

void frmGameMain::PlaceFrameButtons()
{
    framePos_ = FramePaint::PlaceFrameButtons(width(), picUserButBk->width());
    picUserButBk->setPositions(framePos_);
}

void frmGameMain::paintEvent(QPaintEvent* e)
{
    const bool skip = VSplitterSkip || HSplitterSkip || HSplitter1Skip;
    VSplitterSkip = HSplitterSkip = HSplitter1Skip = false;
    // A splitter's move repaints only the panes; the frame is painted again
    // only when the repaint reaches it.
    const QRegion frame = QRegion(rect()) - QRegion(rect().adjusted(4, FrameZones::CaptionBottom, -4, -4));
    if (skip && !e->region().intersects(frame))
        return;
    QPainter p(this);
    const FramePaint::FrameArt art = FramePaint::FrameArt::Load(frameImages_, client_.state.globals.AppPath);
    const bool maximised = frameMaximised();
    FramePaint::PaintCaption(p, art, framePos_, width(), SplitterX + SplitterWidth, maximised,
                             client_.state.globals.GameName);
    if (HoverSysIdx >= 0)
        FramePaint::PaintSysButton(p, art, framePos_, FramePaint::KindOfSlot(HoverSysIdx, maximised), true);
    FramePaint::PaintFrameBorder(p, width(), height());
}

void frmGameMain::HoverSysButton(int slot)
{
    HoverSysIdx = FramePaint::MoveHover(HoverSysIdx, slot, 3,
                                        [this](int s) { update(FramePaint::SysButtonRect(framePos_, s)); });
}

void frmGameMain::UpdateFrameZone(QPoint globalPointer)
{
    const bool onButton = HitSysButton(mapFromGlobal(globalPointer)) >= 0;
    frameZone_ = FrameZones::ZoneAt(frameGeometry(), globalPointer, onButton);
    // A maximised window cannot be sized, so it shows no sizing pointer.
    const Qt::CursorShape shape = frameMaximised() ? Qt::ArrowCursor : FrameZones::ZoneCursor(frameZone_);
    if (shape == Qt::ArrowCursor) {
        if (testAttribute(Qt::WA_SetCursor))
            unsetCursor();
    } else if (!testAttribute(Qt::WA_SetCursor) || cursor().shape() != shape) {
        setCursor(shape);
    }
}

void frmGameMain::PollFrameZone()
{
    if (unloaded_)
        return;
    if (!isMinimized() && !frameMaximised()) {
        const QSize want = size().expandedTo(FrameZones::MinimumSize);
        if (want != size())
            setGeometry(QRect(geometry().topLeft(), want));
    }
    FollowUpMaximise();
    const QPoint pointer = QCursor::pos();
    UpdateFrameZone(pointer);
    // An idle window need not wake ten times a second: the ticks run while
    // the pointer is over it, a drag goes on or a maximise awaits its check,
    // and start again when the pointer comes back.
    if (!frameGeometry().contains(pointer) && !drag_.active && maximiseCheckTicks_ <= 0)
        tmrForm.stop();
}

void frmGameMain::enterEvent(QEnterEvent*)
{
    if (!unloaded_ && !tmrForm.isActive())
        tmrForm.start();
}

void frmGameMain::StartFrameDrag(QPoint globalPointer)
{
    if (frameZone_ == FrameZone::None || frameMaximised())
        return;
    QWindow* handle = windowHandle();
    bool started = false;
    if (handle)
        started = frameZone_ == FrameZone::Move ? handle->startSystemMove()
                                                : handle->startSystemResize(FrameZones::ZoneEdges(frameZone_));
    if (started)
        return;
    drag_ = ManualDrag{true, frameZone_, geometry(), globalPointer};
}

void frmGameMain::FrameMouseDown(Qt::MouseButton button, QPoint global)
{
    if (busy() || button != Qt::LeftButton)
        return;
    // The zone of the last tick may be up to 100 ms old; the press acts on
    // where it is.
    UpdateFrameZone(global);
    if (frameZone_ == FrameZone::None || frameMaximised())
        return;
    if (frameZone_ == FrameZone::Move) {
        moveArmed_ = true;
        pressGlobal_ = global;
        return;
    }
    StartFrameDrag(global);
}

void frmGameMain::FrameMouseMove(Qt::MouseButtons buttons, QPoint at, QPoint global)
{
    if (busy())
        return;
    if (drag_.active) {
        if (buttons & Qt::LeftButton)
            setGeometry(FrameZones::DraggedGeometry(drag_.zone, drag_.start, drag_.from, global));
        else
            drag_.active = false;
        return;
    }
    if (moveArmed_ && (buttons & Qt::LeftButton) &&
        (global - pressGlobal_).manhattanLength() >= QApplication::startDragDistance()) {
        moveArmed_ = false;
        frameZone_ = FrameZone::Move;
        StartFrameDrag(pressGlobal_);
        if (drag_.active)
            setGeometry(FrameZones::DraggedGeometry(drag_.zone, drag_.start, drag_.from, global));
        return;
    }
    HoverSysButton(HitSysButton(at));
}

void frmGameMain::FrameMouseUp(Qt::MouseButton button, QPoint at)
{
    if (button == Qt::LeftButton && drag_.active) {
        drag_.active = false;
        return;
    }
    if (busy())
        return;
    moveArmed_ = false;
    if (button != Qt::LeftButton || frameZone_ != FrameZone::None)
        return;
    const int slot = HitSysButton(at);
    if (slot >= 0)
        DoSysButton(slot);
}

void frmGameMain::FrameDoubleClick(Qt::MouseButton button, QPoint global)
{
    if (busy() || button != Qt::LeftButton)
        return;
    moveArmed_ = false;
    UpdateFrameZone(global);
    if (frameZone_ == FrameZone::Move)
        DoSysButton(FramePaint::SlotMaximise);
}

void frmGameMain::mousePressEvent(QMouseEvent* e) { FrameMouseDown(e->button(), e->globalPosition().toPoint()); }

void frmGameMain::mouseMoveEvent(QMouseEvent* e)
{
    FrameMouseMove(e->buttons(), e->position().toPoint(), e->globalPosition().toPoint());
}

void frmGameMain::mouseReleaseEvent(QMouseEvent* e) { FrameMouseUp(e->button(), e->position().toPoint()); }

void frmGameMain::mouseDoubleClickEvent(QMouseEvent* e)
{
    FrameDoubleClick(e->button(), e->globalPosition().toPoint());
}

void frmGameMain::leaveEvent(QEvent*)
{
    if (!busy())
        HoverSysButton(-1);
}

void frmGameMain::changeEvent(QEvent* e)
{
    if (e->type() == QEvent::WindowStateChange)
        update(FramePaint::CaptionRect(width()));
    QWidget::changeEvent(e);
}

void frmGameMain::ToggleMaximised()
{
    if (frameMaximised()) {
        // The glyph turns back to maximise at once, before the window
        // system answers.
        maximiseCheckTicks_ = 0;
        if (maximisedByHand_) {
            maximisedByHand_ = false;
            setGeometry(normalGeometry_);
        } else {
            showNormal();
        }
    } else {
        normalGeometry_ = geometry();
        showMaximized();
        maximiseCheckTicks_ = MaximiseCheckTicks;
        if (!unloaded_ && !tmrForm.isActive())
            tmrForm.start();
    }
    update(FramePaint::SysButtonRect(framePos_, FramePaint::SlotMaximise));
}

void frmGameMain::FollowUpMaximise()
{
    if (maximiseCheckTicks_ <= 0 || --maximiseCheckTicks_ > 0)
        return;
    // Still at the size it had: no window manager took the request.
    if (!isMaximized() || geometry() != normalGeometry_)
        return;
    const QScreen* s = screen();
    if (!s)
        return;
    maximisedByHand_ = true;
    setGeometry(s->availableGeometry());
    update();
}

void frmGameMain::DoSysButton(int slot)
{
    switch (slot) {
    case FramePaint::SlotMinimise:
        showMinimized();
        return;
    case FramePaint::SlotMaximise:
        ToggleMaximised();
        return;
    case FramePaint::SlotClose:
        // The same question as closing the window: between hands, with the
        // start button offered, leaving costs no escape and is not asked.
        if (ConfirmClose())
            Unload(0);
        return;
    default:
        return;
    }
}

void frmGameMain::DoUserButton(int slot)
{
    switch (slot) {
    case FramePaint::UserSlotSettings:
        if (!userSet_)
            userSet_ = new frmUserSet(client_.state, [this](const QByteArray& p) { client_.SendPacket(p); }, this);
        userSet_->show();
        userSet_->raise();
        userSet_->activateWindow();
        return;
    case FramePaint::UserSlotHelp: {
        const QUrl page = HelpPageUrl(client_.state);
        // With no browser to hand the page to, the user is told where it is.
        if (!QDesktopServices::openUrl(page))
            ModalBoxes::instance().SystemMessage(this, QMessageBox::Information, QStringLiteral("帮助"),
                                                 QStringLiteral("无法打开帮助页面：%1").arg(page.toLocalFile()));
        return;
    }
    default:
        return;
    }
}

} // namespace kelpo
