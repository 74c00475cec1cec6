// A recorded hand becomes a review: in memory, in a file, and in the review
// window opened from the room pane.

#include "TableFlowFixture.h"

#include "room/frmHandReview.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>

using namespace kelpo;
using namespace kelpo::test;

TEST_F(TableFlowTest, ARecordedHandIsReviewedStepByStepWrittenAndShown)
{
    const QString folder = dir.filePath(QStringLiteral("hands"));
    client.setReviewFolder(folder);
    client.setDateClock([] { return QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7)); });
    // A name is shown as it is, even one that looks like a placeholder.
    client.state.seats[0].name = QStringLiteral("p0%2");
    EXPECT_FALSE(window->cmdReview->isEnabled());

    // One pack; seat 1 (the local seat) gives its tribute, seat 4 returns.
    startHand({12, 0, 25, 11, 24, 5, 18, 1, 14}, 1, 3);
    deliver(TributeMsg(1, 12, 4, 4));
    deliver(TributeMsg(4, 2, 4, 1, {1, 4, 9, 9}));
    deliver(PlayMsg(4, {20, 33}, 5, 2));
    deliver(PassMsg(5, 0));
    deliver(PlayMsg(0, {53}, 1, 2, 1));
    QByteArray over = Bytes({22, 1});
    for (int s = 0; s < SeatCount; ++s)
        over += Bytes({0, 0, 0, s % 2 == 0 ? 30 : 0});
    over += Bytes({0, 0, 1, 40});
    deliver(over);

    const auto& review = client.handRecorder().lastHand();
    ASSERT_TRUE(review.has_value());
    ASSERT_TRUE(review->complete);
    QStringList steps;
    for (const ReviewStep& s : review->steps)
        steps << s.text;
    // The seat that leads is the one the exchange hands the turn to.
    EXPECT_EQ(steps, (QStringList{QStringLiteral("2号 p1 进贡 黑桃2"), QStringLiteral("5号 p4 还贡 黑桃5"),
                                  QStringLiteral("2号 p1 与 5号 p4 交换贡牌"), QStringLiteral("5号 p4 先出"),
                                  QStringLiteral("5号 p4 出 梅花10 方块10"), QStringLiteral("6号 p5 不要"),
                                  QStringLiteral("1号 p0%2 出 大王"), QStringLiteral("1号 p0%2 第1个出完")}));
    EXPECT_EQ(review->results.first(), QStringLiteral("1号 p0%2：+30"));
    EXPECT_EQ(review->results.last(), QStringLiteral("3号 p2 剩下：红桃4"));
    EXPECT_FALSE(review->myHand.isEmpty());

    const QStringList files = QDir(folder).entryList(QDir::Files);
    ASSERT_EQ(files, QStringList{QStringLiteral("2026-03-04_05-06-07.txt")});
    QFile f(QDir(folder).filePath(files.first()));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(f.readAll()), review->text());

    // A new hand leaves the last one reviewable until it is over.
    startHand({12, 0, 25, 11, 24, 5, 18, 1, 14}, 1, 1);
    ASSERT_TRUE(window->cmdReview->isEnabled());
    window->cmdReview->click();
    frmHandReview* shown = window->handReview();
    ASSERT_NE(shown, nullptr);
    EXPECT_TRUE(shown->isVisible());
    EXPECT_EQ(shown->stepList()->count(), steps.size());
    EXPECT_EQ(shown->currentStep(), 0);
    shown->StepBy(3);
    EXPECT_EQ(shown->stepList()->currentItem()->text(), steps[3]);
    shown->StepBy(100);
    EXPECT_EQ(shown->currentStep(), steps.size() - 1);
    EXPECT_TRUE(shown->resultLabel()->text().contains(QStringLiteral("+30")));
}

TEST_F(TableFlowTest, AHandBegunBeforeTheLastOneEndedIsReviewedUnderItsOwnTime)
{
    const QString folder = dir.filePath(QStringLiteral("hands"));
    client.setReviewFolder(folder);
    const QDateTime at(QDate(2026, 3, 4), QTime(5, 6, 7));
    client.setDateClock([at] { return at; });
    startHand({12, 0, 25, 11, 24, 5, 18, 1, 14}, 1, 1);
    deliver(PlayMsg(1, {14}, 2, 2));
    // The server deals again with no hand over for the first hand.
    startHand({12, 0, 25, 11, 24, 5, 18, 1, 14}, 1, 1);
    deliver(Bytes({22, 1}) + QByteArray(24, '\0'));
    ASSERT_TRUE(client.handRecorder().lastHand().has_value());
    EXPECT_EQ(client.handRecorder().lastHand()->started, at);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("2026-03-04_05-06-07.txt")});
}

TEST_F(TableFlowTest, AHandTakenOverDuringTheReturnTributeRecordsTheReturnsAndTheExchange)
{
    // Back at the table as seat 4 returns; one pack, seat 1 gave a 2.
    deliver(SnapshotMsg(4, PhaseReturnTribute, Bytes({0, 1, 12, 0, 0, 0, 0, 8, 25, 11, 24, 5, 18, 1, 14, 0, 0})));
    deliver(TributeMsg(4, 2, 4, 1, {1, 4, 9, 9}));
    const auto& review = client.handRecorder().currentHand();
    ASSERT_TRUE(review.has_value());
    QStringList steps;
    for (const ReviewStep& s : review->steps)
        steps << s.text;
    EXPECT_EQ(steps, (QStringList{QStringLiteral("5号 p4 还贡 黑桃5"), QStringLiteral("2号 p1 与 5号 p4 交换贡牌"),
                                  QStringLiteral("5号 p4 先出")}));
}

TEST(HandReviewFile, ReviewsOfHandsStartedInTheSameSecondAreAllKept)
{
    // Two clients of one user at one table, a player and a spectator, end
    // the same hand together.
    QTemporaryDir dir;
    HandReview player;
    player.started = QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7));
    player.myHand = QStringLiteral("大王");
    HandReview watcher = player;
    watcher.myHand = QStringLiteral("小王");
    ASSERT_TRUE(WriteHandReview(player, dir.path()));
    ASSERT_TRUE(WriteHandReview(watcher, dir.path()));
    QStringList texts;
    for (const QString& name : QDir(dir.path()).entryList(QDir::Files, QDir::Name)) {
        QFile f(QDir(dir.path()).filePath(name));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        texts << QString::fromUtf8(f.readAll());
    }
    QStringList written{player.text(), watcher.text()};
    written.sort();
    texts.sort();
    EXPECT_EQ(texts, written);
}
