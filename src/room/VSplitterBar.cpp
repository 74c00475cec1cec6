#include "room/VSplitterBar.h"

#include "platform/ImageFiles.h"
#include "platform/ResourcePath.h"

#include <QMouseEvent>
#include <QPainter>

namespace kelpo {

namespace {

// A dotted bar drawn where the splitter would land.
class Ghost : public QWidget {
public:
    explicit Ghost(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_TransparentForMouseEvents); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        for (int k = 0; k <= width(); k += 4)
            p.fillRect(k, 0, 2, height(), QColor(128, 128, 128));
    }
};

} // namespace

VSplitterBar::VSplitterBar(QWidget* parent) : QWidget(parent), ghost_(new Ghost(parent))
{
    ghost_->hide();
    setMouseTracking(true);
    setCursor(Qt::SizeHorCursor);
}

void VSplitterBar::setCollapsed(bool collapsed)
{
    collapsed_ = collapsed;
    update();
}

int VSplitterBar::maxLeft() const
{
    return parentWidget() ? parentWidget()->width() - RightMargin : 0;
}

QImage VSplitterBar::Picture() const
{
    QImage img(width() > 0 ? width() : 1, height() > 0 ? height() : 1, QImage::Format_RGB32);
    img.fill(QColor(250, 250, 250));
    QPainter p(&img);
    const int bh = height();
    const QImage back = ReadImageFile(ResolvePath(appPath_, QStringLiteral("res\\VSpliterBk.bmp")));
    if (!back.isNull())
        for (int y = 0; y <= bh; y += 3)
            p.drawImage(0, y, back);
    const QImage mid = ReadImageFile(ResolvePath(appPath_, QStringLiteral("res\\VSpliterMidBk.bmp")));
    const int top = (bh - MiddleZone) / 2;
    if (!mid.isNull())
        for (int y = top; y <= top + MiddleZone; y += 3)
            p.drawImage(0, y, mid);
    const QImage arrow = ReadImageFile(ResolvePath(
        appPath_, collapsed_ ? QStringLiteral("res\\VSpliterMid_Left.bmp") : QStringLiteral("res\\VSpliterMid_Right.bmp")));
    if (!arrow.isNull())
        p.drawImage(0, bh / 2 - 4, arrow);
    return img;
}

void VSplitterBar::paintEvent(QPaintEvent*) { QPainter(this).drawImage(0, 0, Picture()); }

void VSplitterBar::MouseDown(Qt::MouseButton button, int x, int y)
{
    if (busy())
        return;
    const int bh = height();
    if (y > (bh - MiddleZone) / 2 && y < (bh + MiddleZone) / 2) {
        tag_.clear();
        ghost_->hide();
        emit toggleRequested();
        return;
    }
    if (button != Qt::LeftButton)
        return;
    grabX_ = x;
    candidate_ = this->x();
    ghost_->setGeometry(this->x(), this->y(), std::max(width() - 4, 1), height());
    ghost_->show();
    ghost_->raise();
    tag_ = QStringLiteral("MOVE");
}

void VSplitterBar::MouseMove(Qt::MouseButtons buttons, int x, int y)
{
    if (busy())
        return;
    const int bh = height();
    const bool middle = y >= (bh - MiddleZone) / 2 && y <= (bh + MiddleZone) / 2;
    setCursor(middle ? Qt::ArrowCursor : Qt::SizeHorCursor);
    if (!(buttons & Qt::LeftButton) || tag_ != QLatin1String("MOVE"))
        return;
    candidate_ = this->x() + (x - grabX_);
    if (candidate_ >= MinLeft && candidate_ <= maxLeft())
        ghost_->move(candidate_, this->y());
}

void VSplitterBar::MouseUp(Qt::MouseButton button, int, int)
{
    if (busy() || button != Qt::LeftButton || tag_ != QLatin1String("MOVE") || ghost_->isHidden())
        return;
    ghost_->hide();
    // A click that moved nothing moves nothing, even where the bar stands
    // outside the range (collapsed at the right edge).
    if (candidate_ == x())
        return;
    const int left = std::max(std::min(candidate_, maxLeft()), MinLeft);
    emit moveRequested(left);
}

void VSplitterBar::mousePressEvent(QMouseEvent* e)
{
    const QPoint at = e->position().toPoint();
    MouseDown(e->button(), at.x(), at.y());
}

void VSplitterBar::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint at = e->position().toPoint();
    MouseMove(e->buttons(), at.x(), at.y());
}

void VSplitterBar::mouseReleaseEvent(QMouseEvent* e)
{
    const QPoint at = e->position().toPoint();
    MouseUp(e->button(), at.x(), at.y());
}

} // namespace kelpo
