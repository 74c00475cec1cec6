#include "TableFlowFixture.h"

#include "game/RoomMessages.h"
#include "game/TableFlow.h"
#include "game/TurnFlow.h"
#include "table/TablePainter.h"

namespace kelpo::test {
namespace {

class TurnFlowTest : public TableFlowTest {
protected:
    TurnFlowTest()
    {
        ConnectRoomSide(client);
        client.state.table.MatchStarted = 1;
    }

    QPushButton& button() { return *client.room.cmdStart; }
    QTimer& timer() { return *client.room.tmrStart; }
    QString tag() { return timer().property("tag").toString(); }
    void tick(int n)
    {
        for (int i = 0; i < n; ++i)
            tmrStart_Timer(client);
    }
    void offerStart()
    {
        client.state.table.StartOffered = true;
        UpdateStartButton(client);
    }
};

TEST_F(TurnFlowTest, CountdownWaitsForARaisedHandThenPressesStartAfterTwentyTicks)
{
    client.state.table.NoHandInPlay = false;
    offerStart();
    ASSERT_TRUE(client.room.cmdStart);
    EXPECT_FALSE(button().isHidden());
    EXPECT_EQ(button().text(), "可以开始");
    EXPECT_TRUE(timer().isActive());
    EXPECT_EQ(tag(), "20");
    const QPoint anchor = client.state.view.Layout.SeatAnchor[2];
    EXPECT_EQ(button().pos(), anchor + QPoint(150, 5));

    // A seat with no name does not count, however long the button stands.
    seat(3).name = "  ";
    seat(3).isHandUp = true;
    tick(100);
    EXPECT_EQ(button().text(), "可以开始");
    EXPECT_EQ(tag(), "20");
    EXPECT_TRUE(takeSent().empty());

    seat(4).isHandUp = true;
    tick(1);
    EXPECT_EQ(button().text(), "可以开始 19");
    tick(18);
    EXPECT_EQ(button().text(), "可以开始 1");
    EXPECT_TRUE(takeSent().empty());
    tick(1);
    EXPECT_FALSE(timer().isActive());
    EXPECT_EQ(takeSent(), std::vector<QByteArray>{Bytes({18, 1})});
    EXPECT_TRUE(button().isHidden());
    EXPECT_FALSE(client.state.table.StartOffered);
    EXPECT_EQ(unloadedWith, -1);
}

TEST_F(TurnFlowTest, CountdownRunningOutWithNoHandInPlayEndsTheProgram)
{
    client.state.table.NoHandInPlay = true;
    offerStart();
    seat(0).isHandUp = true;
    tick(20);
    EXPECT_EQ(unloadedWith, 0);
    EXPECT_TRUE(takeSent().empty());
}

TEST_F(TurnFlowTest, ReofferingKeepsARunningCountdown)
{
    offerStart();
    seat(0).isHandUp = true;
    tick(5);
    UpdateStartButton(client);
    EXPECT_EQ(tag(), "15");
    EXPECT_EQ(button().text(), "可以开始");
    tick(1);
    EXPECT_EQ(button().text(), "可以开始 14");
}

TEST_F(TurnFlowTest, SpectatorIsNeverOfferedTheStart)
{
    seatAt(1, true);
    offerStart();
    EXPECT_FALSE(client.state.table.StartOffered);
    EXPECT_TRUE(button().isHidden());
    EXPECT_FALSE(timer().isActive());

    client.state.table.TurnPhase = PhaseBetweenHands;
    ApplyTurn(client);
    EXPECT_FALSE(client.state.table.StartOffered);

    // Pressing it anyway during a match sends nothing.
    cmdStart_Click(client);
    EXPECT_TRUE(takeSent().empty());
}

TEST_F(TurnFlowTest, StartButtonSendsReadyDuringAMatchAndAgreementBeforeIt)
{
    offerStart();
    client.state.cards.HandCards = CardList{5, 6};
    cmdStart_Click(client);
    EXPECT_EQ(takeSent(), std::vector<QByteArray>{Bytes({18, 1})});
    EXPECT_TRUE(client.state.cards.HandCards.isEmpty());
    EXPECT_TRUE(button().isHidden());

    client.state.table.MatchStarted = 0;
    offerStart();
    cmdStart_Click(client);
    EXPECT_EQ(takeSent(), std::vector<QByteArray>{Bytes({112, 1}) + "p1"});
    EXPECT_FALSE(timer().isActive());
}

TEST_F(TurnFlowTest, BetweenHandsOffersTheStartOnlyWhileTheOwnHandIsDown)
{
    client.state.table.TurnPhase = PhaseBetweenHands;
    ApplyTurn(client);
    EXPECT_TRUE(client.state.table.StartOffered);
    seat(1).isHandUp = true;
    ApplyTurn(client);
    EXPECT_FALSE(client.state.table.StartOffered);
    EXPECT_TRUE(button().isHidden());
}

TEST_F(TurnFlowTest, EmptyHandAnswersNoCardsAndRunsNoClock)
{
    YuClock& clock = *client.room.YuClock;
    client.state.table.ActingSeat = 1;
    for (std::uint8_t phase : {PhaseLead, PhaseFollow}) {
        client.state.table.TurnPhase = phase;
        client.state.cards.HandCards.clear();
        ApplyTurn(client);
        EXPECT_EQ(takeSent(), std::vector<QByteArray>{Bytes({2, 0, 1})});
        EXPECT_FALSE(clock.isRunning());
        EXPECT_EQ(client.state.view.PlayButtonState, (std::array<std::uint8_t, 2>{0, 0}));
        // Even if the clock expired now, nothing could be played for the seat.
        OnTurnExpired(client);
        EXPECT_TRUE(takeSent().empty());
        EXPECT_EQ(client.state.table.AutoPlayCount, 0);
    }

    client.state.cards.HandCards = CardList{40, 3};
    client.state.table.TurnPhase = PhaseLead;
    ApplyTurn(client);
    EXPECT_TRUE(takeSent().empty());
    EXPECT_TRUE(clock.isRunning());
    EXPECT_EQ(clock.Tag(), "1");
    EXPECT_EQ(client.state.view.PlayButtonState[0], 1);
    EXPECT_EQ(client.state.view.OptionButtonState, (std::array<std::uint8_t, 2>{1, 1}));

    // Another seat's turn: its clock runs, no buttons and nothing sent here.
    ClearTurn(client);
    client.state.view.PlayButtonState = {0, 0};
    client.state.table.ActingSeat = 4;
    client.state.cards.HandCards.clear();
    ApplyTurn(client);
    EXPECT_TRUE(takeSent().empty());
    EXPECT_EQ(clock.Tag(), "4");
    EXPECT_EQ(client.state.view.PlayButtonState[0], 0);
}

TEST_F(TurnFlowTest, TributeTurnRaisesTheHighestCardAndOffersTheButton)
{
    client.state.table.ActingSeat = 1;
    client.state.table.TurnPhase = PhaseTribute;
    client.state.cards.HandCards = CardList{53, 0, 12, 7};
    client.state.cards.SelectedFlags = CardList{0, 1, 1, 1};
    ApplyTurn(client);
    EXPECT_EQ(client.state.cards.HandCards, (CardList{53, 7, 12, 0}));
    EXPECT_EQ(client.state.cards.SelectedFlags, (CardList{1, 0, 0, 0}));
    EXPECT_EQ(client.state.view.TributeButtonState[0], 1);
    EXPECT_TRUE(client.room.YuClock->isRunning());

    // The return tribute leaves the selection to the player.
    client.state.table.TurnPhase = PhaseReturnTribute;
    client.state.cards.SelectedFlags = CardList{0, 0, 1, 0};
    ApplyTurn(client);
    EXPECT_EQ(client.state.cards.SelectedFlags, (CardList{0, 0, 1, 0}));
    EXPECT_EQ(client.state.view.TributeButtonState[0], 1);

    // A spectator watching that seat gets neither.
    seatAt(1, true);
    client.state.view.TributeButtonState[0] = 0;
    ApplyTurn(client);
    EXPECT_EQ(client.state.view.TributeButtonState[0], 0);
}

} // namespace
} // namespace kelpo::test
