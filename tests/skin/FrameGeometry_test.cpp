#include "skin/FramePaint.h"
#include "skin/FrameZones.h"

#include <gtest/gtest.h>

using namespace kelpo;
using FrameZones::ZoneAt;

TEST(FrameZones, ZoneTableAtItsEdges)
{
    // L = 100, T = 50, R = 1100, B = 750 (one past the last pixel).
    const QRect w(100, 50, 1000, 700);
    struct Case {
        int x, y;
        bool onButton;
        FrameZone zone;
    };
    const Case cases[] = {
        {104, 54, false, FrameZone::LeftUp},   {1096, 746, false, FrameZone::RightDown},
        {1096, 54, false, FrameZone::RightUp}, {104, 746, false, FrameZone::LeftDown},
        {104, 400, false, FrameZone::Left},    {105, 400, false, FrameZone::None},
        {40, 400, false, FrameZone::Left}, // beyond the window still counts
        {1095, 400, false, FrameZone::None},   {1096, 400, false, FrameZone::Right},
        {500, 54, false, FrameZone::Up},       {500, 55, false, FrameZone::None},
        {500, 56, false, FrameZone::Move},     {500, 84, false, FrameZone::Move},
        {500, 85, false, FrameZone::None},     {500, 60, true, FrameZone::None},
        {500, 54, true, FrameZone::Up},        {500, 745, false, FrameZone::None},
        {500, 746, false, FrameZone::Down},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ZoneAt(w, {c.x, c.y}, c.onButton), c.zone) << c.x << "," << c.y;

    EXPECT_EQ(FrameZones::ZoneName(FrameZone::RightUp), QStringLiteral("RightUp"));
    EXPECT_TRUE(FrameZones::ZoneName(FrameZone::None).isEmpty());
    EXPECT_EQ(FrameZones::ZoneCursor(FrameZone::LeftDown), Qt::SizeBDiagCursor);
    EXPECT_EQ(FrameZones::ZoneCursor(FrameZone::Move), Qt::ArrowCursor);
    EXPECT_EQ(FrameZones::ZoneEdges(FrameZone::RightDown), Qt::RightEdge | Qt::BottomEdge);
}

TEST(FrameZones, DragMovesOrSizesAndStopsAtTheMinimumWithTheFarEdgesFixed)
{
    const QRect start(100, 50, 1000, 700);
    EXPECT_EQ(FrameZones::DraggedGeometry(FrameZone::Move, start, {500, 60}, {450, 90}), QRect(50, 80, 1000, 700));
    EXPECT_EQ(FrameZones::DraggedGeometry(FrameZone::LeftUp, start, {100, 50}, {150, 20}),
              QRect(150, 20, 950, 730));
    const QRect shrunk = FrameZones::DraggedGeometry(FrameZone::LeftUp, start, {100, 50}, {900, 600});
    EXPECT_EQ(shrunk.size(), QSize(800, 570));
    EXPECT_EQ(shrunk.bottomRight(), start.bottomRight());
    EXPECT_EQ(FrameZones::DraggedGeometry(FrameZone::Down, start, {500, 749}, {700, 100}),
              QRect(100, 50, 1000, 570));
}

TEST(FramePaint, ButtonSlotsAndStrictHitTestsAtSeveralWidths)
{
    for (const int W : {800, 1024, 1280}) {
        for (const int S : {150, 200, 301}) {
            const FramePaint::ButtonPositions pos = FramePaint::PlaceFrameButtons(W, S);
            EXPECT_EQ(pos.SysButtonPos[0], QPoint(W - 100, 7));
            EXPECT_EQ(pos.SysButtonPos[2], QPoint(W - 48, 7));
            const int d = S / 3;
            EXPECT_EQ(pos.UserButtonPos[0], QPoint(d - 30, 4));
            EXPECT_EQ(pos.UserButtonPos[1], QPoint(2 * d - 10, 4));

            for (int s = 0; s < 3; ++s) {
                const QPoint c = pos.SysButtonPos[s];
                EXPECT_EQ(FramePaint::HitSysButton(pos, c + QPoint(1, 1)), s);
                EXPECT_EQ(FramePaint::HitSysButton(pos, c + QPoint(20, 20)), s);
                EXPECT_EQ(FramePaint::HitSysButton(pos, c + QPoint(0, 10)), -1);
                EXPECT_EQ(FramePaint::HitSysButton(pos, c + QPoint(10, 21)), -1);
            }
            // The 5-pixel gap between system buttons belongs to none.
            EXPECT_EQ(FramePaint::HitSysButton(pos, QPoint(W - 77, 15)), -1);
            const QPoint u = pos.UserButtonPos[1];
            EXPECT_EQ(FramePaint::HitUserButton(pos, u + QPoint(40, 24)), 1);
            EXPECT_EQ(FramePaint::HitUserButton(pos, u + QPoint(41, 12)), -1);
        }
    }
    EXPECT_EQ(FramePaint::KindOfSlot(1, true), FramePaint::KindRestore);
    EXPECT_EQ(FramePaint::SlotOfKind(FramePaint::KindRestore), 1);
    EXPECT_EQ(FramePaint::SlotOfKind(4), -1);
}
