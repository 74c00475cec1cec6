#include "TableFixture.h"

#include "table/TableWidget.h"

#include <QTest>

#include <gtest/gtest.h>

using namespace kelpo;
using namespace kelpo::test;

TEST(TableWidget, SizesThePictureForwardsTheMouseAndNoticesDrawing)
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

    // Drawing anything changes the picture's key, which the widget watches.
    const qint64 key = f.pic().cacheKey();
    f.painter->PaintPassMark(100, 100);
    EXPECT_NE(f.painter->picGameBack.image().cacheKey(), key);
    const qint64 key2 = f.painter->picGameBack.image().cacheKey();
    f.painter->picGameBack.print(10, 10, QStringLiteral("x"));
    EXPECT_NE(f.painter->picGameBack.image().cacheKey(), key2);
}
