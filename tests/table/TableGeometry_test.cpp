#include "table/TableGeometry.h"

#include <gtest/gtest.h>

using namespace kelpo;

namespace {

TableLayout Layout(int sw, int sh, bool three)
{
    TableLayout l;
    ComputeSeatLayout(l, sw, sh, three);
    return l;
}

CardList Flags(std::initializer_list<int> raised, int n)
{
    CardList f;
    f.resize(n);
    for (int i : raised)
        f.set(i, 1);
    return f;
}

CardList Hand(int n)
{
    CardList h;
    for (int i = 0; i < n; ++i)
        h.append(static_cast<CardCode>(i));
    return h;
}

} // namespace

TEST(CardImageIndex, MapsSuitsRanksAndJokers)
{
    const std::pair<int, int> cases[] = {{0, 3},   {7, 10},  {10, 0},  {11, 1},  {12, 2},   {13, 29},
                                         {26, 42}, {39, 16}, {52, 52}, {53, 53}, {254, 255}, {54, 255}};
    for (auto [code, index] : cases)
        EXPECT_EQ(CardImageIndex(static_cast<CardCode>(code)), index) << code;
}

TEST(SeatLayout, StandardAnchorsAt800x600)
{
    const TableLayout l = Layout(800, 600, false);
    EXPECT_EQ(l.SeatAnchor[5], QPoint(384, 9));
    EXPECT_EQ(l.SeatAnchor[0], QPoint(9, 134));
    EXPECT_EQ(l.SeatAnchor[1], QPoint(9, 284));
    EXPECT_EQ(l.SeatAnchor[2], QPoint(384, 558));
    EXPECT_EQ(l.SeatAnchor[3], QPoint(750, 284));
    EXPECT_EQ(l.SeatAnchor[4], QPoint(750, 134));
    // The right side takes its break-icon heights from the left side.
    EXPECT_EQ(l.NetBreakAnchor[3], QPoint(750, 284 + 60));
    EXPECT_EQ(l.NetBreakAnchor[4], QPoint(750, 134 - 32));
    EXPECT_EQ(l.ReadyAnchor[2], QPoint(368, 518));
    EXPECT_EQ(l.NameAnchor[3], QPoint(740, 319));

    EXPECT_EQ(l.HandAnchor[2], QPoint(400, 558 - 105 - 6));
    EXPECT_EQ(l.PlayAnchor[5], QPoint(400, 59));
    EXPECT_EQ(l.PlayAnchor[2], QPoint(400, 447 - 105 - 34));
    EXPECT_EQ(l.PlayAnchor[0], QPoint(111, 59 + 115));
    EXPECT_EQ(l.PlayAnchor[1], QPoint(111, 174 + 115));
    EXPECT_EQ(l.PlayAnchor[3], QPoint(648, 289));
    EXPECT_EQ(l.PlayAnchor[4], QPoint(648, 174));
    EXPECT_EQ(l.OptionButtonX, 746);
    EXPECT_EQ(l.OptionButtonY, 535);
}

TEST(SeatLayout, ThreeHandLayoutPinsLeftSeatsWhateverTheSize)
{
    for (auto [w, h] : {std::pair{800, 600}, std::pair{1920, 1080}}) {
        const TableLayout l = Layout(w, h, true);
        EXPECT_EQ(l.SeatAnchor[0], QPoint(89, 290));
        EXPECT_EQ(l.SeatAnchor[1], QPoint(89, 380));
        EXPECT_EQ(l.SeatAnchor[3], QPoint(w - 32 - 89, 380));
        EXPECT_EQ(l.SeatAnchor[4], QPoint(w - 32 - 89, 290));
        EXPECT_EQ(l.NetBreakAnchor[4], QPoint(w - 121 - 50, 290));
        EXPECT_EQ(l.ReadyAnchor[4], QPoint(w - 121 - 100, 290 - 85));
        EXPECT_EQ(l.PlayAnchor[0], QPoint(144, 9 + 60 + 105 + 16));
        EXPECT_EQ(l.PlayAnchor[1], QPoint(144, 190 + 185));
        EXPECT_EQ(l.PlayAnchor[3], QPoint(w - 121 - 20, 375));
    }
}

TEST(HitTestHand, EdgesOfAnEighteenCardHand)
{
    const TableLayout l = Layout(800, 600, false);
    ASSERT_EQ(l.HandAnchor[2].x(), 400);
    EXPECT_EQ(HandLeft(l, 18), 207);
    EXPECT_EQ(HandLeft(l, 18) + RowWidth(18), 593);
    const CardList hand = Hand(18);
    const CardList none = Flags({}, 18);
    const int top = l.HandAnchor[2].y();
    EXPECT_EQ(HitTestHand(l, hand, none, 207, top + 10), 1);
    EXPECT_EQ(HitTestHand(l, hand, none, 206, top + 10), -1);
    EXPECT_EQ(HitTestHand(l, hand, none, 593, top + 10), 18);
    EXPECT_EQ(HitTestHand(l, hand, none, 594, top + 10), -1);
    EXPECT_EQ(HitTestHand(l, hand, none, 300, top + CardHeight), 6);
    EXPECT_EQ(HitTestHand(l, hand, none, 300, top + CardHeight + 1), -1);
    EXPECT_EQ(HitTestHand(l, hand, none, 300, top - RaiseOffset - 1), -1);
    EXPECT_EQ(HitTestHand(l, CardList{}, none, 300, top), -1);
}

TEST(HitTestHand, BandsAboveAndBelowLookLeftForAShowingCard)
{
    const TableLayout l = Layout(800, 600, false);
    const CardList hand = Hand(18);
    const int left = HandLeft(l, 18);
    const int top = l.HandAnchor[2].y();
    const int overCard5 = left + 4 * CardStep + 3;
    const int overCard6 = left + 5 * CardStep + 3;

    // Above the lowered tops.
    EXPECT_EQ(HitTestHand(l, hand, Flags({3}, 18), overCard5, top - 10), 3);
    EXPECT_EQ(HitTestHand(l, hand, Flags({5}, 18), overCard5, top - 10), 5);
    EXPECT_EQ(HitTestHand(l, hand, Flags({}, 18), overCard5, top - 10), -1);
    EXPECT_EQ(HitTestHand(l, hand, Flags({1}, 18), overCard5, top - 10), -1); // 5 - 1 >= 4

    // Middle band: the card under the point, raised or not.
    EXPECT_EQ(HitTestHand(l, hand, Flags({5}, 18), overCard5, top), 5);
    EXPECT_EQ(HitTestHand(l, hand, Flags({}, 18), overCard5, top + CardHeight - RaiseOffset - 1), 5);

    // Bottom band, under the raised cards.
    const int bottom = top + CardHeight - RaiseOffset;
    EXPECT_EQ(HitTestHand(l, hand, Flags({6}, 18), overCard6, bottom), 5);
    EXPECT_EQ(HitTestHand(l, hand, Flags({}, 18), overCard6, bottom + 5), 6);
    EXPECT_EQ(HitTestHand(l, hand, Flags({2, 3, 4, 5, 6}, 18), overCard6, bottom), -1);
    EXPECT_EQ(HitTestHand(l, hand, Flags({1, 2, 3, 4, 5, 6}, 18), overCard6, bottom), -1);

    // Flags shorter than the hand count as lowered, never read past the end.
    EXPECT_EQ(HitTestHand(l, hand, Flags({}, 2), overCard6, bottom), 6);
    // The right-hand part of the last card belongs to it.
    EXPECT_EQ(HitTestHand(l, hand, Flags({}, 18), left + RowWidth(18) - 1, top + 5), 18);
}

TEST(PlayPlacement, EachAlignmentClass)
{
    const TableLayout l = Layout(800, 600, false);
    PlayPlacement p;
    const QPoint a2 = l.PlayAnchor[2];
    ASSERT_TRUE(PlacePlay(l, 2, 5, p));
    EXPECT_EQ(p.passMark, a2 + QPoint(-47, 30));
    EXPECT_EQ(p.cards, a2 + QPoint(-76, 0));
    EXPECT_EQ(p.countText, a2 + QPoint(76 + 2, 35));
    EXPECT_EQ(p.cardArea, QRect(a2.x() - 76, a2.y() - 1, 152 + 45, 107));

    const QPoint a0 = l.PlayAnchor[0];
    ASSERT_TRUE(PlacePlay(l, 0, 5, p));
    EXPECT_EQ(p.passMark, a0 + QPoint(13, 30));
    EXPECT_EQ(p.cards, a0);
    EXPECT_EQ(p.countText, a0 + QPoint(151, 35));
    EXPECT_EQ(p.passArea, QRect(a0 + QPoint(13, 30), QSize(97, 47)));

    // Twelve cards at a right-side seat: 278 px ending at the anchor, the
    // count 42 px left of the row.
    const QPoint a3 = l.PlayAnchor[3];
    ASSERT_TRUE(PlacePlay(l, 3, 12, p));
    EXPECT_EQ(RowWidth(12), 278);
    EXPECT_EQ(p.cards, a3 - QPoint(278, 0));
    EXPECT_EQ(p.countText, QPoint(a3.x() - 278 - 42, a3.y() + 35));
    EXPECT_EQ(p.passMark, a3 + QPoint(-108, 30));
    EXPECT_EQ(p.cardArea, QRect(a3.x() - 278 - 47, a3.y(), 278 + 47, 105));

    EXPECT_FALSE(PlacePlay(l, 6, 3, p));
    EXPECT_FALSE(PlacePlay(l, 2, 0, p));
}

TEST(SeatMarks, PlacesDependOnLayoutAndRefuseBadViews)
{
    const TableLayout s = Layout(800, 600, false);
    const TableLayout t = Layout(800, 600, true);
    QPoint p;
    ASSERT_TRUE(CardCountPlace(s, 3, false, p));
    EXPECT_EQ(p, QPoint(730, 284 + 90));
    ASSERT_TRUE(CardCountPlace(t, 3, true, p));
    EXPECT_EQ(p, QPoint(t.SeatAnchor[3].x() - 10, 380 + 60));
    ASSERT_TRUE(RankMarkPlace(s, 5, false, p));
    EXPECT_EQ(p, QPoint(384 + 16 - 33, 69));
    ASSERT_TRUE(WarnFlagPlace(t, 4, true, p));
    EXPECT_EQ(p, QPoint(t.SeatAnchor[4].x() - 85, 290));
    ASSERT_TRUE(ClockPlace(t, 2, true, p));
    EXPECT_EQ(p, QPoint(384 + 240, 553));
    EXPECT_FALSE(ClockPlace(s, 6, false, p));
    EXPECT_FALSE(RankMarkPlace(s, -1, false, p));
}

TEST(Buttons, PlacesAndStrictHitTests)
{
    const TableLayout l = Layout(800, 600, false);
    ViewState v;
    const QPoint a = l.PlayAnchor[2];
    EXPECT_EQ(PlayButtonRect(l, PhaseLead, 0).topLeft(), QPoint(a.x() - 30, a.y() + 38));
    EXPECT_EQ(PlayButtonRect(l, PhaseFollow, 0).topLeft(), QPoint(a.x() - 65, a.y() + 38));
    EXPECT_EQ(PlayButtonRect(l, PhaseFollow, 1).topLeft(), QPoint(a.x() - 65 + 69, a.y() + 38));

    EXPECT_EQ(HitPlayButton(l, v, PhaseFollow, a.x() - 60, a.y() + 40), -1); // hidden
    v.PlayButtonState = {1, 1};
    const QRect b1 = PlayButtonRect(l, PhaseFollow, 1);
    EXPECT_EQ(HitPlayButton(l, v, PhaseFollow, b1.x() + 1, b1.y() + 1), 1);
    EXPECT_EQ(HitPlayButton(l, v, PhaseFollow, b1.x(), b1.y() + 1), -1);
    EXPECT_EQ(HitPlayButton(l, v, PhaseFollow, b1.x() + 61, b1.y() + 1), -1);
    EXPECT_EQ(HitPlayButton(l, v, PhaseFollow, b1.x() + 1, b1.y() + 28), -1);
    EXPECT_EQ(HitPlayButton(l, v, PhaseLead, b1.x() + 40, b1.y() + 5), -1); // only one button leads
    EXPECT_EQ(HitPlayButton(l, v, PhaseNone, a.x(), a.y() + 45), -1);

    EXPECT_EQ(HitOptionButton(l, v, 747, 536), -1);
    v.OptionButtonState = {1, 1};
    EXPECT_EQ(HitOptionButton(l, v, 747, 536), 0);
    EXPECT_EQ(HitOptionButton(l, v, 747, 535 + 29 + 1), 1);
    EXPECT_EQ(HitOptionButton(l, v, 746, 540), -1);
    EXPECT_EQ(HitOptionButton(l, v, 760, 535 + 24), -1);

    const QRect t = TributeButtonRect(l);
    EXPECT_EQ(HitTributeButton(l, v, t.x() + 1, t.y() + 1), -1);
    v.TributeButtonState = {2};
    EXPECT_EQ(HitTributeButton(l, v, t.x() + 1, t.y() + 1), 0);
    EXPECT_EQ(HitTributeButton(l, v, t.x() + 61, t.y() + 1), -1);
}
