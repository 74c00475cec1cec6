#pragma once
// The vertical bar between the table and the room pane. A press in its
// middle zone collapses or expands the room pane; a drag elsewhere shows a
// ghost bar and, on release, moves the bar within its limits.

#include <QString>
#include <QWidget>

#include <functional>

namespace kelpo {

class VSplitterBar : public QWidget {
    Q_OBJECT
public:
    explicit VSplitterBar(QWidget* parent);

    // Skin bitmaps are looked up below this folder.
    void setAppPath(const QString& appPath) { appPath_ = appPath; }
    void setCollapsed(bool collapsed);
    // While this says true the bar ignores the mouse.
    void setBusy(std::function<bool()> busy) { busy_ = std::move(busy); }

    static constexpr int MiddleZone = 60;
    static constexpr int MinLeft = 650; // the table pane never gets narrower
    static constexpr int RightMargin = 100; // the bar stays this far from the right edge

    // The bar as painted, for checks.
    QImage Picture() const;
    QWidget* ghost() const { return ghost_; }
    int candidate() const { return candidate_; }

    // Mouse handling in bar coordinates; the event handlers call these.
    void MouseDown(Qt::MouseButton button, int x, int y);
    void MouseMove(Qt::MouseButtons buttons, int x, int y);
    void MouseUp(Qt::MouseButton button, int x, int y);

signals:
    void toggleRequested();
    // A drag ended away from where it began; left is clamped to the range.
    void moveRequested(int left);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;

private:
    bool busy() const { return busy_ && busy_(); }
    int maxLeft() const;

    QString appPath_;
    bool collapsed_ = false;
    std::function<bool()> busy_;
    QWidget* ghost_;
    QString tag_;
    int grabX_ = 0;
    int candidate_ = 0;
};

} // namespace kelpo
