#pragma once
// One control of the shop window: a bitmap face (or only a caption, for the
// page labels), an optional caption printed on it, a hover flag, and the
// mouse handed to the window's handlers.

#include <QImage>
#include <QString>
#include <QWidget>

#include <functional>

namespace kelpo {

class ShopButton : public QWidget {
    Q_OBJECT
public:
    explicit ShopButton(QWidget* parent);

    // The face is drawn at the control's top-left; a null face leaves the
    // window's own picture showing.
    void setFace(const QImage& face);
    const QImage& face() const { return face_; }
    // Printed in black with its cell's top-left at (x, y).
    void setCaption(const QString& caption, int x = 0, int y = 0);
    QString caption() const { return caption_; }

    // "1" while the pointer is over the control, "0" otherwise.
    QString hoverTag = QStringLiteral("0");

    std::function<void()> onMouseMove;
    std::function<void()> onMouseLeave;
    // Called on release only when the pointer is still within the control.
    std::function<void()> onClick;

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void leaveEvent(QEvent*) override;

private:
    QImage face_;
    QString caption_;
    int captionX_ = 0;
    int captionY_ = 0;
};

} // namespace kelpo
