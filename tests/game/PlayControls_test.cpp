#include "TableFlowFixture.h"

#include "controls/YuClock.h"
#include "game/TableFlow.h"
#include "table/TableGeometry.h"
#include "table/TableWidget.h"

#include <QTest>

using namespace kelpo;
using namespace kelpo::test;

namespace {

// Two 2s, two As, two 8s, two 4s and the 3 of code 0.
const std::vector<int> Hand9{12, 0, 25, 11, 24, 5, 18, 1, 14};

} // namespace

class PlayControlsTest : public TableFlowTest {
protected:
    QWidget* table() { return client.room.picGameBack; }
    const TableLayout& layout() const { return client.state.view.Layout; }
    // A point on the visible strip of hand card i, in the middle band.
    QPoint handCard(int i) const
    {
        const int left = HandLeft(layout(), client.state.cards.HandCards.count());
        return {left + (i - 1) * CardStep + 5, layout().HandAnchor[2].y() + 40};
    }
    void click(Qt::MouseButton button, QPoint at) { QTest::mouseClick(table(), button, {}, at); }
    void hover(QPoint at) { QTest::mouseMove(table(), at); }
    bool raised(int i) const { return client.state.cards.SelectedFlags.at(i) == 1; }
};

TEST_F(PlayControlsTest, LeftClicksRaiseCardsAndARightClickPlaysThem)
{
    startHand(Hand9, 1, 1);
    click(Qt::LeftButton, handCard(1));
    click(Qt::LeftButton, handCard(2));
    click(Qt::LeftButton, handCard(5));
    click(Qt::LeftButton, handCard(5));
    EXPECT_TRUE(raised(1));
    EXPECT_TRUE(raised(2));
    EXPECT_FALSE(raised(5));
    const CardList dealt = hand();

    click(Qt::RightButton, QPoint(20, 20));
    EXPECT_EQ(takeSent(), std::vector<QByteArray>{Bytes({20, 0, 0, 0, 0, 0, 1, 2, dealt.at(1), dealt.at(2)})});
    EXPECT_EQ(hand().count(), 7);

    // Not the local turn any more: a right click does nothing.
    click(Qt::LeftButton, handCard(1));
    click(Qt::RightButton, handCard(1));
    EXPECT_TRUE(takeSent().empty());
}

TEST_F(PlayControlsTest, AFollowOfTheWrongSizeIsRefusedAndTheCardsStayRaised)
{
    startHand(Hand9, 0, 1);
    deliver(PlayMsg(0, {3}, 1, 2));
    takeSent();
    click(Qt::LeftButton, handCard(1));
    click(Qt::LeftButton, handCard(2));
    click(Qt::RightButton, handCard(1));
    EXPECT_TRUE(takeSent().empty());
    EXPECT_EQ(takeBoxes(), std::vector<QString>{QStringLiteral("牌局|出牌必须和上家的张数相同!")});
    EXPECT_TRUE(raised(1));
    EXPECT_TRUE(raised(2));
    EXPECT_EQ(hand().count(), 9);

    // With the warning switched off the play is refused in silence.
    client.state.prefs.WarnBadPlay = 0;
    click(Qt::RightButton, handCard(1));
    EXPECT_TRUE(takeSent().empty());
    EXPECT_TRUE(takeBoxes().empty());
    EXPECT_EQ(hand().count(), 9);

    // Nothing raised: a right click neither asks nor sends.
    click(Qt::LeftButton, QPoint(20, 20));
    EXPECT_FALSE(raised(1));
    click(Qt::RightButton, QPoint(20, 20));
    EXPECT_TRUE(takeSent().empty());
    EXPECT_TRUE(takeBoxes().empty());
}

TEST_F(PlayControlsTest, AButtonActsOnlyAfterThePointerMovedOntoIt)
{
    startHand(Hand9, 0, 1);
    deliver(PlayMsg(0, {3}, 1, 2));
    takeSent();
    const QPoint pass = PlayButtonRect(layout(), PhaseFollow, 1).center();
    ASSERT_EQ(client.state.view.PlayButtonState[1], 1);

    // Not highlighted: the click falls through and only lowers the cards.
    click(Qt::LeftButton, handCard(3));
    click(Qt::LeftButton, pass);
    EXPECT_TRUE(takeSent().empty());
    EXPECT_FALSE(raised(3));

    hover(pass);
    EXPECT_EQ(client.state.view.PlayButtonState[1], 2);
    EXPECT_EQ(client.state.view.PlayButtonState[0], 1);
    hover(QPoint(20, 20));
    EXPECT_EQ(client.state.view.PlayButtonState[1], 1);
    hover(pass);
    click(Qt::LeftButton, pass);
    EXPECT_EQ(takeSent(), std::vector<QByteArray>{Bytes({20, 0, 0, 0, 0, 0, 1, 1, 254})});
    EXPECT_EQ(client.state.view.PlayButtonState[0], 0);
}

TEST_F(PlayControlsTest, PreviousRoundShowsForTwoSecondsAndResortSwitchesTheOrder)
{
    startHand(Hand9, 0, 1);
    deliver(PlayMsg(0, {3}, 1, 2));
    ASSERT_NE(client.state.view.OptionButtonState[0], 0);
    const QPoint previous = OptionButtonRect(layout(), 0).center();
    hover(previous);
    EXPECT_EQ(table()->toolTip(), client.state.view.OptionButtonTooltip[0]);
    click(Qt::LeftButton, previous);
    QTimer& timer = window->tmrPaintLastOutPai;
    EXPECT_TRUE(timer.isActive());
    EXPECT_EQ(timer.property("tag").toString(), QStringLiteral("2"));
    tmrPaintLastOutPai_Timer(client);
    EXPECT_TRUE(timer.isActive());
    // Pressed again within the two seconds: the count starts over.
    click(Qt::LeftButton, previous);
    tmrPaintLastOutPai_Timer(client);
    EXPECT_TRUE(timer.isActive());
    tmrPaintLastOutPai_Timer(client);
    EXPECT_FALSE(timer.isActive());

    const QPoint resort = OptionButtonRect(layout(), 1).center();
    hover(resort);
    EXPECT_EQ(client.state.view.OptionButtonState[0], 1);
    click(Qt::LeftButton, resort);
    EXPECT_FALSE(client.state.cards.RankSortMode);
    hover(QPoint(20, 20));
    EXPECT_TRUE(table()->toolTip().isEmpty());
}

TEST_F(PlayControlsTest, ResortingKeepsTheChosenCardsRaised)
{
    // The three 4s lead the count order, the 2 the rank order.
    startHand({12, 1, 14, 27, 11, 24, 5, 18, 0}, 1, 1);
    CardState& c = client.state.cards;
    c.SelectedFlags.set(1, 1); // the 2
    c.SelectedFlags.set(9, 1); // the 3 of code 0
    picGameBack_KeyDown(client, Qt::Key_Right); // the keyboard's focus on the 2
    const QPoint resort = OptionButtonRect(layout(), 1).center();
    for (const bool rankOrder : {false, true}) {
        hover(resort);
        click(Qt::LeftButton, resort);
        ASSERT_EQ(c.RankSortMode, rankOrder);
        CollectSelectedCards(client);
        EXPECT_EQ(c.SelectedCards, CardList({12, 0})) << rankOrder;
        EXPECT_EQ(c.HandCards.at(client.state.handFocus()), 12) << rankOrder;
        hover(QPoint(20, 20));
    }
}

TEST_F(PlayControlsTest, ASpectatorsClicksOnlyLowerTheCards)
{
    seatAt(1, true);
    startHand(Hand9, 1, 1);
    client.state.cards.SelectedFlags.set(4, 1);
    click(Qt::LeftButton, handCard(2));
    EXPECT_FALSE(raised(2));
    EXPECT_FALSE(raised(4));
    client.state.cards.SelectedFlags.set(4, 1);
    click(Qt::RightButton, handCard(4));
    EXPECT_TRUE(takeSent().empty());
    PlayAction(client, 0);
    EXPECT_TRUE(takeSent().empty());
}

TEST_F(PlayControlsTest, NothingActsDuringAnExplosion)
{
    startHand(Hand9, 1, 1);
    client.state.view.BombPlaying = true;
    click(Qt::LeftButton, handCard(1));
    EXPECT_TRUE(raised(1));
    click(Qt::RightButton, handCard(1));
    EXPECT_TRUE(takeSent().empty());
}

TEST_F(PlayControlsTest, ThePlayerOutOfTimeLeadsTheLowestCardInEitherOrder)
{
    // Pairs of 3s to 7s and the big joker: in count order the joker is last.
    startHand({0, 13, 53, 2, 15, 3, 16, 4, 17}, 1, 1);
    const QPoint resort = OptionButtonRect(layout(), 1).center();
    hover(resort);
    click(Qt::LeftButton, resort);
    ASSERT_FALSE(client.state.cards.RankSortMode);
    YuClock* bar = client.room.YuClock;
    for (int i = 0; i < 300 && bar->isRunning(); ++i)
        bar->Tick();
    EXPECT_EQ(takeSent(), std::vector<QByteArray>{Bytes({20, 0, 0, 0, 0, 0, 1, 1, 0})});
}
