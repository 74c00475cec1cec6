#include "TableFlowFixture.h"

#include "controls/YuClock.h"
#include "game/TableFlow.h"
#include "game/TableFlowSupport.h"
#include "rules/CardOrder.h"
#include "skin/ModalBoxes.h"
#include "table/TableGeometry.h"
#include "table/TablePainter.h"
#include "support/Boxes.h"

#include <QRandomGenerator>
#include <QTimer>

using namespace kelpo;
using namespace kelpo::test;

namespace {

// A one-pack hand: two 2s, two As, two 8s, two 4s and the 3 of code 0.
const std::vector<int> Hand9{12, 0, 25, 11, 24, 5, 18, 1, 14};

bool RankSortedWithZeroLast(const CardList& hand)
{
    const int n = hand.count();
    const int upTo = hand.at(n) == 0 ? n - 1 : n;
    for (int i = 1; i < upTo; ++i) {
        if (IsLowerCard(hand.at(i), hand.at(i + 1)))
            return false;
    }
    return true;
}

QByteArray AutoLead(int seat, int card) { return Bytes({20, 0, 0, 0, 0, 0, seat, 1, card}); }

} // namespace

class TurnClockTest : public TableFlowTest {
protected:
    // Runs the time bar down to its expiry, one second at a time.
    void expire()
    {
        YuClock* bar = client.room.YuClock;
        ASSERT_TRUE(bar);
        ASSERT_TRUE(bar->isRunning());
        for (int i = 0; i < 300 && bar->isRunning(); ++i)
            bar->Tick();
        ASSERT_FALSE(bar->isRunning());
    }
    // The next follow turn is the local player's, seat 0 having passed.
    void myFollowTurn() { deliver(PassMsg(0, 1, 2)); }
};

TEST_F(TableFlowTest, HandStartTakesItsParametersOnlyFromExactly18Bytes)
{
    deliver(HandStartMsg(4, 3, 7, 3));
    EXPECT_EQ(takeSent(), (std::vector<QByteArray>{Bytes({130, 1}), Bytes({19, 1})}));
    const TableState& t = client.state.table;
    EXPECT_EQ(t.AutoPlayLimit, 7);
    EXPECT_EQ(t.DeckCount, 3);
    EXPECT_EQ(t.ActingSeat, 4);
    EXPECT_EQ(t.TurnPhase, PhaseTribute);
    EXPECT_EQ(client.state.cards.FirstLeader, 4);
    EXPECT_EQ(t.MatchStarted, 1);
    EXPECT_FALSE(t.NoHandInPlay);

    for (int size : {17, 19}) {
        startHand(Hand9, 1, 1);
        client.state.table.ShowCardCounts = 1;
        client.room.painter->RepaintTable();
        QByteArray m = HandStartMsg(2, 1, 9, 1);
        m.resize(size);
        deliver(m);
        // Reset as for any hand, but nothing taken from the message and no
        // acknowledgement.
        EXPECT_TRUE(takeSent().empty()) << size;
        EXPECT_TRUE(client.state.cards.HandCards.isEmpty());
        EXPECT_EQ(seat(2).cardsLeft, 0);
        EXPECT_EQ(t.AutoPlayLimit, 5);
        EXPECT_EQ(t.DeckCount, 2);
        EXPECT_EQ(t.TurnPhase, PhaseNone);
        // The table shows the reset, not the old hand and its counts.
        const QImage shown = client.room.painter->picGameBack.image().copy();
        client.room.painter->RepaintTable();
        EXPECT_TRUE(shown == client.room.painter->picGameBack.image()) << size;
    }

    // A spectator does not acknowledge.
    seatAt(1, true);
    deliver(HandStartMsg(4, 1));
    EXPECT_TRUE(takeSent().empty());
}

TEST_F(TableFlowTest, DealSortsTheHandAndATributeStartRaisesTheCardToGive)
{
    const std::vector<int> hand18{0, 13, 26, 39, 1, 14, 27, 40, 2, 15, 28, 41, 3, 16, 29, 42, 52, 53};
    deliver(HandStartMsg(1, 3));
    deliver(DealMsg(hand18));
    EXPECT_EQ(hand().count(), 18);
    EXPECT_EQ(hand().at(1), 53);
    EXPECT_EQ(hand().at(2), 52);
    EXPECT_EQ(hand().at(18), 0);
    EXPECT_TRUE(RankSortedWithZeroLast(hand()));
    for (int s = 0; s < SeatCount; ++s)
        EXPECT_EQ(seat(s).cardsLeft, 18);
    EXPECT_EQ(cues.back(), QStringLiteral("Start.wav"));
    // The tribute turn is the local player's: the highest card is raised
    // and the tribute button offered.
    EXPECT_EQ(client.state.cards.SelectedFlags.at(1), 1);
    EXPECT_EQ(client.state.cards.SelectedFlags.at(2), 0);
    EXPECT_EQ(client.state.view.TributeButtonState[0], 1);

    // A deal of another length only sets the three-hand flag.
    deliver(Bytes({19, 0, 1}) + Cards(hand18));
    EXPECT_EQ(client.state.table.ThreeHandDeal, 1);
    EXPECT_EQ(hand().count(), 18);
}

TEST_F(TableFlowTest, ThreeHandDealOfThreePacksFillsBothPartnerHands)
{
    deliver(HandStartMsg(0, 1, 5, 3));
    QByteArray deal = Bytes({19, 0, 1});
    for (int i = 0; i < 81; ++i)
        deal.append(static_cast<char>(i % 54));
    ASSERT_EQ(deal.size(), 84);
    deliver(deal);
    const CardState& c = client.state.cards;
    EXPECT_EQ(c.HandCards.count(), 27);
    EXPECT_EQ(c.PartnerHandNext.count(), 27);
    EXPECT_EQ(c.PartnerHandFar.count(), 27);
    EXPECT_TRUE(RankSortedWithZeroLast(c.PartnerHandFar));
    EXPECT_EQ(seat(5).cardsLeft, 27);
    // The hand started in the standard layout; the deal moves the seats
    // with the plays, or the partner hands would cover the side seats.
    const TablePainter* view = TableView(client);
    ASSERT_TRUE(view);
    TableLayout threeHand;
    ComputeSeatLayout(threeHand, view->picGameBack.width(), view->picGameBack.height(), true);
    EXPECT_EQ(client.state.view.Layout.SeatAnchor, threeHand.SeatAnchor);
    EXPECT_EQ(client.state.view.Layout.PlayAnchor, threeHand.PlayAnchor);

    // A partner's play leaves that partner's hand.
    const CardCode played = c.PartnerHandNext.at(1);
    deliver(PlayMsg(3, {played}, 4, 2));
    EXPECT_EQ(c.PartnerHandNext.count(), 26);
    EXPECT_EQ(seat(3).cardsLeft, 26);
}

TEST_F(TableFlowTest, PlaysPassesAndTheEndOfARound)
{
    startHand(Hand9, 2, 1);
    deliver(PlayMsg(2, {7}, 3, 2));
    const RoundBest single{2, 0, 7, 1};
    EXPECT_EQ(client.state.cards.RoundBest, single);
    EXPECT_EQ(seat(2).cardsLeft, 8);
    EXPECT_EQ(cues, std::vector<QString>{QStringLiteral("OutPai.wav")});

    deliver(PassMsg(3, 4));
    EXPECT_EQ(client.state.cards.RoundBest, single);
    EXPECT_EQ(seat(3).cardsLeft, 9);
    EXPECT_TRUE(seat(3).currentPlay.isPass());
    EXPECT_EQ(cues.back(), QStringLiteral("Pass.wav"));

    deliver(PlayMsg(4, {21, 8}, 5, 2, 0, 1));
    EXPECT_EQ(client.state.cards.RoundBest.playType, 1);
    EXPECT_EQ(client.state.cards.RoundBest.cardCount, 2);
    EXPECT_EQ(cues.back(), QStringLiteral("UserWarn.wav"));
    EXPECT_EQ(seat(4).warnFlag, 1);

    // The last pass ends the round. The next lead, arriving during the
    // pause, is handled inside it and stays the new round's play.
    QTimer::singleShot(0, [this] { deliver(PlayMsg(4, {30}, 5, 2)); });
    const std::int64_t before = clock.now();
    deliver(PassMsg(5, 4, 1));
    EXPECT_GE(clock.now() - before, 100);
    EXPECT_EQ(seat(4).currentPlay, CardList{30});
    for (int s : {0, 1, 2, 3, 5})
        EXPECT_TRUE(seat(s).currentPlay.isEmpty()) << s;
    EXPECT_EQ(seat(2).lastRoundPlay, CardList{7});
    EXPECT_TRUE(seat(3).lastRoundPlay.isPass());
    EXPECT_EQ(seat(4).lastRoundPlay, CardList({21, 8}));
}

TEST_F(TableFlowTest, TheWarningSoundsOnceWhenASeatIsWarnedNotAtEachLaterMove)
{
    // The server repeats a seat's warning flag with each of its later moves.
    for (int hand = 0; hand < 2; ++hand) {
        startHand(Hand9, 2, 1);
        deliver(PlayMsg(2, {7}, 3, 2, 0, 1));
        deliver(PlayMsg(2, {254}, 3, 2, 0, 1));
        deliver(PlayMsg(2, {8}, 3, 2, 0, 1));
        EXPECT_EQ(cues, std::vector<QString>({"OutPai.wav", "UserWarn.wav", "Pass.wav", "OutPai.wav"})) << hand;
        EXPECT_EQ(seat(2).warnFlag, 1);
    }
}

TEST_F(TableFlowTest, AMixedPlayNeverBecomesThePlayToBeatAndAppliesTheTurnOnce)
{
    // An empty hand answers every turn with [2] [0] [seat], which counts
    // the turns applied.
    deliver(HandStartMsg(2, 2));
    deliver(PlayMsg(2, {7}, 3, 2));
    const RoundBest best = client.state.cards.RoundBest;
    takeSent();
    seat(0).cardsLeft = 5;
    deliver(PlayMsg(0, {7, 9}, 1, 2));
    EXPECT_EQ(client.state.cards.RoundBest, best);
    EXPECT_TRUE(seat(0).currentPlay.isEmpty());
    EXPECT_EQ(seat(0).cardsLeft, 3);
    EXPECT_EQ(takeSent(), std::vector<QByteArray>{Bytes({2, 0, 1})});
}

TEST_F(TableFlowTest, OwnPlayIsConfirmedByTheBroadcastOrRestoredOnRefusal)
{
    startHand(Hand9, 1, 1);
    const CardList dealt = hand();
    client.state.cards.SelectedFlags.set(1, 1);
    client.state.cards.SelectedFlags.set(2, 1);
    PlayAction(client, 0);
    const QByteArray expected = Bytes({20, 0, 0, 0, 0, 0, 1, 2, dealt.at(1), dealt.at(2)});
    EXPECT_EQ(takeSent(), std::vector<QByteArray>{expected});
    EXPECT_EQ(client.state.cards.SavedHand, dealt);
    EXPECT_EQ(hand().count(), 7);
    EXPECT_EQ(seat(1).currentPlay.count(), 2);
    EXPECT_EQ(client.state.view.PlayButtonState[0], 0);

    // Refused: the hand comes back and the turn starts again.
    deliver(Bytes({21}) + "no");
    EXPECT_EQ(takeBoxes(), std::vector<QString>{QStringLiteral("牌局|no")});
    EXPECT_EQ(hand(), dealt);
    EXPECT_TRUE(client.state.cards.SavedHand.isEmpty());
    EXPECT_TRUE(seat(1).currentPlay.isEmpty());
    EXPECT_EQ(client.state.view.PlayButtonState[0], 1);
    EXPECT_TRUE(client.room.YuClock->isRunning());
    EXPECT_EQ(client.room.YuClock->Tag(), QStringLiteral("1"));

    // Played again; the server's version wins over the local guess.
    client.state.cards.SelectedFlags.set(9, 1);
    PlayAction(client, 0);
    EXPECT_EQ(client.state.cards.FirstLeader, 1);
    EXPECT_TRUE(client.state.cards.FirstLeadDone);
    deliver(PlayMsg(1, {dealt.at(1)}, 2, 2));
    CardList rest = dealt;
    rest.removeAt(1);
    EXPECT_EQ(hand(), rest);
    EXPECT_TRUE(client.state.cards.SavedHand.isEmpty());
    for (int i = 1; i <= hand().count(); ++i)
        EXPECT_EQ(client.state.cards.SelectedFlags.at(i), 0);
}

TEST_F(TableFlowTest, ASeatThatCannotContinueEndsOnlyThatPlayersClient)
{
    deliver(Bytes({5, 0, 3}) + "bye");
    EXPECT_EQ(takeBoxes(),
              std::vector<QString>{QStringLiteral("牌局系统提示|p3 不能继续玩下去，原因：bye")});
    EXPECT_EQ(unloadedWith, -1);

    seatAt(3, true);
    deliver(Bytes({5, 0, 3}) + "bye");
    EXPECT_EQ(unloadedWith, -1);

    seatAt(3);
    deliver(Bytes({5, 0, 3}) + "bye");
    EXPECT_EQ(unloadedWith, ExitCannotContinue);
}

TEST_F(TableFlowTest, TributeExchangeGivesTheLocalHandTheCardOfItsPair)
{
    startHand(Hand9, 1, 3);
    client.state.cards.RankSortMode = false;
    TributeAction(client);
    EXPECT_EQ(takeSent(), std::vector<QByteArray>{Bytes({23, 0, 1, hand().at(1), 0, 0, 0, 0, 0, 0})});
    const CardCode given = hand().at(1);
    deliver(TributeMsg(1, given, 4, 4));
    EXPECT_EQ(hand().count(), 8);
    EXPECT_EQ(seat(1).currentPlay, CardList{given});
    EXPECT_EQ(int{seat(1).cardsLeft}, 8);
    // Meanwhile the player picks the pair of 4s to lead later.
    picGameBack_KeyDown(client, Qt::Key_4);
    picGameBack_KeyDown(client, Qt::Key_4);

    // Seat 4 returns the 5 of code 2 and play begins: seat 1 and seat 4
    // swap, seats 0 and 3 swap (seat 0 gave nothing here).
    // Seat 4 leads at once, during the pause: its play is neither taken
    // for its given card nor wiped.
    QTimer::singleShot(0, [this] { deliver(PlayMsg(4, {20}, 5, 2)); });
    const std::int64_t before = clock.now();
    deliver(TributeMsg(4, 2, 4, 1, {1, 4, 0, 3}));
    EXPECT_GE(clock.now() - before, 3000);
    EXPECT_EQ(hand().count(), 9);
    EXPECT_EQ(std::count(hand().codes().begin(), hand().codes().end(), 2), 1);
    EXPECT_EQ(hand().at(9), 0);
    EXPECT_TRUE(RankSortedWithZeroLast(hand()));
    // The 5 received moved the 4s along; they are still the cards raised.
    CollectSelectedCards(client);
    std::vector<CardCode> raised = client.state.cards.SelectedCards.codes();
    std::sort(raised.begin(), raised.end());
    EXPECT_EQ(raised, (std::vector<CardCode>{1, 14}));
    EXPECT_EQ(seat(4).currentPlay, CardList{20});
    for (int s : {0, 1, 2, 3, 5})
        EXPECT_TRUE(seat(s).currentPlay.isEmpty()) << s;
    // Every count is whole again, seat 4 less its play; seat 3 gets nothing.
    EXPECT_EQ(int{seat(1).cardsLeft}, 9);
    EXPECT_EQ(int{seat(4).cardsLeft}, 8);
    EXPECT_EQ(int{seat(3).cardsLeft}, 9);
}

TEST_F(TableFlowTest, TributeCardsAreCheckedBeforeTheyAreSent)
{
    startHand(Hand9, 1, 3);
    LowerAllCards(client.state.cards);
    client.state.cards.SelectedFlags.set(5, 1); // an 8
    TributeAction(client);
    EXPECT_TRUE(takeSent().empty());
    EXPECT_EQ(takeBoxes(), std::vector<QString>{QStringLiteral("系统提示|进贡要进你手里最大的牌！")});
    EXPECT_EQ(client.state.cards.SelectedFlags.at(5), 1);

    // Two cards raised: nothing at all.
    client.state.cards.SelectedFlags.set(1, 1);
    TributeAction(client);
    EXPECT_TRUE(takeSent().empty());
    EXPECT_TRUE(takeBoxes().empty());

    client.state.table.TurnPhase = PhaseReturnTribute;
    LowerAllCards(client.state.cards);
    client.state.cards.SelectedFlags.set(1, 1); // a 2
    TributeAction(client);
    EXPECT_EQ(takeBoxes(), std::vector<QString>{QStringLiteral("系统提示|回贡只能回A以下的牌！")});
}

TEST_F(TurnClockTest, AutomaticLeadAndPassCountTowardsTheEscapeLimit)
{
    // Limit 5: three silent, the fourth warns, the fifth ends the client.
    startHand(Hand9, 1, 1, 5);
    const CardCode lowest = hand().at(9);
    expire();
    EXPECT_EQ(takeSent(), std::vector<QByteArray>{AutoLead(1, lowest)});
    EXPECT_TRUE(client.state.cards.FirstLeadDone);
    for (int i = 2; i <= 5; ++i) {
        myFollowTurn();
        expire();
        EXPECT_EQ(takeSent(), std::vector<QByteArray>{Bytes({20, 0, 0, 0, 0, 0, 1, 1, 254})}) << i;
        const std::vector<QString> boxes = takeBoxes();
        if (i < 4) {
            EXPECT_TRUE(boxes.empty()) << i;
        } else if (i == 4) {
            EXPECT_EQ(boxes, std::vector<QString>{QStringLiteral(
                                 "系统提示|注意：系统帮你自动出牌的次数累计已达 4 次，再出现一次就算你逃跑！")});
            EXPECT_EQ(unloadedWith, -1);
        } else {
            EXPECT_EQ(boxes, std::vector<QString>{
                                 QStringLiteral("系统提示|注意：系统帮你自动出牌的次数累计已达 5 次，现在算你逃跑！")});
            EXPECT_EQ(unloadedWith, ExitEscaped);
        }
    }
}

TEST_F(TurnClockTest, LimitOneEndsTheClientAtTheFirstAutomaticPlay)
{
    startHand(Hand9, 1, 1, 1);
    expire();
    EXPECT_EQ(unloadedWith, ExitEscaped);
    EXPECT_EQ(takeBoxes().size(), 1u);
}

TEST_F(TurnClockTest, LimitTwoWarnsFirstAndANewHandStartsTheCountAgain)
{
    startHand(Hand9, 1, 2, 2);
    expire();
    EXPECT_EQ(client.state.table.AutoPlayCount, 1);
    EXPECT_EQ(takeBoxes().size(), 1u);
    EXPECT_EQ(unloadedWith, -1);

    startHand(Hand9, 1, 2, 2);
    EXPECT_EQ(client.state.table.AutoPlayCount, 0);
    expire();
    EXPECT_EQ(unloadedWith, -1);
    myFollowTurn();
    expire();
    EXPECT_EQ(unloadedWith, ExitEscaped);
}

TEST_F(TurnClockTest, NothingIsPlayedForAPlayerAlreadyToldHeEscaped)
{
    startHand(Hand9, 1, 2, 1);
    // While the verdict waits for him, his turn comes round and runs out again.
    bool once = false;
    ModalBoxes::instance().setObserver([this, &once](QWidget* box) {
        if (!std::exchange(once, true)) {
            myFollowTurn();
            expire();
        }
        box->close();
    });
    expire();
    CloseEveryBox();
    EXPECT_EQ(takeSent(), std::vector<QByteArray>{Bytes({20, 0, 0, 0, 0, 0, 1, 1, 254})});
    EXPECT_EQ(takeBoxes().size(), 1u);
    EXPECT_EQ(unloadedWith, ExitEscaped);
}

TEST_F(TurnClockTest, AutomaticTributeAndReturnAreNotCounted)
{
    startHand(Hand9, 1, 3, 1);
    const CardCode highest = hand().at(1);
    expire();
    EXPECT_EQ(takeSent(), std::vector<QByteArray>{Bytes({23, 0, 1, highest, 0, 0, 0, 0, 0, 0})});
    deliver(TributeMsg(1, highest, 1, 4));
    // The lowest ordinary card up to the K goes back: code 0, the 3.
    expire();
    EXPECT_EQ(takeSent(), std::vector<QByteArray>{Bytes({23, 1, 1, 0, 0, 0, 0, 0, 0, 0})});
    EXPECT_EQ(client.state.table.AutoPlayCount, 0);
    EXPECT_EQ(unloadedWith, -1);
}

TEST_F(TurnClockTest, ASpectatorNeverActsAndAnotherSeatsExpiryOnlyStopsTheClock)
{
    seatAt(1, true);
    startHand(Hand9, 1, 1, 1);
    expire();
    EXPECT_TRUE(takeSent().empty());
    EXPECT_EQ(unloadedWith, -1);

    seatAt(1);
    deliver(PassMsg(0, 2, 2));
    expire();
    EXPECT_TRUE(takeSent().empty());
    EXPECT_EQ(client.room.YuClock->Tag(), QStringLiteral("100"));
}

TEST_F(TurnClockTest, TicksCountTheSecondsAndTheWarningSounds)
{
    startHand(Hand9, 2, 1);
    client.room.YuClock->Tick();
    client.room.YuClock->Tick();
    EXPECT_EQ(client.state.view.ClockTicks, 2);
    expire();
    EXPECT_EQ(cues, std::vector<QString>{QStringLiteral("Warning.wav")});
}

TEST_F(TableFlowTest, HandOverShowsResultsRevealsCardsAndOffersTheStart)
{
    // The hand ends during the local player's tribute turn.
    startHand(Hand9, 1, 3);
    ASSERT_EQ(client.state.view.TributeButtonState[0], 1);
    QByteArray over = Bytes({22, 1});
    for (int s = 0; s < SeatCount; ++s)
        over += Bytes({0, 0, 0, s == 0 ? 0 : 10 * s});
    // Seat 0 holds two cards, seat 1 (the local seat) one, seat 2 claims
    // three but the message ends.
    over += Bytes({2, 40, 41, 1, 5, 3, 7});
    deliver(over);
    EXPECT_EQ(seat(0).revealedCards, CardList({40, 41}));
    EXPECT_TRUE(seat(1).revealedCards.isEmpty());
    EXPECT_TRUE(seat(2).revealedCards.isEmpty());
    EXPECT_TRUE(client.state.table.NoHandInPlay);
    EXPECT_TRUE(client.state.table.StartOffered);
    EXPECT_EQ(client.state.view.TributeButtonState[0], 0);
    EXPECT_EQ(cues.back(), QStringLiteral("End.wav"));

    deliver(Bytes({22, 2, 3, 4}));
    EXPECT_EQ(client.state.table.ScoreCounters[0], 3);
    EXPECT_EQ(takeBoxes(), std::vector<QString>{QStringLiteral("系统提示|本局游戏结束！")});

    startHand(Hand9, 1, 1);
    deliver(Bytes({22}));
    EXPECT_EQ(takeBoxes(), std::vector<QString>{QStringLiteral("牌局|本局游戏结束!")});
    EXPECT_EQ(client.state.view.PlayButtonState[0], 0);
}

TEST_F(TableFlowTest, GarbageOfEveryClassAndLengthIsSurvived)
{
    startHand(Hand9, 1, 2);
    QRandomGenerator rng(8);
    for (int cls : {1, 2, 5, 17, 18, 19, 20, 21, 22, 23, 113, 133}) {
        for (int len = 1; len < 40; ++len) {
            QByteArray m(len, '\0');
            for (int i = 0; i < len; ++i)
                m[i] = static_cast<char>(rng.bounded(256));
            m[0] = static_cast<char>(cls);
            if (cls == 5 && len > 2)
                m[2] = 9; // not the local seat: the client must go on
            if (cls == 133 && len > 1)
                m[1] = 0;
            deliver(m);
            ModalBoxes::instance().clearHistory();
        }
    }
    const ClientState& s = client.state;
    EXPECT_LE(s.table.DeckCount, 6);
    for (const CardCode c : s.cards.HandCards.codes())
        EXPECT_TRUE(IsValidCard(c));
    for (const SeatRecord& r : s.seats) {
        for (const CardCode c : r.currentPlay.codes())
            EXPECT_TRUE(IsValidCard(c) || r.currentPlay.isPass());
    }
}

TEST_F(TableFlowTest, RefreshReplacesTheHandsAndTheWatchedHandFollowsThePlayersChoice)
{
    startHand(Hand9, 2, 1);
    // A refresh without the partners' hands leaves their counts alone, and
    // the table shows the new count as a full repaint would.
    client.state.table.ShowCardCounts = 1;
    client.room.painter->RepaintTable();
    deliver(Bytes({2, 0, 2, 40, 41, 0}));
    EXPECT_EQ(seat(1).cardsLeft, 2);
    EXPECT_EQ(seat(3).cardsLeft, 9);
    EXPECT_EQ(seat(5).cardsLeft, 9);
    QPoint count;
    ASSERT_TRUE(CardCountPlace(client.state.view.Layout, ViewOfSeat(client.state, 1), false, count));
    const QRect around(count - QPoint(0, 20), QSize(80, 40));
    const QImage shown = client.room.painter->picGameBack.image().copy(around);
    client.room.painter->RepaintTable();
    EXPECT_TRUE(shown == client.room.painter->picGameBack.image().copy(around)) << "the old count stays on the table";

    // The server's hands come in dealt order and are shown sorted.
    deliver(Bytes({2, 0, 3, 0, 40, 41, 1, 7, 3, 8, 9, 10}));
    EXPECT_EQ(hand(), CardList({41, 40, 0}));
    EXPECT_EQ(client.state.cards.PartnerHandNext, CardList{7});
    EXPECT_EQ(client.state.cards.PartnerHandFar, CardList({10, 9, 8}));
    EXPECT_EQ(seat(1).cardsLeft, 3);
    EXPECT_EQ(seat(3).cardsLeft, 1);
    EXPECT_EQ(seat(5).cardsLeft, 3);

    // A player's client ignores the spectator flag; a spectator's follows it.
    deliver(Bytes({113, 0, 0}));
    EXPECT_EQ(client.state.table.CanSeeHand, 1);
    seatAt(1, true);
    deliver(Bytes({113, 0, 0}));
    EXPECT_EQ(client.state.table.CanSeeHand, 0);
    deliver(Bytes({113, 0, 3}));
    EXPECT_EQ(client.state.table.CanSeeHand, 1);
}

TEST_F(TableFlowTest, ASpectatorsPauseAfterTheHandKeepsANextHandThatStartsDuringIt)
{
    seatAt(1, true);
    startHand(Hand9, 2, 1);
    QByteArray over = Bytes({22, 1});
    for (int s = 0; s < SeatCount; ++s)
        over += Bytes({0, 0, 0, 1});
    over += QByteArray(SeatCount, '\0');
    QTimer::singleShot(0, [this] {
        deliver(HandStartMsg(2, 1, 5, 1));
        deliver(DealMsg(Hand9));
    });
    const std::int64_t before = clock.now();
    deliver(over);
    EXPECT_GE(clock.now() - before, 5000);
    EXPECT_EQ(hand().count(), 9);
    EXPECT_FALSE(client.state.table.NoHandInPlay);
    EXPECT_FALSE(client.state.table.StartOffered);

    // Without a new hand the spectator's table is cleared after the pause;
    // a player who got ready during it stays ready.
    QTimer::singleShot(0, [this] { deliver(Bytes({18, 4})); });
    deliver(over);
    EXPECT_TRUE(hand().isEmpty());
    EXPECT_TRUE(seat(4).isHandUp);
}

TEST_F(TurnClockTest, AHandTakenOverMidTributeIsSortedSoTheCardGivenForThePlayerIsAllowed)
{
    // Coming back to a tribute turn: the server holds the hand in the order
    // it was dealt, lowest card first.
    deliver(SnapshotMsg(1, PhaseTribute,
                        QByteArray(SeatCount, '\0') + Bytes({9, 1, 14, 0, 5, 18, 11, 24, 12, 25, 0})));
    EXPECT_TRUE(RankSortedWithZeroLast(hand()));
    const CardCode highest = hand().at(1);
    expire();
    EXPECT_TRUE(takeBoxes().empty());
    EXPECT_EQ(takeSent(), std::vector<QByteArray>{Bytes({23, 0, 1, highest, 0, 0, 0, 0, 0, 0})});
}

TEST_F(TurnClockTest, APlayerBackWithinAHandKeepsTheTablesLimitOfAutomaticPlays)
{
    QByteArray snapshot = SnapshotMsg(1, PhaseLead, QByteArray(SeatCount, '\0') + Bytes({3, 1, 14, 5, 0}));
    snapshot[6] = 1;
    deliver(snapshot);
    expire();
    EXPECT_EQ(unloadedWith, ExitEscaped);
}

TEST_F(TableFlowTest, AHandStartedWhileTheHandOverBoxIsUpIsKept)
{
    // The box waits for the player; the others may start the next hand.
    const QByteArray overs[] = {Bytes({22, 2, 3, 4}), Bytes({22})};
    for (const bool spectator : {true, false}) {
        for (const QByteArray& over : overs) {
            seatAt(1, spectator);
            startHand(Hand9, 2, 1);
            ModalBoxes::instance().setObserver([this](QWidget* box) {
                deliver(HandStartMsg(2, 1, 5, 1));
                deliver(DealMsg(Hand9));
                box->close();
            });
            deliver(over);
            CloseEveryBox();
            EXPECT_EQ(hand().count(), 9) << spectator << over.size();
            EXPECT_FALSE(client.state.table.StartOffered) << spectator << over.size();
            EXPECT_TRUE(client.room.YuClock->isRunning()) << spectator << over.size();
        }
    }
}

TEST_F(TableFlowTest, AHandOverDuringTheRoundEndPauseLeavesNoTurnRunning)
{
    // Seat 0 won one: the result panel draws its dark rule.
    const QByteArray over = Bytes({22, 1, 0, 0, 0, 1}) + QByteArray(4 * 5 + SeatCount, '\0');
    const QImage& pic = client.room.painter->picGameBack.image();
    const QPoint rule((pic.width() - 309) / 2 + 150, (pic.height() - 300) / 2 + 70);
    // The last play wins the round for the local seat as the hand ends; the
    // last tribute card hands the lead on as the hand ends.
    const QByteArray lastMoves[] = {PlayMsg(2, {3}, 1, 1, 1), TributeMsg(0, 53, 1, 1, {1, 0, 9, 9})};
    for (const QByteArray& last : lastMoves) {
        startHand(Hand9, 0, 3);
        QTimer::singleShot(0, [this, over] { deliver(over); });
        deliver(last);
        EXPECT_FALSE(client.room.YuClock->isRunning());
        EXPECT_EQ(client.state.view.PlayButtonState[0], 0);
        EXPECT_TRUE(client.state.table.StartOffered);
        // What the pause had still to draw is not drawn over the results.
        EXPECT_EQ(pic.pixel(rule), qRgb(30, 30, 30)) << int(last[0]);
    }
}

TEST_F(TableFlowTest, ATurnAppliedWhileARefusalOrARoundEndPauseWaitsIsNotStartedAgain)
{
    // The server plays for the local seat and seat 2's clock runs three
    // seconds before the refusal's box closes or the pause ends.
    const auto meanwhile = [this] {
        deliver(PlayMsg(1, {14}, 2, 2));
        for (int i = 0; i < 3; ++i)
            client.room.YuClock->Tick();
    };
    for (const bool refusal : {true, false}) {
        startHand(Hand9, 1, 1);
        if (refusal) {
            ModalBoxes::instance().setObserver([&](QWidget* box) {
                meanwhile();
                box->close();
            });
            deliver(Bytes({21}) + "no");
            CloseEveryBox();
        } else {
            QTimer::singleShot(0, meanwhile);
            deliver(PassMsg(0, 1, 1));
        }
        EXPECT_EQ(client.room.YuClock->Tag(), QStringLiteral("2")) << refusal;
        EXPECT_EQ(client.state.view.ClockTicks, 3) << refusal;
    }
}
