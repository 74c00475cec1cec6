#pragma once
// The widget that shows the table picture on screen. It sizes the picture
// to itself (the table's resize path), hands mouse events to whoever handles
// them, and repaints exactly the parts of itself that the picture reports
// as drawn on; nothing polls, so an idle table costs no wakeups.

#include "table/TablePainter.h"

#include <QWidget>

#include <functional>

namespace kelpo {

class TableWidget : public QWidget {
    Q_OBJECT
public:
    explicit TableWidget(TablePainter& painter, QWidget* parent = nullptr);
    ~TableWidget() override;

    // Mouse handlers of the table: button (Qt::MouseButton), x, y in table
    // pixels. Unset handlers ignore the event.
    std::function<void(int button, int x, int y)> MouseDown;
    std::function<void(int button, int x, int y)> MouseMove;
    std::function<void(int button, int x, int y)> MouseUp;

    // Pixels scheduled for repainting since the last reset, counted per
    // report (overlaps count twice): what one action costs the screen.
    qint64 scheduledPixels() const { return scheduledPixels_; }
    void resetScheduledPixels() { scheduledPixels_ = 0; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void pictureChanged(const QRect& rect);

    TablePainter& painter_;
    qint64 scheduledPixels_ = 0;
};

} // namespace kelpo
