#include "TableReplay.h"

#include "platform/Cp936.h"
#include "rules/PlayRules.h"
#include "rules/TributeRules.h"
#include "server/GameMessages.h"
#include "server/Referee.h"

#include <gtest/gtest.h>

namespace kelpo::server {
namespace {

using testing::Card;
using testing::PlaysIn;
using testing::RefusalsTo;
using namespace testing;

QByteArray PlayMsg(int seat, const CardList& cards)
{
    QByteArray m(8, '\0');
    m[0] = 20;
    m[6] = static_cast<char>(seat);
    m[7] = static_cast<char>(cards.count());
    for (CardCode c : cards.codes())
        m.append(static_cast<char>(c));
    return m;
}
QByteArray PassMsg(int seat) { return PlayMsg(seat, CardList{PassMarker}); }
QByteArray TributeMsg(int seat, CardCode card, bool isReturn)
{
    QByteArray m(10, '\0');
    m[0] = 23;
    m[1] = isReturn ? 1 : 0;
    m[2] = static_cast<char>(seat);
    m[3] = static_cast<char>(card);
    return m;
}

class RefereeTest : public ::testing::Test {
protected:
    RefereeTest() : referee(Config(), 7, clock) {}

    static TableConfig Config()
    {
        TableConfig c;
        c.stake = 10;
        c.escapePenalty = 30;
        return c;
    }

    // Sends one action and returns the play broadcast it caused.
    PlayMessage act(const QByteArray& m, int seat)
    {
        referee.handleMessage(seat, m);
        const auto out = referee.takeOutgoing();
        const auto plays = PlaysIn(out);
        EXPECT_EQ(plays.size(), 1u) << "seat " << seat;
        return plays.empty() ? PlayMessage{} : plays.front();
    }

    // An action that must be refused: exactly one refusal to the seat, and
    // the table exactly as it was.
    QString refused(int seat, const QByteArray& m)
    {
        const TableState before = referee.state();
        referee.handleMessage(seat, m);
        const auto out = referee.takeOutgoing();
        EXPECT_EQ(referee.state(), before);
        EXPECT_EQ(out.size(), 1u);
        const auto texts = RefusalsTo(out, seat);
        return texts.size() == 1 ? texts.front() : QStringLiteral("<none>");
    }

    // The hand in which seats finish in the order 0, 1, 2, 3, 5 and seat 4
    // is left holding two cards.
    void playFiveFinisherHand()
    {
        Hands h;
        h[0] = CardList{Card(R3)};
        h[1] = CardList{Card(R4)};
        h[2] = CardList{Card(R5)};
        h[3] = CardList{Card(R6)};
        h[4] = CardList{Card(R3, 1), Card(R3, 2)};
        h[5] = CardList{Card(R7)};
        ASSERT_TRUE(referee.startHand(h));
        referee.takeOutgoing();
        act(PlayMsg(0, {Card(R3)}), 0);
        act(PlayMsg(1, {Card(R4)}), 1);
        act(PlayMsg(2, {Card(R5)}), 2);
        const auto fourth = act(PlayMsg(3, {Card(R6)}), 3);
        EXPECT_EQ(fourth.finishRank, 4);
        EXPECT_TRUE(referee.handInPlay()) << "four finishers and no whole team: the hand goes on";
        act(PassMsg(4), 4);
        referee.handleMessage(5, PlayMsg(5, {Card(R7)}));
    }

    ManualTickClock clock;
    Referee referee;
};

TEST_F(RefereeTest, FirstHandStartsWithTheFirstHolderOfCardZeroAndDealsEachSeatItsView)
{
    Hands h;
    for (int s = 0; s < SeatCount; ++s)
        h[s] = CardList{Card(R9, s % 4)};
    h[3].append(0);
    h[5].append(0);
    referee.startHand(h);
    const auto out = referee.takeOutgoing();
    ASSERT_EQ(out.size(), 7u);
    EXPECT_EQ(out[0].seat, AllSeats);
    EXPECT_EQ(out[0].bytes[15], 3);
    EXPECT_EQ(out[0].bytes[16], 1);
    for (int s = 0; s < SeatCount; ++s) {
        EXPECT_EQ(out[1 + s].seat, s);
        EXPECT_EQ(out[1 + s].bytes, BuildDeal(h, s, false));
    }
    EXPECT_FALSE(referee.startHand(h)) << "a hand is already in play";
}

TEST_F(RefereeTest, TurnsSkipFinishedSeatsAndRoundsGoToTheMakerOrTheSeatAfterIt)
{
    Hands h;
    h[0] = CardList{Card(R3), Card(R9), Card(RK)};
    h[1] = CardList{Card(RA, 1)};
    h[2] = CardList{Card(R4, 1), Card(R5, 2), Card(R6)};
    h[3] = CardList{Card(R4, 2), Card(R5, 3)};
    h[4] = CardList{Card(R4, 3), Card(R7, 1)};
    h[5] = CardList{Card(R8, 1), Card(R8, 2)};
    referee.startHand(h);
    referee.takeOutgoing();

    auto p = act(PlayMsg(0, {Card(R3)}), 0);
    EXPECT_EQ(p.next, 1);
    EXPECT_EQ(p.phase, 2);
    p = act(PlayMsg(1, {Card(RA, 1)}), 1);
    EXPECT_EQ(p.finishRank, 1) << "seat 1 played its last card";
    EXPECT_EQ(p.warnFlag, 1);
    for (int seat : {2, 3, 4, 5}) {
        p = act(PassMsg(seat), seat);
        EXPECT_EQ(p.next, (seat + 1) % 6);
        EXPECT_EQ(p.phase, 2);
    }
    // The maker has gone out: once everyone else has passed, the next seat
    // still playing after it leads.
    p = act(PassMsg(0), 0);
    EXPECT_EQ(p.next, 2);
    EXPECT_EQ(p.phase, 1);
    for (const SeatState& s : referee.state().seats)
        EXPECT_TRUE(s.currentPlay.isEmpty()) << "every play is cleared at a round's end";

    act(PlayMsg(2, {Card(R4, 1)}), 2);
    act(PassMsg(3), 3);
    act(PassMsg(4), 4);
    act(PassMsg(5), 5);
    p = act(PlayMsg(0, {Card(R9)}), 0);
    EXPECT_EQ(p.next, 2) << "seat 1 has finished and is skipped";
    act(PassMsg(2), 2);
    act(PassMsg(3), 3);
    act(PassMsg(4), 4);
    p = act(PassMsg(5), 5);
    EXPECT_EQ(p.next, 0) << "the maker still plays, so it leads again";
    EXPECT_EQ(p.phase, 1);
}

TEST_F(RefereeTest, WarningFlagRisesAtFiveCardsAndStaysInEveryBroadcast)
{
    Hands h;
    h[0] = CardList{Card(R3), Card(R4), Card(R4, 1), Card(R9), Card(R9, 1), Card(R10), Card(RJ)};
    for (int s = 1; s < SeatCount; ++s)
        h[s] = CardList{Card(RK, 1), Card(RK, 2), Card(RQ, 1), Card(RQ, 2), Card(RJ, 1), Card(RJ, 2), Card(R8, 1)};
    referee.startHand(h);
    referee.takeOutgoing();
    auto p = act(PlayMsg(0, {Card(R3)}), 0);
    EXPECT_EQ(p.warnFlag, 0) << "six cards left";
    for (int seat = 1; seat < SeatCount; ++seat)
        act(PassMsg(seat), seat);
    p = act(PlayMsg(0, {Card(R4), Card(R4, 1)}), 0);
    EXPECT_EQ(p.warnFlag, 1) << "four cards left";
    EXPECT_EQ(p.finishRank, 0);
    p = act(PassMsg(1), 1);
    EXPECT_EQ(p.warnFlag, 0) << "the flag is the passing seat's own";
    EXPECT_EQ(referee.state().seats[0].warnFlag, 1);
}

TEST_F(RefereeTest, HandEndsWhenOneTeamHasAllFinishedAndPaysTheStake)
{
    Hands h;
    h[0] = CardList{Card(R3), Card(R9)};
    h[1] = CardList{Card(R4)};
    h[2] = CardList{Card(R4, 1), Card(RK)};
    h[3] = CardList{Card(R5)};
    h[4] = CardList{Card(R5, 1), Card(RQ)};
    h[5] = CardList{Card(R6)};
    referee.setAbsent(3, true);
    referee.startHand(h);
    referee.takeOutgoing();
    act(PlayMsg(0, {Card(R3)}), 0);
    act(PlayMsg(1, {Card(R4)}), 1);
    act(PassMsg(2), 2);
    act(PlayMsg(3, {Card(R5)}), 3);
    act(PassMsg(4), 4);
    referee.handleMessage(5, PlayMsg(5, {Card(R6)}));
    const auto out = referee.takeOutgoing();
    ASSERT_EQ(out.size(), 2u);
    const auto last = PlaysIn(out).front();
    EXPECT_EQ(last.finishRank, 3);
    EXPECT_EQ(last.phase, 0) << "no turn follows the last play";
    EXPECT_FALSE(IsSeat(last.next)) << "a client clears the play area of the seat named to act";

    EXPECT_FALSE(referee.handInPlay());
    EXPECT_EQ(referee.phase(), Phase::BetweenHands);
    // Odd seats 6 + 5 + 4 against 1 + 1 + 1; seat 3 had gone and pays the
    // escape penalty on top.
    const SeatResults expected{-10, 10, -10, 10 - 30, -10, 10};
    EXPECT_EQ(referee.lastResults(), expected);
    Hands left;
    left[0] = CardList{Card(R9)};
    left[2] = CardList{Card(RK), Card(R4, 1)};
    left[4] = CardList{Card(RQ), Card(R5, 1)};
    EXPECT_EQ(out[1].bytes, BuildHandOver(expected, left));

    // Between hands every action is ignored without an answer.
    referee.handleMessage(0, PlayMsg(0, {Card(R9)}));
    EXPECT_TRUE(referee.takeOutgoing().empty());
}

TEST_F(RefereeTest, HandEndsAtTheFifthFinisherWithTheCloseScore)
{
    playFiveFinisherHand();
    EXPECT_FALSE(referee.handInPlay());
    // Even seats 6 + 4 + 1 = 11 against odd 5 + 3 + 2 = 10.
    EXPECT_EQ(referee.lastResults(), (SeatResults{10, -10, 10, -10, 10, -10}));
}

TEST_F(RefereeTest, SecondHandRunsTheTributeOneSeatAtATimeThenTheFirstFinisherLeads)
{
    playFiveFinisherHand();
    referee.takeOutgoing();
    // Places: 0, 1, 2, 3, 5, then 4 left holding cards. So 4 gives to 0 and
    // 5 to 1, and 0 and 1 return a card.
    Hands h;
    h[0] = CardList{Card(RA), Card(R9), Card(R5)};
    h[1] = CardList{Card(R2), Card(RA, 1), SmallJoker};
    h[2] = CardList{Card(R6)};
    h[3] = CardList{Card(R6, 1)};
    h[4] = CardList{BigJoker, SmallJoker, Card(R5, 1)};
    h[5] = CardList{Card(R2, 2), Card(R2, 3), Card(R8)};
    ASSERT_TRUE(referee.startHand(h));
    auto out = referee.takeOutgoing();
    EXPECT_EQ(out[0].bytes[15], 4);
    EXPECT_EQ(out[0].bytes[16], 3);

    EXPECT_EQ(refused(4, TributeMsg(4, SmallJoker, false)), TributeNotHighestMessage());
    EXPECT_EQ(refused(5, TributeMsg(5, Card(R2, 2), false)), Referee::NotYourTurnMessage());
    EXPECT_EQ(refused(4, PlayMsg(4, {BigJoker})), Referee::NotPlayTimeMessage());
    EXPECT_EQ(refused(4, TributeMsg(4, Card(R9), false)), Referee::CardsNotHeldMessage());

    const std::array<TributePair, 2> pairs{TributePair{0, 4}, TributePair{1, 5}};
    referee.handleMessage(4, TributeMsg(4, BigJoker, false));
    out = referee.takeOutgoing();
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].bytes, BuildTribute(4, BigJoker, 5, Phase::Tribute, pairs));

    referee.handleMessage(5, TributeMsg(5, Card(R2, 3), false));
    EXPECT_EQ(referee.takeOutgoing()[0].bytes, BuildTribute(5, Card(R2, 3), 0, Phase::ReturnTribute, pairs));

    EXPECT_EQ(refused(0, TributeMsg(0, Card(RA), true)), ReturnTooHighMessage());
    referee.handleMessage(0, TributeMsg(0, Card(R9), true));
    EXPECT_EQ(referee.takeOutgoing()[0].bytes, BuildTribute(0, Card(R9), 1, Phase::ReturnTribute, pairs));
    EXPECT_EQ(referee.state().seats[1].hand.count(), 3) << "nothing is exchanged before the end";

    // Seat 1 holds nothing below the A, so any card may go back.
    referee.handleMessage(1, TributeMsg(1, SmallJoker, true));
    EXPECT_EQ(referee.takeOutgoing()[0].bytes, BuildTribute(1, SmallJoker, 0, Phase::Lead, pairs));

    const auto& seats = referee.state().seats;
    auto sorted = [](CardList l) { std::sort(l.codes().begin(), l.codes().end()); return l; };
    EXPECT_EQ(sorted(seats[0].hand), sorted(CardList{Card(RA), Card(R5), BigJoker}));
    EXPECT_EQ(sorted(seats[4].hand), sorted(CardList{SmallJoker, Card(R5, 1), Card(R9)}));
    EXPECT_EQ(sorted(seats[1].hand), sorted(CardList{Card(R2), Card(RA, 1), Card(R2, 3)}));
    EXPECT_EQ(sorted(seats[5].hand), sorted(CardList{Card(R2, 2), Card(R8), SmallJoker}));
    EXPECT_EQ(referee.actingSeat(), 0);
    EXPECT_EQ(referee.phase(), Phase::Lead);
    EXPECT_EQ(refused(0, TributeMsg(0, Card(R5), false)), Referee::NotTributeTimeMessage());
}

TEST_F(RefereeTest, EveryRefusalNamesItsReasonAndLeavesTheTableAsItWas)
{
    Hands h;
    h[0] = CardList{Card(R3), Card(R9), Card(R9, 1), Card(RJ)};
    for (int s = 1; s < SeatCount; ++s)
        h[s] = CardList{Card(R10, s % 4), Card(R10, (s + 1) % 4), Card(R4, s % 4), Card(RK, s % 4)};
    referee.startHand(h);
    referee.takeOutgoing();

    EXPECT_EQ(refused(0, PassMsg(0)), Referee::MustLeadMessage());
    EXPECT_EQ(refused(1, PlayMsg(1, {Card(R4, 1)})), Referee::NotYourTurnMessage());
    EXPECT_EQ(refused(0, PlayMsg(0, {Card(R8)})), Referee::CardsNotHeldMessage());
    EXPECT_EQ(refused(0, PlayMsg(0, {Card(R9), Card(R9)})), Referee::CardsNotHeldMessage())
        << "one copy held, two played";
    EXPECT_EQ(refused(0, PlayMsg(0, {200})), Referee::CardsNotHeldMessage());
    EXPECT_EQ(refused(0, PlayMsg(0, {Card(R3), Card(R9)})), WrongPatternMessage());

    act(PlayMsg(0, {Card(R9), Card(R9, 1)}), 0);
    EXPECT_EQ(refused(1, PlayMsg(1, {Card(RK, 1)})), WrongCountMessage());
    EXPECT_EQ(refused(1, PlayMsg(1, {Card(R4, 1), Card(RK, 1)})), WrongPatternMessage());
    act(PlayMsg(1, {Card(R10, 1), Card(R10, 2)}), 1);
    EXPECT_EQ(refused(2, PlayMsg(2, {Card(R10, 2), Card(R10, 3)})), NotHigherMessage());
    EXPECT_EQ(refused(2, TributeMsg(2, Card(R4, 2), false)), Referee::NotTributeTimeMessage());

    // Malformed messages and stray seats are ignored without an answer.
    const TableState before = referee.state();
    referee.handleMessage(2, QByteArray("\x14\0\0", 3));
    referee.handleMessage(2, PlayMsg(2, {Card(RK, 2)}).left(8));
    referee.handleMessage(7, PassMsg(7));
    referee.handleMessage(-1, PassMsg(2));
    referee.handleMessage(2, QByteArray());
    EXPECT_TRUE(referee.takeOutgoing().empty());
    EXPECT_EQ(referee.state(), before);
}

TEST_F(RefereeTest, NoCardsRequestIsAnsweredWithTheSeatsHands)
{
    Hands h;
    for (int s = 0; s < SeatCount; ++s)
        h[s] = CardList{static_cast<CardCode>(s), static_cast<CardCode>(s + 10)};
    referee.startHand(h);
    referee.takeOutgoing();
    referee.handleMessage(4, QByteArray("\x02\0\x04", 3));
    const auto out = referee.takeOutgoing();
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].seat, 4);
    EXPECT_EQ(out[0].bytes, QByteArray("\x02\0\x02\x04\x0e\0", 6));
}

TEST_F(RefereeTest, BotsWaitTheirDelayAndOverdueHumansArePlayedFor)
{
    TableConfig c = Config();
    c.botDelayMs = 1500;
    c.turnSeconds = 20;
    c.overdueGraceMs = 10000;
    referee.setConfig(c);
    Hands h;
    h[0] = CardList{Card(R3), Card(R8)};
    for (int s = 1; s < SeatCount; ++s)
        h[s] = CardList{Card(R5, s % 4), Card(R9, s % 4)};
    referee.setBot(0, true);
    referee.startHand(h);
    referee.takeOutgoing();

    referee.tick();
    EXPECT_TRUE(referee.takeOutgoing().empty());
    clock.advance(1499);
    referee.tick();
    EXPECT_TRUE(referee.takeOutgoing().empty());
    clock.advance(1);
    referee.tick();
    auto plays = PlaysIn(referee.takeOutgoing());
    ASSERT_EQ(plays.size(), 1u);
    EXPECT_EQ(plays[0].cards, CardList{Card(R3)}) << "a bot leads its lowest group";

    // Seat 1 is human: nothing until its 20 seconds and the grace have run.
    clock.advance(29999);
    referee.tick();
    EXPECT_TRUE(referee.takeOutgoing().empty());
    clock.advance(1);
    referee.tick();
    plays = PlaysIn(referee.takeOutgoing());
    ASSERT_EQ(plays.size(), 1u);
    EXPECT_EQ(plays[0].seat, 1);
    EXPECT_EQ(plays[0].cards, CardList{Card(R5, 1)});

    // New settings wait for the next hand: seat 2 still has the 20 seconds
    // its client was told, but the new grace time applies at once.
    c.turnSeconds = 5;
    c.overdueGraceMs = 0;
    referee.setConfig(c);
    clock.advance(19999);
    referee.tick();
    EXPECT_TRUE(referee.takeOutgoing().empty());
    EXPECT_EQ(referee.state().config.turnSeconds, 20);

    // A seat handed to a bot mid-hand is played at once by runBots.
    referee.runBots();
    EXPECT_TRUE(referee.takeOutgoing().empty());
    referee.setBot(2, true);
    referee.runBots();
    plays = PlaysIn(referee.takeOutgoing());
    ASSERT_EQ(plays.size(), 1u);
    EXPECT_EQ(plays[0].seat, 2);
    EXPECT_EQ(plays[0].cards, CardList{Card(R9, 2)});
}

TEST_F(RefereeTest, SnapshotFollowsTheTable)
{
    Hands h;
    for (int s = 0; s < SeatCount; ++s)
        h[s] = CardList{static_cast<CardCode>(s), static_cast<CardCode>(s + 20)};
    const std::array<bool, SeatCount> up{true, true, false, false, false, false};
    EXPECT_EQ(referee.snapshot(0, true, up), BuildIdleSnapshot(up, true));
    referee.startHand(h);
    act(PlayMsg(0, {0}), 0);
    EXPECT_EQ(referee.snapshot(3, false, up), BuildSnapshot(referee.state(), 3, false));
    EXPECT_EQ(referee.state().seats[0].currentPlay, CardList{0});
}

} // namespace
} // namespace kelpo::server
