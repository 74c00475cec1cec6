// What reaches the window while a scripted server runs a hand: the tests
// read the window system's copy of the main window, never the painter's
// picture alone.

#include "WindowFixture.h"

#include "game/TurnFlow.h"
#include "platform/TickClock.h"
#include "room/frmGameMain.h"
#include "server/RoomMessages.h"
#include "support/Users.h"
#include "skin/ModalBoxes.h"
#include "table/TableFixture.h"
#include "table/TableGeometry.h"
#include "table/TablePainter.h"
#include "table/TableWidget.h"

#include <QScreen>
#include <QTest>
#include <QTimer>

using namespace kelpo;
using namespace kelpo::test;

namespace {

// Eighteen cards without the first leader's marked card 0.
const std::vector<int> HandA{1, 2, 3, 14, 15, 16, 27, 28, 29, 40, 41, 42, 6, 7, 8, 19, 20, 52};
const std::vector<int> HandB{4, 5, 9, 10, 11, 12, 17, 18, 21, 22, 23, 24, 25, 30, 31, 32, 33, 53};

} // namespace

class TableScreen : public WindowTest {
protected:
    int view(int seat) { return ViewOfSeat(state(), seat); }
    // The last card of a row is drawn whole: its middle shows.
    QRgb lastCardShown(QPoint rowLeft, int n) { return shownAt(rowLeft + QPoint(CardStep * (n - 1) + 40, 50)); }
    static QRgb Face(int code) { return CardPixel(CardImageIndex(static_cast<CardCode>(code)), 40, 50); }
    QRgb handShown()
    {
        const int n = state().cards.HandCards.count();
        const TableLayout& L = state().view.Layout;
        return lastCardShown({HandLeft(L, n), L.HandAnchor[2].y()}, n);
    }
    QPoint playAt(int seat, int n)
    {
        PlayPlacement p;
        EXPECT_TRUE(PlacePlay(state().view.Layout, view(seat), n, p));
        return p.cards;
    }
    QRgb lastHandCard() { return Face(state().cards.HandCards.at(state().cards.HandCards.count())); }
};

TEST_F(TableScreen, DealtHandAndAnotherSeatsLeadReachTheWindowWhateverTheTiming)
{
    // Hand start and deal in one piece.
    server.send({HandStart(3, 1), Deal(HandA)});
    ASSERT_TRUE(PumpUntil([&] { return state().cards.HandCards.count() == 18; }));
    EXPECT_EQ(handShown(), lastHandCard());

    server.send({Play(3, {6, 19}, 4, 2)});
    ASSERT_TRUE(PumpUntil([&] { return state().seats[3].currentPlay.count() == 2; }));
    EXPECT_EQ(lastCardShown(playAt(3, 2), 2), Face(19));

    // The next hand's deal only once the client has acknowledged the start.
    server.received.clear();
    server.send({HandStart(2, 1)});
    ASSERT_TRUE(server.waitForSent(QByteArray("\x13\x00", 2)));
    server.send({Deal(HandB)});
    ASSERT_TRUE(PumpUntil([&] { return state().cards.HandCards.at(18) != NoCardImage
                                       && state().seats[3].currentPlay.isEmpty(); }));
    settle();
    EXPECT_EQ(handShown(), lastHandCard());
    EXPECT_TRUE(tableShown(painter().picGameBack.image().rect())) << "the window differs from the table";
}

TEST_F(TableScreen, OwnPlayAfterTheEchoAFollowAndAPassReachTheWindow)
{
    server.send({HandStart(0, 1), Deal(HandA)});
    ASSERT_TRUE(PumpUntil([&] { return state().view.PlayButtonState[0] != 0; }));
    settle();

    // Raise the last card and press the play button with the mouse.
    const TableLayout& L = state().view.Layout;
    const int n = state().cards.HandCards.count();
    const int card = state().cards.HandCards.at(n);
    TableWidget* table = window().picGameBack;
    QTest::mouseClick(table, Qt::LeftButton, {}, QPoint(HandLeft(L, n) + CardStep * (n - 1) + 40, L.HandAnchor[2].y() + 50));
    const QPoint button = PlayButtonRect(L, 1, 0).center();
    QTest::mouseMove(table, button);
    QTest::mouseClick(table, Qt::LeftButton, {}, button);
    ASSERT_TRUE(server.waitForSent(QByteArray("\x14\x00\x00\x00\x00\x00\x00\x01", 8))) << "no play sent";

    server.send({Play(0, {card}, 1, 2)});
    ASSERT_TRUE(PumpUntil([&] { return state().cards.HandCards.count() == n - 1; }));
    settle();
    EXPECT_EQ(lastCardShown(playAt(0, 1), 1), Face(card)) << "own play missing after the echo";

    server.send({Play(1, {53}, 2, 2)});
    ASSERT_TRUE(PumpUntil([&] { return state().table.ActingSeat == 2; }));
    EXPECT_EQ(lastCardShown(playAt(1, 1), 1), Face(53));
    EXPECT_EQ(lastCardShown(playAt(0, 1), 1), Face(card)) << "own play erased by the follow";

    server.send({Pass(2, 3)});
    ASSERT_TRUE(PumpUntil([&] { return state().table.ActingSeat == 3; }));
    PlayPlacement pass;
    ASSERT_TRUE(PlacePlay(L, view(2), 1, pass));
    EXPECT_EQ(shownAt(pass.passMark + QPoint(40, 20)), PassMarkColour);
}

TEST_F(TableScreen, HandOverPanelsStayUntilTheNextHand)
{
    server.send({HandStart(3, 1), Deal(HandA)});
    ASSERT_TRUE(PumpUntil([&] { return state().cards.HandCards.count() == 18; }));
    server.send({Play(3, {6, 19}, 4, 2)});
    ASSERT_TRUE(PumpUntil([&] { return state().seats[3].cardsLeft == 16; }));

    server.send({HandOverWithResults({10, -10, 10, -10, 10, -10}, {{{}, {1, 2}, {3}, {4, 5, 6}, {7}, {8}}})});
    ASSERT_TRUE(PumpUntil([&] { return state().table.StartOffered; }));
    const QImage& pic = painter().picGameBack.image();
    const QPoint panel((pic.width() - 309) / 2 + 5, (pic.height() - 300) / 2 + 5);
    EXPECT_EQ(shownAt(panel), EndPanelColour) << "no end-of-hand panel";

    // The finished hand is off the table: clicks where it lay, on the
    // panel or where the round and sort buttons stood, and the hand's keys,
    // draw nothing.
    {
        const TableLayout& L = state().view.Layout;
        const QPoint origin = window().picGameBack->mapTo(&window(), QPoint());
        const QRect band(0, panel.y(), pic.width(), L.HandAnchor[2].y() + CardHeight - panel.y());
        const QImage before = screen().copy(band.translated(origin));
        TableWidget* table = window().picGameBack;
        for (const QPoint p : {QPoint(HandLeft(L, 18) + 40, L.HandAnchor[2].y() + 50), panel + QPoint(0, 100),
                               OptionButtonRect(L, 0).center(), OptionButtonRect(L, 1).center()}) {
            QTest::mouseMove(table, p);
            QTest::mouseClick(table, Qt::LeftButton, {}, p);
        }
        // Nor do the hand's keys.
        for (const Qt::Key key : {Qt::Key_Left, Qt::Key_Space, Qt::Key_3, Qt::Key_4, Qt::Key_Right, Qt::Key_Escape})
            QTest::keyClick(table, key);
        settle();
        const QImage shown = screen();
        EXPECT_EQ(shown.copy(band.translated(origin)), before) << "the old hand or the plays drawn over the panel";
        for (int b = 0; b < 2; ++b)
            EXPECT_EQ(shown.pixel(OptionButtonRect(L, b).center() + origin), BackgroundColour) << "dead button " << b;
    }

    // Other seats' remaining counts stay on the table.
    QPoint count;
    ASSERT_TRUE(CardCountPlace(state().view.Layout, view(3), false, count));
    EXPECT_TRUE(tableShown(QRect(count, QSize(60, 16))));
    EXPECT_GT(PixelsNotOf(pic, QRect(count, QSize(60, 16)), BackgroundColour), 0);

    // Others raise their hands and the countdown runs: the panel stays.
    server.send({QByteArray("\x12\x01", 2), QByteArray("\x12\x02", 2)});
    settle();
    for (int i = 0; i < 3; ++i)
        tmrStart_Timer(*program->client);
    EXPECT_EQ(shownAt(panel), EndPanelColour) << "the panel went before the next hand";

    server.send({HandStart(3, 1)});
    ASSERT_TRUE(PumpUntil([&] { return !state().table.NoHandInPlay; }));
    settle();
    EXPECT_NE(shownAt(panel), EndPanelColour) << "the panel outlived its hand";

    // A hand over with the score counters: the panel shows them while the
    // box that ends the hand waits.
    const QRect numbers(pic.width() - 182 - 15 + 122, 45, 50, 66);
    const QImage before = screen().copy(numbers.translated(window().picGameBack->mapTo(&window(), QPoint())));
    bool checked = false;
    ModalBoxes::instance().setObserver([&](QWidget* box) {
        EXPECT_TRUE(tableShown(numbers));
        EXPECT_NE(screen().copy(numbers.translated(window().picGameBack->mapTo(&window(), QPoint()))), before);
        checked = true;
        box->close();
    });
    server.send({HandOverScores(7, 9)});
    ASSERT_TRUE(PumpUntil([&] { return checked; }));
    ModalBoxes::instance().clearObserver();
}

// On a low window the lower left seat's finishing mark reaches into the
// upper left seat's cards: clearing those for that seat's turn keeps it whole.
TEST_F(TableScreen, AFinishingMarkStaysWholeWhenTheCardsBesideItAreCleared)
{
    window().resize(900, 620);
    settle();
    QByteArray finishing = Play(5, {10}, 3, 2);
    finishing[4] = 1; // the seat's place
    server.send({HandStart(4, 1), Deal(HandA), Play(4, {9, 22, 35}, 5, 2), finishing, Pass(3, 4)});
    ASSERT_TRUE(PumpUntil([&] { return state().table.ActingSeat == 4 && state().seats[3].currentPlay.isPass(); }));
    settle();
    QPoint at;
    PlayPlacement above;
    ASSERT_TRUE(RankMarkPlace(state().view.Layout, view(5), false, at));
    ASSERT_TRUE(PlacePlay(state().view.Layout, view(4), 3, above));
    const QRect mark(at, QSize(RankMarkWidth, RankMarkHeight));
    ASSERT_TRUE(above.cardArea.intersects(mark)) << "the window is not low enough to show the overlap";
    EXPECT_EQ(PixelsNotOf(screen(), mark.translated(window().picGameBack->mapTo(&window(), QPoint())), RankMarkColour(1)), 0);
}

// A pause runs inside the handler of the message after the change; the
// window's repaint of the change, already pending, must still run in it.
TEST_F(TableScreen, AUserListJustBeforeAPauseIsShownDuringThePause)
{
    ManualTickClock held;
    program->client->setClock(held);
    const QRect list(window().lstUser->mapTo(&window(), QPoint(0, 0)), window().lstUser->size());
    const QImage before = screen().copy(list);
    QImage during;
    QTimer::singleShot(50, [&] {
        during = window().screen()->grabWindow(window().winId()).toImage().convertToFormat(QImage::Format_RGB32).copy(list);
        held.advance(10000);
    });
    // Then a tribute exchange: a 3000 ms pause.
    server.send({server::BuildUserList(SeatedPlayers({"x0", "x1", "x2", "x3", "x4", "x5"})), HandStart(1, 1), QByteArray("\x17\x00\x02\x00\x03\x01\x09\x09\x09\x09", 10)});
    settle(300);
    ASSERT_FALSE(during.isNull());
    EXPECT_NE(during, before);
    EXPECT_EQ(during, screen().copy(list));
}
