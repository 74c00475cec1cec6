#pragma once
// The strip of two user buttons at the top of the room pane: settings and
// help. It lights the button under the pointer and reports a left release
// on a button; the main window runs it and lends it the cache of its
// frame's pictures, which hold the buttons' art too.

#include "platform/ImageFiles.h"
#include "skin/FramePaint.h"

#include <QString>
#include <QWidget>

#include <functional>

namespace kelpo {

class UserButtonStrip : public QWidget {
    Q_OBJECT
public:
    UserButtonStrip(QWidget* parent, ImageFileCache& frameImages);

    void setAppPath(const QString& appPath) { appPath_ = appPath; }
    // The main window places the buttons for the strip's width.
    void setPositions(const FramePaint::ButtonPositions& pos);
    const FramePaint::ButtonPositions& positions() const { return pos_; }
    // While this says true (a frame drag may be starting) a release runs
    // no button.
    void setFrameBusy(std::function<bool()> busy) { frameBusy_ = std::move(busy); }

    int HitUserButton(QPoint at) const { return FramePaint::HitUserButton(pos_, at); }
    // Lights slot (or none for -1) and puts the previous one back.
    void HoverUserButton(int slot);
    int HoverUserIdx() const { return hoverUserIdx_; }

    // Mouse handling in strip coordinates; the event handlers call these.
    void MouseMove(QPoint at);
    void MouseUp(Qt::MouseButton button, QPoint at);

signals:
    void buttonReleased(int slot);

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent*) override;

private:
    QString appPath_;
    ImageFileCache& images_;
    FramePaint::ButtonPositions pos_;
    std::function<bool()> frameBusy_;
    int hoverUserIdx_ = -1;
};

} // namespace kelpo
