#pragma once
// A horizontal bar the user drags up or down between two panes of the room
// pane. The bar moves itself while dragged; the window reads its top after
// positionChanged and lays the panes out around it.

#include <QColor>
#include <QWidget>

namespace kelpo {

class SplitterBar : public QWidget {
    Q_OBJECT
public:
    explicit SplitterBar(QWidget* parent = nullptr);

    void setColor(const QColor& c);
    QColor color() const { return color_; }
    void setBarHeight(int h);
    int barHeight() const { return height(); }
    void setTop(int top);
    int top() const { return y(); }
    void Place(int left, int top, int width);

signals:
    // A drag began; the window may want to hold back a repaint.
    void moving();
    // The drag ended; top() is the new position.
    void positionChanged();

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    QColor color_{250, 250, 250};
    int grabY_ = 0;
    bool dragging_ = false;
};

} // namespace kelpo
