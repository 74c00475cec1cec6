#include "TableFixture.h"

#include "controls/YuClock.h"
#include "table/TableGeometry.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace kelpo;
using namespace kelpo::test;

namespace {

class ClockAndPanels : public ::testing::Test {
protected:
    void SetUp() override
    {
        f.seatPlayers();
        f.painter->YuClockControl = &clock;
    }
    // The picture as it would be after printing text over `base`.
    static QImage Printed(const QImage& base, const FontState& font, QPoint at, const QString& text)
    {
        Picture p;
        p.image() = base.copy();
        p.font = font;
        p.print(at.x(), at.y(), text);
        return p.image();
    }

    TableFixture f;
    YuClock clock;
};

} // namespace

TEST_F(ClockAndPanels, ClockShowsFrameAndSecondsLeft)
{
    f.state.table.TurnPhase = PhaseFollow;
    f.state.table.TurnSeconds = 20;
    f.painter->StartTurnClock(3); // seat 3 sits at view 4
    EXPECT_EQ(clock.Tag(), QStringLiteral("3"));
    EXPECT_TRUE(clock.isRunning());
    EXPECT_EQ(clock.limit(), 20);
    QPoint c;
    ASSERT_TRUE(ClockPlace(f.layout(), 4, false, c));

    f.state.view.ClockTicks = 3;
    const QImage before = f.pic().copy();
    f.painter->PaintClock(true);
    EXPECT_EQ(f.pic().pixel(c + QPoint(15, 19)), ClockFrameColour(3));
    QImage expected = before.copy();
    {
        Picture e;
        e.image() = expected;
        // The seconds' cell comes back from the saved background with the
        // part of the time bar's head that lies in it.
        const QRect r(60, 30, 30, 14);
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                e.image().setPixel(x, y, f.painter->picSaveGameBack.image().pixel(x, y));
        const TableLayout& L = f.layout();
        e.drawImage(L.TimeBarX, L.TimeBarY, QImage(f.appFile(QStringLiteral("Res/TimeBarHead.bmp"))));
        expected = e.image();
    }
    FontState font;
    font.fontName = QStringLiteral("黑体");
    font.fontBold = true;
    font.fontSize = 9;
    font.foreColor = qRgb(255, 255, 0);
    expected = Printed(expected, font, {60, 30}, QStringLiteral("17"));
    EXPECT_EQ(DifferingPixels(f.pic(), expected, QRect(40, 20, 100, 30)), 0);
    EXPECT_EQ(f.painter->picGameBack.font.fontName, QStringLiteral("宋体"));
    EXPECT_FALSE(f.painter->picGameBack.font.fontBold);

    f.state.view.ClockTicks = 8;
    f.painter->PaintClock(true);
    EXPECT_EQ(f.pic().pixel(c + QPoint(15, 19)), ClockFrameColour(0));

    // Tribute turns run on their own limit.
    f.state.table.TurnPhase = PhaseTribute;
    f.state.table.TributeSeconds = 15;
    f.painter->StartTurnClock(3);
    EXPECT_EQ(clock.limit(), 15);
    EXPECT_EQ(f.state.view.ClockTicks, 0);

    f.painter->StopTurnClock();
    EXPECT_EQ(clock.Tag(), QStringLiteral("100"));
    EXPECT_FALSE(clock.isRunning());
    EXPECT_EQ(DifferingPixels(f.pic(), f.painter->picSaveGameBack.image(), QRect(c, QSize(32, 39))), 0);

    // Erased again, the seconds' cell and the bar's ends come back from
    // whatever was drawn over them since, and stay as they are otherwise.
    // (The picture is read through its const image: taking it to write
    // would make every erase a whole one.)
    const Picture& table = f.painter->picGameBack;
    const QImage erased = table.image().copy();
    for (const QRect& over : {QRect(), QRect(70, 35, 5, 5), QRect(15, 15, 4, 4), QRect(187, 15, 3, 3)}) {
        f.painter->picGameBack.fillRect(over.x(), over.y(), over.width(), over.height(), qRgb(1, 2, 3));
        clock.SetTag(QStringLiteral("3"));
        f.painter->StopTurnClock();
        EXPECT_EQ(DifferingPixels(table.image(), erased, erased.rect()), 0) << over.x();
    }
}

TEST_F(ClockAndPanels, NoSeatOrNoPhaseDrawsAndErasesNothing)
{
    f.state.table.TurnPhase = PhaseFollow;
    f.pic().fill(qRgb(9, 9, 9));
    for (const char* tag : {"100", "", "x", "6", "-1"}) {
        clock.SetTag(QString::fromLatin1(tag));
        f.painter->PaintClock(true);
        f.painter->PaintClock(false);
    }
    clock.SetTag(QStringLiteral("2"));
    f.state.table.TurnPhase = PhaseNone;
    f.painter->PaintClock(true);
    f.painter->StartTurnClock(2);
    EXPECT_FALSE(clock.isRunning());
    EXPECT_EQ(PixelsNotOf(f.pic(), f.pic().rect(), qRgb(9, 9, 9)), 0);
}

TEST_F(ClockAndPanels, TimeBarEndsAndItsPlace)
{
    f.painter->PaintTimeBar();
    EXPECT_EQ(f.pic().pixel(15, 15), qRgb(70, 70, 90));
    EXPECT_EQ(f.pic().pixel(15 + 51, 44), qRgb(70, 70, 90));
    EXPECT_EQ(f.pic().pixel(187, 15), qRgb(90, 70, 70));
    f.painter->PlaceTimeBar();
    EXPECT_EQ(clock.geometry().topLeft(), QPoint(67, 15));
    EXPECT_EQ(clock.width(), 120);
}

TEST_F(ClockAndPanels, EndPanelForADrawShowsOnlyTheDrawText)
{
    const QImage before = f.pic().copy();
    f.painter->PaintGameEnd({0, 0, 0, 0, 0, 0});
    const int px = (800 - 309) / 2;
    const int py = (600 - 300) / 2;
    QImage expected = before.copy();
    for (int y = py; y < py + 300; ++y)
        for (int x = px; x < px + 309; ++x)
            expected.setPixel(x, y, EndPanelColour);
    FontState font;
    font.fontName = QStringLiteral("黑体");
    font.fontBold = true;
    font.fontSize = 20;
    font.foreColor = qRgb(0, 0, 250);
    expected = Printed(expected, font, {px + 90, py + 120}, QStringLiteral("本轮和局！"));
    EXPECT_EQ(DifferingPixels(f.pic(), expected, f.pic().rect()), 0);
    EXPECT_EQ(f.painter->picGameBack.font.fontSize, 9);
}

TEST_F(ClockAndPanels, EndPanelListsNamesAndSignedResultsEvenWithSeatZeroAtZero)
{
    const QImage before = f.pic().copy();
    // Seat 0 absent from the winning team, its penalty equal to the stake.
    const std::array<std::int32_t, SeatCount> scores{0, -7, 12, 3, -100, 2147483647};
    f.painter->PaintGameEnd(scores);
    const int px = (800 - 309) / 2;
    const int py = (600 - 300) / 2;
    Picture e;
    e.image() = before.copy();
    e.fillRect(px, py, 309, 300, EndPanelColour);
    e.line(px + 30, py + 70, px + 280, py + 70, qRgb(30, 30, 30));
    e.line(px + 30, py + 69, px + 280, py + 69, qRgb(230, 230, 230));
    e.font.fontName = QStringLiteral("宋体");
    e.font.fontBold = true;
    e.font.fontSize = 10;
    e.font.foreColor = qRgb(0, 0, 250);
    for (int i = 0; i < SeatCount; ++i) {
        e.print(px + 60, py + 90 + 25 * i, f.state.seats[i].name);
        e.print(px + 240, py + 90 + 25 * i, QString::number(scores[i]));
    }
    EXPECT_EQ(DifferingPixels(f.pic(), e.image(), f.pic().rect()), 0);
    // The minus sign is there: "-7" is wider than "7".
    Picture minus(60, 20, qRgb(0, 0, 0));
    minus.font = e.font;
    EXPECT_GT(minus.textWidth(QStringLiteral("-7")), minus.textWidth(QStringLiteral("7")));
}

TEST_F(ClockAndPanels, ScorePanelNeedsItsMaskAndShowsBothCounters)
{
    f.state.table.ScoreCounters = {4, 9};
    f.painter->PaintScorePanel();
    const int px = 800 - 182 - 15;
    EXPECT_EQ(f.pic().pixel(px + 2, 17), ScorePanelColour);
    auto colourIn = [&](const QRect& r, QRgb c) {
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                n += f.pic().pixel(x, y) == c;
        return n;
    };
    EXPECT_GT(colourIn(QRect(px + 129, 48, 30, 30), qRgb(0, 0, 255)), 5);
    EXPECT_GT(colourIn(QRect(px + 129, 83, 30, 30), qRgb(255, 0, 0)), 5);

    f.painter->RestoreBack(0, 0, 800, 600);
    const QImage before = f.pic().copy();
    f.remove(QStringLiteral("Res/GameScoreM.bmp"));
    f.painter->PaintScorePanel();
    EXPECT_EQ(DifferingPixels(f.pic(), before, f.pic().rect()), 0);
}

// On the lowest table (the smallest window) the upper right seat's clock
// reaches under the score panel: neither its ticks nor its erase may cut
// into the panel, which a full repaint draws over it.
TEST_F(ClockAndPanels, AClockUnderTheScorePanelLeavesThePanelWhole)
{
    TableFixture low(674, 530);
    low.seatPlayers();
    low.painter->YuClockControl = &clock;
    low.state.table.TurnPhase = PhaseFollow;
    low.painter->PaintScorePanel();
    const QRect panel(674 - 182 - 15, 15, 182, 99);
    QPoint c;
    ASSERT_TRUE(ClockPlace(low.layout(), 4, false, c));
    ASSERT_TRUE(panel.intersects(QRect(c, QSize(31, 38))));
    const QImage before = low.pic().copy();
    low.painter->StartTurnClock(3); // seat 3 sits at view 4
    low.painter->PaintClock(true);
    EXPECT_EQ(DifferingPixels(low.pic(), before, panel), 0);
    EXPECT_EQ(low.pic().pixel(c.x() + 15, panel.bottom() + 10), ClockFrameColour(0));
    low.painter->StopTurnClock();
    EXPECT_EQ(DifferingPixels(low.pic(), before, panel), 0);
}

TEST_F(ClockAndPanels, ScorePanelDrawnAgainShowsTheGroundUnderItsSeeThroughPart)
{
    // The panel's left band is see-through: a black panel under a white mask.
    QImage panel(182, 99, QImage::Format_RGB32);
    panel.fill(ScorePanelColour);
    QImage mask(182, 99, QImage::Format_RGB32);
    mask.fill(qRgb(0, 0, 0));
    for (int y = 0; y < 99; ++y)
        for (int x = 0; x < 40; ++x) {
            panel.setPixel(x, y, qRgb(0, 0, 0));
            mask.setPixel(x, y, qRgb(255, 255, 255));
        }
    ASSERT_TRUE(panel.save(f.appFile(QStringLiteral("Res/GameScore.bmp")), "BMP"));
    ASSERT_TRUE(mask.save(f.appFile(QStringLiteral("Res/GameScoreM.bmp")), "BMP"));
    Picture& pic = f.painter->picGameBack;
    auto at = [&](int x, int y) { return std::as_const(pic).image().pixel(x, y); };
    const int px = 800 - 182 - 15;
    f.painter->RestoreBack(0, 0, 800, 600);
    const QRgb ground = at(px + 5, 30);
    pic.fillRect(px, 20, 30, 60, qRgb(255, 0, 0));
    f.painter->PaintScorePanel();
    f.painter->PaintScorePanel();
    EXPECT_EQ(at(px + 5, 30), qRgb(255, 0, 0));
    // The red goes with a restore; drawn again, the panel shows the table.
    f.painter->RestoreBack(px - 10, 10, 60, 80);
    f.painter->PaintScorePanel();
    EXPECT_EQ(at(px + 5, 30), ground);
    EXPECT_EQ(at(px + 100, 30), ScorePanelColour);
}

TEST_F(ClockAndPanels, ExplosionDrawsEachFrameAndLeavesNoTrace)
{
    const int seat = 1; // the viewed seat, bottom centre
    f.state.seats[seat].currentPlay = CardList{3, 16, 29, 42};
    f.painter->PaintSeatPlay(seat);
    const QImage before = f.pic().copy();
    const QPoint a = f.layout().PlayAnchor[2];
    const QPoint centre(a.x() - 88 / 2 + 44, a.y() + 40);
    int waits = 0;
    int total = 0;
    f.painter->WaitMilliseconds = [&](int ms) {
        ++waits;
        total += ms;
        EXPECT_TRUE(f.state.view.BombPlaying);
        EXPECT_GT(qRed(f.pic().pixel(centre)), 150);
        // The white around the blast is the key colour: the cards show.
        EXPECT_EQ(f.pic().pixel(a.x() - 40, a.y() + 2), before.pixel(a.x() - 40, a.y() + 2));
    };
    f.painter->PlayBombAnimation(seat, 2);
    EXPECT_EQ(waits, 15);
    EXPECT_EQ(total, 15 * 40);
    EXPECT_FALSE(f.state.view.BombPlaying);
    EXPECT_EQ(DifferingPixels(f.pic(), before, f.pic().rect()), 0);

    // A missing frame is skipped without waiting; a quit ends it early.
    f.remove(QStringLiteral("Res/Bomb/b2/Blast003.jpg"));
    waits = 0;
    f.painter->PlayBombAnimation(seat, 2);
    EXPECT_EQ(waits, 14);
    waits = 0;
    f.painter->WaitMilliseconds = [&](int) {
        if (++waits == 2)
            f.state.globals.QuitRequested = true;
    };
    f.painter->PlayBombAnimation(seat, 2);
    EXPECT_EQ(waits, 2);
    EXPECT_EQ(DifferingPixels(f.pic(), before, f.pic().rect()), 0);
    f.painter->PlayBombAnimation(seat, 4);
    f.painter->PlayBombAnimation(seat, 0);
    EXPECT_EQ(waits, 2);
}

TEST_F(ClockAndPanels, AnExplosionAskedForDuringOneIsSkipped)
{
    const QImage before = f.pic().copy();
    int waits = 0;
    f.painter->WaitMilliseconds = [&](int) {
        ++waits;
        f.painter->PlayBombAnimation(4, 2);
    };
    f.painter->PlayBombAnimation(1, 2);
    EXPECT_EQ(waits, 15);
    EXPECT_EQ(DifferingPixels(f.pic(), before, f.pic().rect()), 0);
}

TEST_F(ClockAndPanels, AtRatioTwoAnExplosionFrameIsReadAtFullResolution)
{
    // A large frame striped dark and light by device column inside a white
    // key border: an enlarged standard frame cannot pass for it, and the key
    // still shows the table through.
    QImage large(176, 160, QImage::Format_RGB32);
    large.fill(Qt::white);
    for (int y = 40; y < 120; ++y)
        for (int x = 40; x < 136; ++x)
            large.setPixel(x, y, x % 2 ? qRgb(200, 200, 200) : qRgb(40, 40, 40));
    ASSERT_TRUE(large.save(f.appFile("Res/Bomb/b2/Blast001@2x.jpg"), "JPEG", 100));

    f.painter->SetScale(2);
    f.painter->ResizeTable(800, 600);
    const QImage before = f.pic().copy();
    const QPoint a = f.layout().PlayAnchor[2];
    const QPoint origin = 2 * QPoint(a.x() - 88 / 2, a.y()); // the frame's top-left, device pixels
    const auto grey = [&](int x, int y) { return qGreen(f.pic().pixel(origin + QPoint(x, y))); };
    int waits = 0;
    f.painter->WaitMilliseconds = [&](int) {
        if (++waits != 1)
            return;
        for (int x : {40, 80, 134}) {
            EXPECT_NEAR(grey(x, 60), 40, 24) << x;
            EXPECT_NEAR(grey(x + 1, 60), 200, 24) << x;
        }
        for (QPoint key : {QPoint(10, 10), QPoint(170, 150)})
            EXPECT_EQ(f.pic().pixel(origin + key), before.pixel(origin + key));
    };
    f.painter->PlayBombAnimation(1, 2);
    EXPECT_EQ(waits, 15);
    EXPECT_EQ(DifferingPixels(f.pic(), before, f.pic().rect()), 0);
}
