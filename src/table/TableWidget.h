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
    // A key pressed while the table has the keyboard (Qt::Key); true when it
    // was used, else it goes on to the window.
    std::function<bool(int key)> KeyDown;

    // What the table shows, for the screen reader's description of it.
    const ClientState& tableState() const { return painter_.state; }
    // Tells a screen reader what just happened at the table (a play, a
    // pass, whose turn it is, the results).
    void Announce(const QString& text);
    const QString& lastAnnouncement() const { return announcement_; }
    // Tells a screen reader the keyboard moved to hand card `index` (1-based).
    void CardFocused(int index);

    // Pixels scheduled for repainting since the last reset, counted per
    // report (overlaps count twice): what one action costs the screen.
    qint64 scheduledPixels() const { return scheduledPixels_; }
    void resetScheduledPixels() { scheduledPixels_ = 0; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // A move to a screen of another pixel density redraws at its ratio.
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void pictureChanged(const QRect& rect);

    TablePainter& painter_;
    qint64 scheduledPixels_ = 0;
    QString announcement_;
};

} // namespace kelpo
