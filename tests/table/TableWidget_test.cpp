#include "TableFixture.h"

#include "table/TableWidget.h"

#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

using namespace kelpo;
using namespace kelpo::test;

TEST(TableWidget, SizesThePictureForwardsTheMouseAndShowsWhatIsDrawn)
{
    TableFixture f;
    f.seatPlayers();
    TableWidget w(*f.painter);
    w.resize(900, 640);
    w.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(f.painter->picGameBack.width(), 900);
    EXPECT_EQ(f.painter->picSaveGameBack.height(), 640);
    EXPECT_EQ(f.layout().SeatAnchor[2], QPoint((900 - 32) / 2, 640 - 42));

    int downs = 0;
    QPoint at;
    w.MouseDown = [&](int button, int x, int y) {
        downs += button == Qt::LeftButton;
        at = QPoint(x, y);
    };
    QTest::mouseClick(&w, Qt::LeftButton, {}, QPoint(123, 45));
    EXPECT_EQ(downs, 1);
    EXPECT_EQ(at, QPoint(123, 45));

    // A drawing schedules exactly what it changed, and that reaches the
    // window without anything else repainting it.
    w.resetScheduledPixels();
    f.painter->PaintPassMark(100, 100);
    EXPECT_EQ(w.scheduledPixels(), PassMarkWidth * PassMarkHeight);
    QCoreApplication::processEvents();
    const QImage shown = w.screen()->grabWindow(w.winId()).toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(shown.isNull());
    const QRect mark(100, 100, PassMarkWidth, PassMarkHeight);
    EXPECT_EQ(shown.copy(mark), f.pic().copy(mark));
}

TEST(TableWidget, TheSameSizeSetAgainKeepsTheTable)
{
    TableFixture f;
    const QImage before = std::as_const(f.painter->picGameBack).image().copy();
    f.painter->ResizeTable(800, 600);
    EXPECT_EQ(std::as_const(f.painter->picGameBack).image(), before);
}
