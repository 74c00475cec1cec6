#include "controls/YuClock.h"

#include <QImage>
#include <QSignalSpy>

#include <gtest/gtest.h>

using kelpo::YuClock;

TEST(YuClock, CountsDownWarnsOnceAndExpiresOnce)
{
    YuClock clock;
    QSignalSpy ticks(&clock, &YuClock::Ticked);
    QSignalSpy warnings(&clock, &YuClock::Warning);
    QSignalSpy expiries(&clock, &YuClock::Expired);
    clock.Start(8, 5);
    for (int i = 0; i < 2; ++i)
        clock.Tick();
    EXPECT_EQ(warnings.count(), 0);
    clock.Tick(); // 5 left
    EXPECT_EQ(warnings.count(), 1);
    for (int i = 0; i < 4; ++i)
        clock.Tick();
    EXPECT_EQ(warnings.count(), 1);
    EXPECT_EQ(expiries.count(), 0);
    clock.Tick(); // 0 left
    EXPECT_EQ(expiries.count(), 1);
    EXPECT_FALSE(clock.isRunning());
    clock.Tick();
    EXPECT_EQ(ticks.count(), 8);
    EXPECT_EQ(expiries.count(), 1);
}

TEST(YuClock, StopSilencesAndRestartRearmsTheWarning)
{
    YuClock clock;
    QSignalSpy warnings(&clock, &YuClock::Warning);
    QSignalSpy expiries(&clock, &YuClock::Expired);
    clock.Start(6, 5);
    clock.Tick();
    EXPECT_EQ(warnings.count(), 1);
    clock.Stop();
    for (int i = 0; i < 10; ++i)
        clock.Tick();
    EXPECT_EQ(expiries.count(), 0);
    clock.Start(2, 5); // shorter than the lead: warn on the first second
    clock.Tick();
    clock.Tick();
    EXPECT_EQ(warnings.count(), 2);
    EXPECT_EQ(expiries.count(), 1);
}

TEST(YuClock, HandlerStoppingTheClockOnTickPreventsExpiry)
{
    YuClock clock;
    QSignalSpy expiries(&clock, &YuClock::Expired);
    QObject::connect(&clock, &YuClock::Ticked, &clock, [&] { clock.Stop(); });
    clock.Start(1, 5);
    clock.Tick();
    EXPECT_EQ(expiries.count(), 0);
}

TEST(YuClock, BarShrinksWithTheTimeLeft)
{
    YuClock clock;
    clock.SetTag(QStringLiteral("100"));
    EXPECT_EQ(clock.Tag(), QStringLiteral("100"));
    clock.Start(10, 5);
    QImage img(102, YuClock::BarHeight, QImage::Format_RGB32);
    auto lit = [&] {
        clock.Draw(img);
        int n = 0;
        for (int x = 0; x < img.width(); ++x)
            n += img.pixel(x, 3) != qRgb(40, 40, 40);
        return n;
    };
    EXPECT_EQ(lit(), 100);
    for (int i = 0; i < 5; ++i)
        clock.Tick();
    EXPECT_EQ(lit(), 50);
    EXPECT_EQ(img.pixel(1, 3), qRgb(220, 40, 30)); // within the warning lead
    clock.Stop();
    EXPECT_EQ(lit(), 0);
}
