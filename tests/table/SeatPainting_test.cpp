#include "TableFixture.h"

#include "table/TableGeometry.h"

#include <gtest/gtest.h>

using namespace kelpo;
using namespace kelpo::test;

namespace {

class SeatPainting : public ::testing::Test {
protected:
    void SetUp() override { f.seatPlayers(); }
    // Seat shown at a view position (the local player sits at seat 1).
    static int SeatAt(int view) { return (view - 2 + 1 + SeatCount) % SeatCount; }
    const QImage& save() { return f.painter->picSaveGameBack.image(); }
    int yellowPixels(QRect r)
    {
        int n = 0;
        r = r.intersected(f.pic().rect());
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                n += f.pic().pixel(x, y) == qRgb(255, 255, 0);
        return n;
    }

    TableFixture f;
};

CardList Cards(int n)
{
    CardList c;
    for (int i = 0; i < n; ++i)
        c.append(static_cast<CardCode>(i));
    return c;
}

} // namespace

TEST_F(SeatPainting, PassMarksAndCardRowsInEachAlignmentClass)
{
    for (int view = 0; view < SeatCount; ++view)
        f.state.seats[SeatAt(view)].currentPlay = CardList{PassMarker};
    f.painter->PaintPlays(false);
    for (int view = 0; view < SeatCount; ++view) {
        PlayPlacement p;
        ASSERT_TRUE(PlacePlay(f.layout(), view, 1, p));
        EXPECT_EQ(f.pic().pixel(p.passMark), PassMarkColour) << view;
        EXPECT_EQ(f.pic().pixel(p.passMark + QPoint(94, 44)), PassMarkColour) << view;
        EXPECT_NE(f.pic().pixel(p.passMark - QPoint(1, 1)), PassMarkColour) << view;
        // A pass never shows a count.
        EXPECT_EQ(yellowPixels(QRect(f.layout().PlayAnchor[view] - QPoint(120, 0), QSize(240, 105))), 0) << view;
    }

    for (int view = 0; view < SeatCount; ++view)
        f.state.seats[SeatAt(view)].currentPlay = Cards(view + 2);
    f.painter->PaintPlays(false);
    for (int view = 0; view < SeatCount; ++view) {
        const int n = view + 2;
        PlayPlacement p;
        ASSERT_TRUE(PlacePlay(f.layout(), view, n, p));
        const QPoint last = p.cards + QPoint((n - 1) * CardStep, 0);
        EXPECT_EQ(f.pic().pixel(p.cards + QPoint(5, 50)), CardPixel(CardImageIndex(0), 5, 50)) << view;
        EXPECT_EQ(f.pic().pixel(last + QPoint(79, 104)),
                  CardPixel(CardImageIndex(static_cast<CardCode>(n - 1)), 79, 104))
            << view;
        EXPECT_GT(yellowPixels(QRect(p.countText, QSize(40, 20))), 5) << view;
        EXPECT_EQ(yellowPixels(QRect(p.countText - QPoint(30, 0), QSize(28, 20))), 0) << view;
    }
}

TEST_F(SeatPainting, TwelveCardsAtARightSeatEndAtTheAnchor)
{
    const int seat = SeatAt(3);
    f.state.seats[seat].currentPlay = Cards(12);
    const QImage before = f.pic().copy();
    f.painter->PaintSeatPlay(seat);
    const QPoint a = f.layout().PlayAnchor[3];
    EXPECT_EQ(f.pic().pixel(a.x() - 278 + 5, a.y() + 50), CardPixel(CardImageIndex(0), 5, 50));
    EXPECT_EQ(f.pic().pixel(a.x() - 1, a.y() + 50), CardPixel(CardImageIndex(11), 79, 50));
    EXPECT_EQ(f.pic().pixel(a.x(), a.y() + 50), before.pixel(a.x(), a.y() + 50));
    EXPECT_GT(yellowPixels(QRect(a.x() - 278 - 42, a.y() + 35, 40, 20)), 5);

    f.painter->ClearSeatPlay(seat);
    EXPECT_EQ(DifferingPixels(f.pic(), before, f.pic().rect()), 0);
}

TEST_F(SeatPainting, ClearSeatPlayErasesWhatPaintSeatPlayDrew)
{
    for (int view = 0; view < SeatCount; ++view) {
        for (const CardList& play : {CardList{PassMarker}, Cards(9)}) {
            const QImage before = f.pic().copy();
            f.state.seats[SeatAt(view)].currentPlay = play;
            f.painter->PaintSeatPlay(SeatAt(view));
            EXPECT_GT(DifferingPixels(f.pic(), before, f.pic().rect()), 0) << view;
            f.painter->ClearSeatPlay(SeatAt(view));
            EXPECT_EQ(DifferingPixels(f.pic(), before, f.pic().rect()), 0) << view;
        }
    }
}

TEST_F(SeatPainting, EmptyPlaysBadSeatsAndBadCodesDrawNothing)
{
    const QImage before = f.pic().copy();
    f.painter->PaintSeatPlay(0);
    f.painter->ClearSeatPlay(0);
    for (int seat : {6, 7, 255, -1}) {
        f.painter->PaintSeatPicture(seat);
        f.painter->PaintNetBreak(seat);
        f.painter->PaintReadyHand(seat);
        f.painter->PaintRankMark(seat);
        f.painter->PaintWarnFlag(seat);
        f.painter->PaintRemainingCount(seat);
        f.painter->PaintSeatPlay(seat);
        f.painter->ClearSeatPlay(seat);
        f.painter->RedrawSeatHand(seat);
        f.painter->StartTurnClock(seat);
        f.painter->PlayBombAnimation(seat, 2);
    }
    f.state.globals.SeatViewPos[2] = 9; // a view that does not exist
    f.state.seats[2].currentPlay = Cards(3);
    f.painter->PaintSeatPlay(2);
    EXPECT_EQ(DifferingPixels(f.pic(), before, f.pic().rect()), 0);
}

TEST_F(SeatPainting, RankMarksOnlyForPlacesOneToFive)
{
    const int seat = SeatAt(5);
    QPoint p;
    ASSERT_TRUE(RankMarkPlace(f.layout(), 5, false, p));
    f.state.seats[seat].finishRank = 3;
    f.painter->PaintRankMark(seat);
    EXPECT_EQ(f.pic().pixel(p + QPoint(10, 10)), RankMarkColour(3));
    f.painter->RestoreBack(p.x(), p.y(), 66, 25);
    const QImage before = f.pic().copy();
    for (int rank : {0, 6, 200}) {
        f.state.seats[seat].finishRank = static_cast<std::uint8_t>(rank);
        f.painter->PaintRankMark(seat);
    }
    EXPECT_EQ(DifferingPixels(f.pic(), before, f.pic().rect()), 0);
}

TEST_F(SeatPainting, WarnFlagReadyHandAndCountComeAndGo)
{
    const int seat = SeatAt(4);
    QPoint w;
    ASSERT_TRUE(WarnFlagPlace(f.layout(), 4, false, w));
    f.state.seats[seat].warnFlag = 1;
    f.painter->PaintWarnFlag(seat);
    EXPECT_EQ(f.pic().pixel(w + QPoint(31, 31)), WarnFlagColour);
    f.state.seats[seat].warnFlag = 0;
    f.painter->PaintWarnFlag(seat);
    EXPECT_EQ(f.pic().pixel(w + QPoint(31, 31)), save().pixel(w + QPoint(31, 31)));
    // At a left seat the flag's place overlaps the frame's bottom, which
    // stays whole when the flag is gone.
    const int left = SeatAt(0);
    ASSERT_TRUE(WarnFlagPlace(f.layout(), 0, false, w));
    f.painter->RepaintTable();
    EXPECT_EQ(f.pic().pixel(w + QPoint(2, 2)), left % 2 ? qRgb(100, 60, 50) : qRgb(100, 60, 40));
    // So does the lower seat's frame under the net-break mark's place.
    const int lower = SeatAt(1);
    const QPoint b = f.layout().NetBreakAnchor[1];
    f.state.view.IncrementalPaint = true;
    f.painter->PaintNetBreak(lower);
    EXPECT_EQ(f.pic().pixel(b + QPoint(2, 2)), lower % 2 ? qRgb(100, 60, 50) : qRgb(100, 60, 40));

    const QPoint r = f.layout().ReadyAnchor[4];
    f.state.seats[seat].isHandUp = true;
    f.painter->PaintReadyHand(seat);
    EXPECT_EQ(f.pic().pixel(r + QPoint(79, 34)), ReadyColour);
    f.state.seats[seat].isHandUp = false;
    f.painter->PaintReadyHand(seat);
    EXPECT_EQ(f.pic().pixel(r + QPoint(79, 34)), save().pixel(r + QPoint(79, 34)));

    QPoint c;
    ASSERT_TRUE(CardCountPlace(f.layout(), 4, false, c));
    f.state.seats[seat].cardsLeft = 17;
    const QImage before = f.pic().copy();
    f.painter->PaintRemainingCount(seat); // counts hidden
    EXPECT_EQ(DifferingPixels(f.pic(), before, f.pic().rect()), 0);
    f.state.table.ShowCardCounts = 1;
    const FontState font = f.painter->picGameBack.font;
    f.painter->PaintRemainingCount(seat);
    const QRect box = ChangedBox(f.pic(), before, f.pic().rect());
    EXPECT_TRUE(QRect(c - QPoint(0, 3), QSize(63 + 30, 25)).contains(box)) << box.x() << "," << box.y();
    EXPECT_LT(box.left(), c.x() + 5);
    EXPECT_EQ(f.painter->picGameBack.font, font);
}

TEST_F(SeatPainting, SeatPicturesWithIconFrameAndName)
{
    const int seat = SeatAt(2);
    f.state.seats[seat].iconNumber = 1000; // icon number 1
    f.painter->PaintSeatPicture(seat);
    const QPoint a = f.layout().SeatAnchor[2];
    EXPECT_EQ(f.pic().pixel(a + QPoint(16, 16)), qRgb(20, 150, 200));
    EXPECT_EQ(f.pic().pixel(a + QPoint(-5, -3)), qRgb(100, 60, 30)); // frame s1 of an odd seat

    // No icon file: nothing at all.
    f.state.seats[seat].iconNumber = 99;
    f.painter->RestoreBack(0, 0, 800, 600);
    const QImage before = f.pic().copy();
    f.painter->PaintSeatPicture(seat);
    EXPECT_EQ(DifferingPixels(f.pic(), before, f.pic().rect()), 0);

    // An empty seat erases its place, except while the whole table repaints.
    f.state.seats[seat].name.clear();
    f.pic().fill(qRgb(1, 2, 3));
    f.state.view.IncrementalPaint = false;
    f.painter->PaintSeatPicture(seat);
    EXPECT_EQ(PixelsNotOf(f.pic(), f.pic().rect(), qRgb(1, 2, 3)), 0);
    f.state.view.IncrementalPaint = true;
    f.painter->PaintSeatPicture(seat);
    EXPECT_EQ(DifferingPixels(f.pic(), save(), QRect(a.x() - 5, a.y() - 3, 150, 38)), 0);
}

TEST(PrintWrappedName, EightUnitsToALine)
{
    auto rows = [](const QString& text) {
        Picture p(200, 60, qRgb(0, 0, 0));
        TablePainter::PrintWrappedName(p, 10, 10, text);
        int last = -1;
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 200; ++x)
                if (p.image().pixel(x, y) != qRgb(0, 0, 0))
                    last = y;
        return last;
    };
    // One line ends within the first cell; a second one reaches well into
    // the next, 12 px lower.
    EXPECT_LT(rows(QStringLiteral("四个汉字")), 10 + 12 + 2);
    EXPECT_GE(rows(QStringLiteral("五个汉字啊")), 10 + 12 + 8);
    EXPECT_LT(rows(QStringLiteral("abcdefhi")), 10 + 12 + 2);
    EXPECT_GE(rows(QStringLiteral("abcdefhik")), 10 + 12 + 8);
    EXPECT_EQ(rows(QString()), -1);
}

TEST_F(SeatPainting, ButtonsShowInTheirPhaseAndHideByRestoring)
{
    const QImage before = f.pic().copy();
    f.state.table.TurnPhase = PhaseLead;
    f.painter->ShowPlayButtons(true);
    EXPECT_EQ(f.state.view.PlayButtonState[0], 1);
    EXPECT_EQ(f.state.view.PlayButtonState[1], 0);
    const QRect lead = PlayButtonRect(f.layout(), PhaseLead, 0);
    EXPECT_EQ(f.pic().pixel(lead.topLeft() + QPoint(3, 3)), qRgb(150, 10, 90));
    f.painter->ShowPlayButtons(false);
    EXPECT_EQ(DifferingPixels(f.pic(), before, f.pic().rect()), 0);

    f.state.table.TurnPhase = PhaseFollow;
    f.painter->ShowPlayButtons(true);
    f.state.view.PlayButtonState[1] = 2; // pass button under the pointer
    f.painter->PaintPlayButton(1);
    EXPECT_EQ(f.pic().pixel(PlayButtonRect(f.layout(), PhaseFollow, 0).topLeft() + QPoint(3, 3)), qRgb(150, 10, 90));
    EXPECT_EQ(f.pic().pixel(PlayButtonRect(f.layout(), PhaseFollow, 1).topLeft() + QPoint(3, 3)),
              qRgb(150, 20 * 4 + 10, 90));
    f.painter->ShowPlayButtons(false);
    EXPECT_EQ(DifferingPixels(f.pic(), before, f.pic().rect()), 0);

    f.state.table.TurnPhase = PhaseReturnTribute;
    f.painter->ShowTributeButton(true);
    const QRect t = TributeButtonRect(f.layout());
    EXPECT_EQ(f.pic().pixel(t.topLeft() + QPoint(3, 3)), qRgb(90, 30, 150)); // frame 0, return variant
    f.painter->ShowTributeButton(false);
    EXPECT_EQ(DifferingPixels(f.pic(), before, f.pic().rect()), 0);
    f.state.table.TurnPhase = PhaseFollow;
    f.painter->ShowTributeButton(true);
    EXPECT_EQ(f.state.view.TributeButtonState[0], 0);

    f.state.view.OptionButtonState = {2, 3};
    f.painter->PaintOptionButton(0);
    f.painter->PaintOptionButton(1);
    f.painter->PaintOptionButton(2);
    EXPECT_EQ(f.pic().pixel(OptionButtonRect(f.layout(), 0).topLeft()), qRgb(200, 25, 50));
    EXPECT_EQ(f.pic().pixel(OptionButtonRect(f.layout(), 1).topLeft()), before.pixel(OptionButtonRect(f.layout(), 1).topLeft()));
}

TEST_F(SeatPainting, FullRepaintIsNotReentered)
{
    int refreshes = 0;
    bool incrementalDuring = true;
    f.painter->RefreshStartButton = [&] {
        ++refreshes;
        incrementalDuring = f.state.view.IncrementalPaint;
        f.painter->RepaintTable();
    };
    f.painter->RepaintTable();
    EXPECT_EQ(refreshes, 1);
    EXPECT_FALSE(incrementalDuring);
    EXPECT_TRUE(f.state.view.IncrementalPaint);
}

// Marks beside a seat share rows with the seat's frame, its count and the
// score panel; taking one away or changing the count must leave what a full
// repaint of the same state shows.
TEST_F(SeatPainting, MarksGoneCountsChangedAndSeatsLeftShowAsAFullRepaint)
{
    f.state.table.ShowCardCounts = 1;
    for (SeatRecord& s : f.state.seats)
        s.cardsLeft = 27;
    f.painter->RepaintTable();
    const auto matchesFullRepaint = [&](int view) {
        const QImage incremental = f.pic().copy();
        f.painter->RepaintTable();
        const QRect box = ChangedBox(incremental, f.pic(), f.pic().rect());
        EXPECT_TRUE(box.isEmpty()) << "view " << view << " at " << box.x() << "," << box.y() << " " << box.width()
                                   << "x" << box.height();
    };
    const auto showMarks = [&](int seat, bool shown) {
        SeatRecord& s = f.state.seats[seat];
        s.isOffline = shown;
        s.warnFlag = shown ? 1 : 0;
        s.isHandUp = shown;
        f.painter->PaintNetBreak(seat);
        f.painter->PaintWarnFlag(seat);
        f.painter->PaintReadyHand(seat);
    };
    for (int view = 0; view < SeatCount; ++view) {
        const int seat = SeatAt(view);
        SeatRecord& s = f.state.seats[seat];
        showMarks(seat, true);
        s.cardsLeft = 5;
        f.painter->PaintRemainingCount(seat);
        showMarks(seat, false);
        matchesFullRepaint(view);
        // The user list draws each seat's picture again, first emptied.
        s.warnFlag = 1;
        f.painter->PaintWarnFlag(seat);
        const QString name = s.name;
        s.name.clear();
        f.painter->PaintSeatPicture(seat);
        s.name = name;
        f.painter->PaintSeatPicture(seat);
        matchesFullRepaint(view);
        s.warnFlag = 0;
        f.painter->PaintWarnFlag(seat);
    }
    f.state.table.ShowCardCounts = 0;
    f.painter->RepaintTable();
    for (int view : {0, 1, 3, 4}) {
        f.state.seats[SeatAt(view)].name.clear();
        f.painter->PaintSeatPicture(SeatAt(view));
        matchesFullRepaint(view);
    }
}

TEST_F(SeatPainting, FullRepaintDependsOnlyOnTheState)
{
    for (int view = 0; view < SeatCount; ++view)
        f.state.seats[SeatAt(view)].currentPlay = view == 3 ? CardList{PassMarker} : Cards(view + 1);
    f.state.table.NoHandInPlay = false;
    f.state.table.ShowCardCounts = 1;
    f.state.cards.HandCards = Cards(18);
    f.state.seats[SeatAt(0)].finishRank = 2;
    f.painter->RepaintTable();
    const QImage first = f.pic().copy();
    EXPECT_EQ(f.pic().pixel(207 + 5, f.layout().HandAnchor[2].y() + 50), CardPixel(CardImageIndex(0), 5, 50));
    f.pic().fill(qRgb(255, 0, 255));
    f.painter->RepaintTable();
    EXPECT_EQ(DifferingPixels(f.pic(), first, f.pic().rect()), 0);
    // A bitmap changed on disk shows at the next repaint, in both pictures.
    QImage logo(60, 30, QImage::Format_RGB32);
    logo.fill(qRgb(1, 200, 3));
    ASSERT_TRUE(logo.save(f.appFile(QStringLiteral("Res/LeftLogo.bmp")), "BMP"));
    f.painter->RepaintTable();
    EXPECT_EQ(f.pic().pixel(80, 50), qRgb(1, 200, 3));
    EXPECT_EQ(save().pixel(80, 50), qRgb(1, 200, 3));
}

TEST_F(SeatPainting, AtRatioTwoTableArtComesFromTheLargeFilesAtTheSameGeometry)
{
    // A large pass mark striped by device column, so an enlarged standard
    // file cannot pass for it; large side edges and corner in colours of
    // their own; no large top edge, so the standard one stands in.
    constexpr QRgb Even = 0xFF20C020u, Odd = 0xFF40A040u, Edge = 0xFF503010u, Corner = 0xFF705010u;
    QImage pass(380, 90, QImage::Format_RGB32);
    for (int y = 0; y < 90; ++y)
        for (int x = 0; x < 380; ++x)
            pass.setPixel(x, y, x >= 190 ? qRgb(0, 0, 0) : x % 2 ? Odd : Even); // mask: right half
    ASSERT_TRUE(pass.save(f.appFile("Res/BuChu@2x.bmp"), "BMP"));
    QImage edge(12, 10, QImage::Format_RGB32), corner(36, 36, QImage::Format_RGB32);
    edge.fill(Edge);
    corner.fill(Corner);
    ASSERT_TRUE(edge.save(f.appFile("Res/GameBackVsBian@2x.bmp"), "BMP"));
    ASSERT_TRUE(corner.save(f.appFile("Res/GameBackJiao@2x.bmp"), "BMP"));

    f.painter->SetScale(2);
    f.painter->ResizeTable(800, 600);
    for (int view = 0; view < SeatCount; ++view)
        f.state.seats[SeatAt(view)].currentPlay = CardList{PassMarker};
    f.painter->PaintPlays(false);

    PlayPlacement p;
    ASSERT_TRUE(PlacePlay(f.layout(), 0, 1, p));
    const QPoint at = 2 * p.passMark;
    EXPECT_EQ(f.pic().pixel(at), Even);
    EXPECT_EQ(f.pic().pixel(at + QPoint(1, 0)), Odd);
    EXPECT_EQ(f.pic().pixel(at + QPoint(189, 89)), Odd);
    EXPECT_NE(f.pic().pixel(at + QPoint(190, 89)), Odd);

    // The right edge is 6 logical pixels wide, the corner 18.
    EXPECT_EQ(f.pic().pixel(0, 600), Edge);
    EXPECT_EQ(f.pic().pixel(1588, 600), Edge);
    EXPECT_NE(f.pic().pixel(1587, 600), Edge);
    EXPECT_EQ(f.pic().pixel(1599, 1199), Corner);
    EXPECT_EQ(f.pic().pixel(1564, 1199), Corner);
    EXPECT_NE(f.pic().pixel(1563, 1199), Corner);
    EXPECT_EQ(f.pic().pixel(800, 0), qRgb(120, 80, 40));
}

// On the lowest table the upper right seat lies partly under the score
// panel: a player sitting down or leaving there leaves the panel, and the
// score it shows, on top as a full repaint does.
TEST_F(SeatPainting, ASeatUnderTheScorePanelLeavesThePanelOnTop)
{
    TableFixture low(674, 530);
    low.seatPlayers();
    low.painter->RepaintTable();
    const QRect panel(674 - 182 - 15, 15, 182, 99);
    const int seat = SeatAt(4);
    ASSERT_TRUE(panel.intersects(QRect(low.layout().SeatAnchor[4], QSize(52, 90))));
    const QImage whole = low.pic().copy();
    low.painter->PaintSeatPicture(seat);
    EXPECT_EQ(DifferingPixels(low.pic(), whole, panel), 0);
    low.state.seats[static_cast<std::size_t>(seat)].name.clear();
    low.painter->PaintSeatPicture(seat);
    EXPECT_EQ(DifferingPixels(low.pic(), whole, panel), 0);
}

// On the lowest table the lower side seats' plays reach below the local
// seat's and into the hand: drawn, they leave the hand on top; the round's
// end and a seat's next turn take them away whole and leave the hand as it
// was.
TEST_F(SeatPainting, LowSidePlaysGoWholeAndLeaveTheHand)
{
    TableFixture low(674, 530);
    low.seatPlayers();
    low.state.table.NoHandInPlay = false;
    low.state.cards.HandCards = Cards(18);
    low.painter->RepaintTable();
    const QImage before = low.pic().copy();
    for (int view : {1, 3}) {
        SeatRecord& s = low.state.seats[static_cast<std::size_t>(SeatAt(view))];
        for (int round = 0; round < 2; ++round) {
            s.currentPlay = Cards(4);
            low.painter->PaintSeatPlay(SeatAt(view));
            // The hand stays on top of the play, as a full repaint draws it.
            const QImage drawn = low.pic().copy();
            low.painter->RepaintTable();
            EXPECT_EQ(DifferingPixels(drawn, low.pic(), low.pic().rect()), 0) << view << round;
            if (round == 0) {
                low.painter->ClearSeatPlay(SeatAt(view));
            } else {
                s.currentPlay.clear();
                low.painter->PaintPlays(false);
            }
            EXPECT_EQ(DifferingPixels(low.pic(), before, low.pic().rect()), 0) << view << round;
        }
    }
}
