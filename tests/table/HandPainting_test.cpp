#include "TableFixture.h"

#include "table/TableGeometry.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace kelpo;
using namespace kelpo::test;

namespace {

// Eighteen different cards: every image index appears at most once.
CardList EighteenCards()
{
    CardList hand;
    for (int i = 0; i < 18; ++i)
        hand.append(static_cast<CardCode>(i * 3 % 54 + 1));
    return hand;
}

class HandPainting : public ::testing::Test {
protected:
    void SetUp() override
    {
        f.seatPlayers();
        f.state.table.NoHandInPlay = false;
        f.state.cards.HandCards = EighteenCards();
        f.state.cards.SelectedFlags.resize(18);
    }
    QPoint anchor() const { return f.layout().HandAnchor[2]; }
    // The image pixel shown at picture point (x, y) for a card drawn with its
    // top-left at (cx, cy).
    QRgb cardAt(int index, int cx, int cy, int x, int y) const { return CardPixel(index, x - cx, y - cy); }

    TableFixture f;
};

} // namespace

TEST_F(HandPainting, CardsOverlapFromTheLeftEdgeAndRaisedOnesAreLifted)
{
    f.state.cards.SelectedFlags.set(4, 1);
    f.painter->DrawHand();
    const int left = 207;
    const int top = anchor().y();
    for (int i = 1; i <= 18; ++i) {
        const int index = CardImageIndex(f.state.cards.HandCards.at(i));
        const int cx = left + (i - 1) * CardStep;
        const int cy = top - (i == 4 ? RaiseOffset : 0);
        // A point in the visible strip of card i, below any corner.
        EXPECT_EQ(f.pic().pixel(cx + 5, cy + 50), cardAt(index, cx, cy, cx + 5, cy + 50)) << i;
    }
    // The last card shows its full width; the corner pixels stay transparent.
    const int lastIndex = CardImageIndex(f.state.cards.HandCards.at(18));
    EXPECT_EQ(f.pic().pixel(left + 17 * 18 + 79, top + 104), cardAt(lastIndex, left + 306, top, 592, top + 104));
    EXPECT_EQ(f.pic().pixel(left, top), f.painter->picSaveGameBack.image().pixel(left, top));
    // Above the lowered cards and beyond the ends the background is untouched.
    EXPECT_EQ(DifferingPixels(f.pic(), f.painter->picSaveGameBack.image(), QRect(left, top - RaiseOffset, 3 * 18, RaiseOffset)), 0);
    EXPECT_NE(DifferingPixels(f.pic(), f.painter->picSaveGameBack.image(), QRect(left + 3 * 18, top - RaiseOffset, 18, RaiseOffset)), 0);
}

TEST_F(HandPainting, HiddenHandShowsBacksStillLifted)
{
    f.state.table.CanSeeHand = 0;
    f.state.cards.SelectedFlags.set(2, 1);
    f.painter->DrawHand();
    const int top = anchor().y();
    EXPECT_EQ(f.pic().pixel(207 + 5, top + 50), CardBackColour);
    EXPECT_EQ(f.pic().pixel(207 + 18 + 5, top - RaiseOffset + 10), CardBackColour);
    EXPECT_EQ(f.pic().pixel(207 + 17 * 18 + 50, top + 50), CardBackColour);
}

TEST_F(HandPainting, FirstLeaderSeesCardZeroMarkedUntilTheFirstLead)
{
    f.state.cards.HandCards.set(18, 0);
    f.state.cards.FirstLeader = 1;
    f.painter->DrawHand();
    const int cx = 207 + 17 * 18;
    const int top = anchor().y();
    EXPECT_EQ(f.pic().pixel(cx + 40, top + 40), CardPixel(100, 40, 40));
    f.state.cards.FirstLeadDone = true;
    f.painter->DrawHand();
    EXPECT_EQ(f.pic().pixel(cx + 40, top + 40), CardPixel(CardImageIndex(0), 40, 40));
}

TEST_F(HandPainting, MissingOrBrokenCardFileLeavesTheNextCardInItsPlace)
{
    const int skipped = CardImageIndex(f.state.cards.HandCards.at(3));
    const int next = CardImageIndex(f.state.cards.HandCards.at(4));
    f.remove(QStringLiteral("Res/ResPk/Pk%1.bmp").arg(skipped));
    // A truncated file is as good as none.
    const int broken = CardImageIndex(f.state.cards.HandCards.at(5));
    QFile file(f.appFile(QStringLiteral("Res/ResPk/Pk%1.bmp").arg(broken)));
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    file.resize(100);
    file.close();
    f.painter->DrawHand();
    const int top = anchor().y();
    const int cx = 207 + 2 * CardStep;
    EXPECT_EQ(f.pic().pixel(cx + 5, top + 50), CardPixel(next, 5, 50));
    const int after = CardImageIndex(f.state.cards.HandCards.at(6));
    EXPECT_EQ(f.pic().pixel(cx + 18 + 5, top + 50), CardPixel(after, 5, 50));
}

TEST_F(HandPainting, FilesThatChangeOrDisappearAreNoticed)
{
    f.painter->DrawHand();
    const int first = CardImageIndex(f.state.cards.HandCards.at(1));
    const int top = anchor().y();
    QImage red(80, 105, QImage::Format_RGB32);
    red.fill(qRgb(255, 0, 0));
    ASSERT_TRUE(red.save(f.appFile(QStringLiteral("Res/ResPk/Pk%1.bmp").arg(first)), "BMP"));
    f.painter->DrawHand();
    EXPECT_EQ(f.pic().pixel(207 + 5, top + 50), qRgb(255, 0, 0));
    f.remove(QStringLiteral("Res/ResPk/PkMask.bmp"));
    f.painter->DrawHand();
    EXPECT_EQ(DifferingPixels(f.pic(), f.painter->picSaveGameBack.image(), QRect(207, top - RaiseOffset, 387, 129)), 0);
}

TEST_F(HandPainting, RedrawHandCardMatchesAFullDrawingForEveryCard)
{
    f.state.cards.SelectedFlags.set(7, 1);
    f.state.cards.SelectedFlags.set(8, 1);
    f.state.cards.SelectedFlags.set(18, 1);
    f.state.view.HandFocus = 8; // its frame is redrawn as part of the card
    f.painter->DrawHand();
    QImage before = f.pic().copy();
    for (int i = 1; i <= 18; ++i) {
        for (int pass = 0; pass < 2; ++pass) {
            CardList& flags = f.state.cards.SelectedFlags;
            flags.set(i, flags.at(i) ? 0 : 1);
            f.painter->RedrawHandCard(i);
            const QImage strip = f.pic().copy();
            f.painter->DrawHand();
            ASSERT_EQ(DifferingPixels(strip, f.pic(), f.pic().rect()), 0)
                << "card " << i << " pass " << pass << " at " << ChangedBox(strip, f.pic(), f.pic().rect()).x() << ","
                << ChangedBox(strip, f.pic(), f.pic().rect()).y() << " top " << anchor().y();
            // Only the card's own column changed.
            const QRect changed = ChangedBox(strip, before, f.pic().rect());
            const int cx = 207 + (i - 1) * CardStep;
            EXPECT_TRUE(QRect(cx, anchor().y() - RaiseOffset, CardWidth, 129).contains(changed)) << i;
            before = strip;
        }
    }
}

TEST_F(HandPainting, RedrawHandCardAfterTheHandChangedDrawsItAll)
{
    f.painter->DrawHand();
    f.state.cards.HandCards.removeAt(1);
    f.state.cards.SelectedFlags.set(2, 1);
    f.painter->RedrawHandCard(2);
    const QImage strip = f.pic().copy();
    f.painter->DrawHand();
    EXPECT_EQ(DifferingPixels(strip, f.pic(), f.pic().rect()), 0);
    f.painter->RedrawHandCard(0);
    f.painter->RedrawHandCard(40);
    EXPECT_EQ(DifferingPixels(strip, f.pic(), f.pic().rect()), 0);
}

TEST_F(HandPainting, RedrawHandCardShowsACardFileChangedSinceTheDrawing)
{
    f.painter->DrawHand();
    const int second = CardImageIndex(f.state.cards.HandCards.at(2));
    QImage red(80, 105, QImage::Format_RGB32);
    red.fill(qRgb(255, 0, 0));
    ASSERT_TRUE(red.save(f.appFile(QStringLiteral("Res/ResPk/Pk%1.bmp").arg(second)), "BMP"));
    f.state.cards.SelectedFlags.set(1, 1);
    f.painter->RedrawHandCard(1);
    EXPECT_EQ(f.pic().pixel(207 + CardStep + 5, anchor().y() + 50), qRgb(255, 0, 0));
}

TEST_F(HandPainting, BadCardsAndEmptyHandsDrawNothing)
{
    f.state.cards.HandCards = CardList{200, 254, 54};
    f.painter->DrawHand();
    EXPECT_EQ(f.state.cards.SelectedFlags.count(), 3);
    EXPECT_EQ(DifferingPixels(f.pic(), f.painter->picSaveGameBack.image(), QRect(10, anchor().y() - 24, 780, 129)), 0);
    f.state.cards.HandCards.clear();
    f.painter->DrawHand();
    EXPECT_EQ(f.painter->HitTestHand(400, anchor().y() + 10), -1);
}

TEST_F(HandPainting, PartnerHandsShowOneSmallCardPerRankWithCounts)
{
    f.state.table.ThreeHandDeal = 1;
    f.painter->ResizeTable(800, 600);
    f.state.cards.PartnerHandFar = CardList{0, 13, 5, 53, 26};   // three 3s, a 8, a big joker
    f.state.cards.PartnerHandNext = CardList{1};
    f.painter->DrawPartnerHand(ViewLeftPartner);
    // Rank order: big joker, the 8, the 3s.
    EXPECT_EQ(f.state.cards.PartnerHandFar.at(1), 53);
    EXPECT_EQ(f.pic().pixel(24 + 30, 41 + 5), SmallCardColour(53));
    EXPECT_EQ(f.pic().pixel(24 + 30, 41 + 16 + 5), SmallCardColour(CardImageIndex(5)));
    EXPECT_EQ(f.pic().pixel(24 + 30, 41 + 32 + 80), SmallCardColour(CardImageIndex(0)));
    // Counts printed right of the column, in yellow then cyan.
    const QRect firstLabel(24 + 62 + 3, 41, 40, 14);
    bool yellow = false;
    for (int y = firstLabel.top(); y <= firstLabel.bottom(); ++y)
        for (int x = firstLabel.left(); x <= firstLabel.right(); ++x)
            yellow |= f.pic().pixel(x, y) == qRgb(255, 255, 0);
    EXPECT_TRUE(yellow);

    f.state.table.CanSeeHand = 0;
    f.painter->DrawPartnerHand(ViewRightPartner);
    const int x = 800 - 86;
    EXPECT_EQ(f.pic().pixel(x + 30, 41 + 14 * 16 + 5), SmallBackColour);
    EXPECT_EQ(f.pic().pixel(x + 30, 41 + 14 * 16 + 89), SmallBackColour);
}

TEST_F(HandPainting, AtRatioTwoTheLargePackIsDrawnAtTheSameGeometry)
{
    // Large files for the even image indices only; the others are enlarged
    // from the standard pack. The large mask's corner is wider than twice
    // the standard one, so a row it leaves transparent must be redrawn.
    auto large = [](int index) {
        QImage image(2 * CardWidth, 2 * CardHeight, QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                image.setPixel(x, y, x < 7 && y < 7 ? qRgb(0, 0, 0) : CardPixel(index, x, y));
        return image;
    };
    QImage mask(2 * CardWidth, 2 * CardHeight, QImage::Format_RGB32);
    mask.fill(qRgb(0, 0, 0));
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 7; ++x)
            mask.setPixel(x, y, qRgb(255, 255, 255));
    QDir().mkpath(f.appFile(QStringLiteral("Res/ResPk@2x")));
    ASSERT_TRUE(mask.save(f.appFile(QStringLiteral("Res/ResPk@2x/PkMask.bmp")), "BMP"));
    for (int i = 0; i <= 53; i += 2)
        ASSERT_TRUE(large(i).save(f.appFile(QStringLiteral("Res/ResPk@2x/Pk%1.bmp").arg(i)), "BMP"));

    const QPoint logicalAnchor = anchor();
    f.painter->SetScale(2);
    f.painter->ResizeTable(800, 600);
    ASSERT_EQ(f.pic().size(), QSize(1600, 1200));
    EXPECT_EQ(f.painter->picGameBack.width(), 800);
    EXPECT_EQ(anchor(), logicalAnchor);

    f.state.cards.SelectedFlags.set(4, 1);
    f.painter->DrawHand();
    const int top = anchor().y();
    for (int i = 1; i <= 18; ++i) {
        const int index = CardImageIndex(f.state.cards.HandCards.at(i));
        const int cx = 2 * (207 + (i - 1) * CardStep);
        const int cy = 2 * (top - (i == 4 ? RaiseOffset : 0));
        const QRgb expected = index % 2 == 0 ? CardPixel(index, 11, 101) : CardPixel(index, 5, 50);
        EXPECT_EQ(f.pic().pixel(cx + 11, cy + 101), expected) << i;
        if (i == 1) { // the large mask's corner, nothing but background below
            EXPECT_EQ(f.pic().pixel(cx + 7, cy + 7), index % 2 == 0 ? CardPixel(index, 7, 7) : CardPixel(index, 3, 3));
            EXPECT_EQ(f.pic().pixel(cx + 6, cy + 6), f.painter->picSaveGameBack.image().pixel(cx + 6, cy + 6));
        }
    }

    for (int i : {3, 4, 18}) {
        CardList& flags = f.state.cards.SelectedFlags;
        flags.set(i, flags.at(i) ? 0 : 1);
        f.painter->RedrawHandCard(i);
        const QImage strip = f.pic().copy();
        f.painter->DrawHand();
        EXPECT_EQ(DifferingPixels(strip, f.pic(), f.pic().rect()), 0) << i;
    }
}

// Cards leaving the hand from anywhere, raised or carrying the focus, over
// the plain table colour and the middle picture, at both ratios: the
// hand's band shows what a full drawing on a fresh table shows.
TEST(HandLeaving, ShowsWhatAFullDrawingShows)
{
    struct Table {
        int width, height, scale;
    };
    for (const Table table : {Table{800, 600, 1}, Table{800, 600, 2}}) {
        TableFixture f(table.width, table.height);
        f.seatPlayers();
        f.state.table.NoHandInPlay = false;
        f.painter->SetScale(table.scale);
        f.painter->ResizeTable(table.width, table.height);
        CardState& c = f.state.cards;
        c.HandCards = EighteenCards();
        c.HandCards.set(10, c.HandCards.at(9)); // two decks: the same card twice
        c.SelectedFlags.resize(18);
        c.SelectedFlags.set(4, 1);
        c.SelectedFlags.set(12, 1);
        f.state.view.HandFocus = 6;
        f.painter->DrawHand();
        const QPoint anchor = f.layout().HandAnchor[2];
        const int s = table.scale;
        const QRect band(s * (anchor.x() - RowWidth(18) / 2), s * (anchor.y() - RaiseOffset), s * (RowWidth(18) + 1),
                         s * (CardHeight + 25));

        TableFixture fresh(table.width, table.height);
        fresh.seatPlayers();
        fresh.state.table.NoHandInPlay = false;
        auto play = [&](std::initializer_list<int> positions, const char* what) {
            for (auto p = std::rbegin(positions); p != std::rend(positions); ++p)
                c.HandCards.removeAt(*p);
            c.SelectedFlags.clear();
            c.SelectedFlags.resize(c.HandCards.count());
            f.painter->DrawHand();
            fresh.state.cards = c;
            fresh.state.view.HandFocus = f.state.view.HandFocus;
            fresh.painter = std::make_unique<TablePainter>(fresh.state);
            fresh.painter->SetScale(table.scale);
            fresh.painter->ResizeTable(table.width, table.height);
            const QImage& mine = std::as_const(f.painter->picGameBack).image();
            const QImage& full = std::as_const(fresh.painter->picGameBack).image();
            ASSERT_EQ(DifferingPixels(mine, full, band), 0)
                << what << " at " << table.width << "x" << table.height << "x" << s << ", first at "
                << ChangedBox(mine, full, band).topLeft().x() << "," << ChangedBox(mine, full, band).topLeft().y();
        };
        play({4, 12}, "the raised ones");
        play({3, 12}, "two apart, the cards between staying");
        play({7}, "one of two alike");
        play({7}, "one from the middle");
        play({1}, "the first, moving the focus");
        play({c.HandCards.count()}, "the last");
        play({1, c.HandCards.count()}, "both ends");
        play({2, 4, c.HandCards.count()}, "three apart");
        f.state.table.CanSeeHand = fresh.state.table.CanSeeHand = 0;
        play({3}, "faces hidden");
        play({1}, "backs only");
        f.state.table.CanSeeHand = fresh.state.table.CanSeeHand = 1;
        // A card raised and lowered again by its own redraw, then a play.
        for (int flag : {1, 0}) {
            c.SelectedFlags.set(2, flag);
            f.painter->RedrawHandCard(2);
        }
        play({3}, "after a card's redraw");
        // Something drawn over the band is not part of the hand.
        f.painter->picGameBack.fillRect(anchor.x() - 100, anchor.y() + 40, 60, 20, qRgb(255, 0, 0));
        play({2}, "after a drawing over the band");
        play({1}, "the last card");
    }
}
