#pragma once
// The widget that shows the table picture picGameBack. The picture itself
// is drawn elsewhere into an image; this widget shows it and reports size
// changes and mouse events in picture coordinates.

#include <QImage>
#include <QWidget>

#include <functional>

namespace kelpo {

class TablePicture : public QWidget {
    Q_OBJECT
public:
    explicit TablePicture(QWidget* parent = nullptr);

    // The image to show; none (or a null image) shows the background colour.
    void setSource(std::function<const QImage*()> source);
    void setBackColor(const QColor& c);
    QColor backColor() const { return back_; }

signals:
    void resized(int width, int height);
    void mouseDown(Qt::MouseButton button, int x, int y);
    void mouseMove(Qt::MouseButtons buttons, int x, int y);
    void mouseUp(Qt::MouseButton button, int x, int y);

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;

private:
    std::function<const QImage*()> source_;
    QColor back_{41, 73, 123};
};

} // namespace kelpo
