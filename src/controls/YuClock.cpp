#include "controls/YuClock.h"

#include <QImage>
#include <QPainter>

namespace kelpo {

YuClock::YuClock(QWidget* parent) : QWidget(parent)
{
    timer_.setInterval(1000);
    connect(&timer_, &QTimer::timeout, this, &YuClock::Tick);
    setFixedHeight(BarHeight);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    hide(); // shown only while it counts
}

void YuClock::Place(int left, int top, int width)
{
    setGeometry(left, top, width < 0 ? 0 : width, BarHeight);
}

void YuClock::Start(int limitSeconds, int warnLead)
{
    limit_ = limitSeconds < 0 ? 0 : limitSeconds;
    left_ = limit_;
    warnLead_ = warnLead;
    warned_ = false;
    running_ = true;
    timer_.start();
    show();
    raise();
    update();
}

void YuClock::Stop()
{
    running_ = false;
    timer_.stop();
    hide();
    update();
}

void YuClock::Tick()
{
    if (!running_)
        return;
    --left_;
    update();
    // A handler may stop or restart the clock; each step checks again.
    emit Ticked();
    if (!running_)
        return;
    if (!warned_ && left_ > 0 && left_ <= warnLead_) {
        warned_ = true;
        emit Warning();
        if (!running_)
            return;
    }
    if (left_ <= 0) {
        Stop();
        emit Expired();
    }
}

void YuClock::Draw(QImage& img) const
{
    QPainter p(&img);
    const int w = img.width();
    const int h = img.height();
    p.fillRect(0, 0, w, h, QColor(40, 40, 40));
    if (w <= 2 || h <= 2)
        return;
    int filled = 0;
    if (running_ && limit_ > 0 && left_ > 0)
        filled = static_cast<int>(static_cast<long long>(w - 2) * left_ / limit_);
    const bool urgent = running_ && left_ <= warnLead_;
    p.fillRect(1, 1, filled, h - 2, urgent ? QColor(220, 40, 30) : QColor(60, 200, 80));
}

void YuClock::paintEvent(QPaintEvent*)
{
    QImage img(size(), QImage::Format_RGB32);
    if (img.isNull())
        return;
    Draw(img);
    QPainter(this).drawImage(0, 0, img);
}

} // namespace kelpo
