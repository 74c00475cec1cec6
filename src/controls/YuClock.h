#pragma once
// The slim countdown bar that times a turn on the table picture.

#include <QString>
#include <QTimer>
#include <QWidget>

namespace kelpo {

class YuClock : public QWidget {
    Q_OBJECT
public:
    explicit YuClock(QWidget* parent = nullptr);

    // The bar is always the same slim height; only its place and width vary.
    void Place(int left, int top, int width);

    // Counts down from limitSeconds; Warning fires once when the seconds left
    // come down to warnLead.
    void Start(int limitSeconds, int warnLead);
    void Stop();
    bool isRunning() const { return running_; }
    int secondsLeft() const { return left_; }
    int limit() const { return limit_; }

    QString Tag() const { return tag_; }
    void SetTag(const QString& tag) { tag_ = tag; }

    // One second has passed; the internal timer calls this, tests call it
    // directly.
    void Tick();

    // The bar as it looks now, drawn into img at (0, 0) with img's size.
    void Draw(QImage& img) const;

    static constexpr int BarHeight = 8;

signals:
    void Ticked();
    void Warning();
    void Expired();

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QTimer timer_;
    QString tag_;
    int limit_ = 0;
    int left_ = 0;
    int warnLead_ = 0;
    bool warned_ = false;
    bool running_ = false;
};

} // namespace kelpo
