// The hand played from the keyboard on the real main window's table.

#include "TableFlowFixture.h"

#include "table/TableDescription.h"
#include "table/TableGeometry.h"
#include "table/TablePainter.h"
#include "table/TableWidget.h"

#include <QTest>

using namespace kelpo;
using namespace kelpo::test;

namespace {

// Sorted: 2 2 A A 8 8 4 4 and the 3 of code 0 last.
const std::vector<int> Hand9{12, 0, 25, 11, 24, 5, 18, 1, 14};
const QRgb FocusColour = qRgb(255, 140, 0);

} // namespace

class KeyboardPlayTest : public TableFlowTest {
protected:
    TableWidget* table() { return static_cast<TableWidget*>(client.room.picGameBack.data()); }
    void key(Qt::Key k) { QTest::keyClick(table(), k); }
    bool raised(int i) const { return client.state.cards.SelectedFlags.at(i) == 1; }
    int focus() const { return client.state.view.HandFocus; }
    // A pixel on the frame's top bar of hand card i, on its visible strip.
    QPoint markOf(int i) const
    {
        const TableLayout& L = client.state.view.Layout;
        const int left = HandLeft(L, client.state.cards.HandCards.count()) + (i - 1) * CardStep;
        return {left + 6, L.HandAnchor[2].y() - (raised(i) ? RaiseOffset : 0) + 4};
    }
    // The cards of the build's own resource pack, so the frame is painted.
    bool usePack()
    {
        const QString build = qEnvironmentVariable("KELPO_BUILD_DIR");
        client.state.globals.AppPath = build + QStringLiteral("/bin/");
        client.state.globals.ParentPath = build + QStringLiteral("/");
        return !build.isEmpty();
    }
    QImage shown()
    {
        return table()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
};

TEST_F(KeyboardPlayTest, KeysMoveTheFocusRaiseCardsPlayPassAndLower)
{
    startHand(Hand9, 1, 1);
    key(Qt::Key_Right);
    key(Qt::Key_Right);
    key(Qt::Key_Left);
    EXPECT_EQ(focus(), 1);
    key(Qt::Key_Left);
    EXPECT_EQ(focus(), 1);
    key(Qt::Key_Space);
    EXPECT_TRUE(raised(1));
    key(Qt::Key_Space);
    EXPECT_FALSE(raised(1));

    // A rank key raises the next lowered card of the rank and follows it.
    key(Qt::Key_A);
    key(Qt::Key_A);
    key(Qt::Key_A);
    EXPECT_TRUE(raised(3) && raised(4));
    EXPECT_EQ(focus(), 4);
    key(Qt::Key_Escape);
    for (int i = 1; i <= 9; ++i)
        EXPECT_FALSE(raised(i)) << i;

    // No pass when leading; Enter plays what is raised, like the button.
    key(Qt::Key_P);
    key(Qt::Key_8);
    key(Qt::Key_8);
    const CardList dealt = hand();
    EXPECT_TRUE(takeSent().empty());
    key(Qt::Key_Return);
    EXPECT_EQ(takeSent(), std::vector<QByteArray>{Bytes({20, 0, 0, 0, 0, 0, 1, 2, dealt.at(5), dealt.at(6)})});
    EXPECT_EQ(hand().count(), 7);

    // Following, Backspace passes; off turn, no key sends anything.
    startHand(Hand9, 0, 1);
    deliver(PlayMsg(0, {3}, 1, 2));
    takeSent();
    key(Qt::Key_Backspace);
    EXPECT_EQ(takeSent(), std::vector<QByteArray>{Bytes({20, 0, 0, 0, 0, 0, 1, 1, 254})});
    key(Qt::Key_W);
    key(Qt::Key_2);
    key(Qt::Key_Return);
    key(Qt::Key_P);
    EXPECT_TRUE(takeSent().empty());
    EXPECT_TRUE(raised(1));
}

TEST_F(KeyboardPlayTest, TheFocusMarkIsPaintedAndRemovedAsARaisedCardIs)
{
    if (!usePack())
        GTEST_SKIP() << "KELPO_BUILD_DIR names no build tree";
    startHand(Hand9, 1, 1);
    EXPECT_NE(shown().pixel(markOf(2)), FocusColour);
    key(Qt::Key_Right);
    key(Qt::Key_Right);
    key(Qt::Key_Space);
    EXPECT_EQ(shown().pixel(markOf(2)), FocusColour);
    key(Qt::Key_Right);
    const QImage moved = shown();
    EXPECT_NE(moved.pixel(markOf(2)), FocusColour);
    EXPECT_EQ(moved.pixel(markOf(3)), FocusColour);
    // What the incremental paint left is what a whole drawing gives.
    const QImage incremental = client.room.painter->picGameBack.image().copy();
    client.room.painter->DrawHand();
    EXPECT_EQ(client.room.painter->picGameBack.image(), incremental);
}

TEST_F(KeyboardPlayTest, TheFocusStaysInTheHandWhenTheFocusedCardIsPlayed)
{
    const bool painted = usePack();
    startHand(Hand9, 1, 1);
    key(Qt::Key_Left); // onto the last card
    key(Qt::Key_Space);
    key(Qt::Key_Return);
    ASSERT_EQ(hand().count(), 8);
    // The new last card is the one focused, for the eye and the screen reader.
    const std::vector<TableItem> items = DescribeTable(client.state);
    EXPECT_TRUE(items.at(7).focused);
    if (painted) {
        EXPECT_EQ(shown().pixel(markOf(8)), FocusColour);
    }
    key(Qt::Key_Space);
    EXPECT_TRUE(raised(8));
    key(Qt::Key_Left);
    EXPECT_EQ(focus(), 7);
}
