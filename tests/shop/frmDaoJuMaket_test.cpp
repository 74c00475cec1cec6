#include "shop/frmDaoJuMaket.h"
#include "shop/modDaoJuMaket.h"

#include <QCoreApplication>
#include <QDir>
#include <QMouseEvent>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kelpo {
namespace {

constexpr QRgb Ground = 0xFF303840u;
constexpr QRgb Magenta = 0xFFFF00FFu;
constexpr QRgb Catalogue = 0xFFE0E8F0u;
constexpr QRgb NoPicture = 0xFF00FF00u;
constexpr QRgb Buy = 0xFF0000C0u;
constexpr QRgb BuyHover = 0xFF00C0C0u;
constexpr QRgb NotePane = 0xFFD6D7D6u;

QRgb ItemColour(int id) { return qRgb(100 + id, 50, 50); }

class ShopWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        state.globals.AppPath = dir.path() + QStringLiteral("/bin/");
        state.globals.ParentPath = dir.path() + QStringLiteral("/");
        state.globals.GameName = QStringLiteral("升级");
        QImage main(frmDaoJuMaket::FormWidth, frmDaoJuMaket::FormHeight, QImage::Format_RGB32);
        main.fill(Ground);
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 6 - y; ++x)
                main.setPixel(x, y, Magenta); // a rounded corner
        save("DaoJuMaket/DaoJuMain.bmp", main);
        save("DaoJuMaket/DaoJuInfoBk.bmp", Solid(568, 322, Catalogue));
        save("DaoJuMaket/DaoJuNo.bmp", Solid(112, 115, NoPicture));
        save("DaoJuMaket/BuyBut.bmp", Solid(55, 23, Buy));
        save("DaoJuMaket/BuyButM.bmp", Solid(55, 23, BuyHover));
        for (int id = 101; id <= 104; ++id)
            save(QStringLiteral("bin/Res/DaoJu/DaoJuInfo_%1.bmp").arg(id), Solid(112, 115, ItemColour(id)));
    }
    static QImage Solid(int w, int h, QRgb c)
    {
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(c);
        return image;
    }
    void save(const QString& name, const QImage& image)
    {
        const QString path = dir.filePath(name);
        QDir().mkpath(QFileInfo(path).path());
        ASSERT_TRUE(image.save(path, "BMP"));
    }
    // Two tabs; the first holds items 101..105, the second one item.
    void catalogue(int types = 2)
    {
        QStringList f{QString::number(types), "功能", "互动"};
        f = f.mid(0, types + 1);
        f << "6";
        for (int i = 1; i <= 6; ++i)
            f << QStringList{QString::number(100 + i), i == 6 ? QString::number(types - 1) : "0", "道具", "3", "50",
                             "10", "8", "10", "6", "1"};
        ASSERT_TRUE(ParseDaoJuList(state.shop, f.join(u'`'), {}));
    }
    static int CountColour(const QImage& image, const QRect& r, QRgb c)
    {
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                n += (image.pixel(x, y) | 0xFF000000u) == c;
        return n;
    }

    QTemporaryDir dir;
    ClientState state;
};

TEST_F(ShopWindowTest, PageShowsPicturesPricesAndTheKeyedShape)
{
    catalogue();
    TurnPage(state.shop.DaoJuTypes[1], PageLast); // items 103..105
    frmDaoJuMaket shop(state);
    EXPECT_TRUE(state.shop.MaketOpen);
    const QImage shot = shop.grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shot.size(), QSize(727, 541));

    // Magenta is see-through; the rest of the window is there.
    EXPECT_FALSE(shop.mask().contains(QPoint(0, 0)));
    EXPECT_TRUE(shop.mask().contains(QPoint(6, 0)));
    EXPECT_TRUE(shop.mask().contains(QPoint(400, 300)));

    // Cells 0..2 show items 103, 104 and 105 (no picture of its own); cell
    // 3 only the catalogue ground, with its buy button all the same.
    EXPECT_EQ(shot.pixel(20, 75), ItemColour(103));
    EXPECT_EQ(shot.pixel(299, 75), ItemColour(104));
    EXPECT_EQ(shot.pixel(20, 234), NoPicture);
    EXPECT_EQ(shot.pixel(299, 234), Catalogue);
    EXPECT_EQ(shot.pixel(520, 360), Buy);
    EXPECT_EQ(shop.labPage(PageCount)->caption(), QStringLiteral("共 5 个"));

    // Current prices in red; list prices struck through by a line as long
    // as their text.
    const int x = 15 + 126;
    EXPECT_GT(CountColour(shot, QRect(x, 68 + 53, 140, 14), 0xFFFF0000u), 20);
    EXPECT_EQ(CountColour(shot, QRect(x, 68 + 36, 140, 14), 0xFFFF0000u), 0);
    int struck = 0;
    while (shot.pixel(x + struck, 68 + 36 + 7) == 0xFF000000u)
        ++struck;
    EXPECT_GT(struck, 60);

    // Description pane: its colour, then the hovered item's picture.
    EXPECT_EQ(shot.pixel(650, 300), NotePane);
    shop.Form_MouseMove(300, 100);
    EXPECT_EQ(shop.HoverCell, 1);
    EXPECT_EQ(shop.grab().toImage().pixel(600, 100) | 0xFF000000u, ItemColour(104));

    // Two types: the tabs sit 85 pixels apart.
    ASSERT_NE(shop.picTypeBut(2), nullptr);
    EXPECT_TRUE(shop.picTypeBut(2)->isVisibleTo(&shop));
    EXPECT_EQ(shop.picTypeBut(2)->x() - shop.picTypeBut(1)->x(), 85);
}

TEST_F(ShopWindowTest, ButtonsHoverBuyPageAndClose)
{
    catalogue(1);
    auto* shop = new frmDaoJuMaket(state);
    std::vector<QByteArray> sent;
    shop->sendPacket = [&](const QByteArray& p) { sent.push_back(p); };
    EXPECT_FALSE(shop->picTypeBut(1)->isVisibleTo(shop)) << "one type, no tabs";

    // Hover flags: a buy button lights up until the pointer is back on the
    // window.
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(shop->imgBuyBut(1), &move);
    EXPECT_EQ(shop->imgBuyBut(1)->hoverTag, QStringLiteral("1"));
    EXPECT_EQ(shop->imgBuyBut(1)->grab().toImage().pixel(20, 10) | 0xFF000000u, BuyHover);
    shop->Form_MouseMove(400, 20);
    EXPECT_EQ(shop->imgBuyBut(1)->hoverTag, QStringLiteral("0"));
    EXPECT_EQ(shop->HoverCell, -1);

    // Six items: the next page is 3..6 and there is none after it.
    shop->labPage_Click(PageNext);
    shop->labPage_Click(PageNext);
    EXPECT_EQ(state.shop.DaoJuTypes[1].lngFirstIdx, 3);
    shop->imgBuyBut_Click(3);
    EXPECT_EQ(sent, std::vector<QByteArray>{QByteArray("\x85\x00" "106", 5)});

    // Owned items: the strip shows the first seven with their tooltips.
    QStringList lots;
    for (int i = 0; i < 9; ++i)
        lots << "101" << QString::number(i + 1) << "2027010203";
    ASSERT_TRUE(ParseMyDaoJuList(state.shop, lots.join(u':')));
    shop->RepaintMaket();
    shop->imgMeBut_Click(1);
    EXPECT_EQ(shop->imgMyDaoJu(0)->toolTip(), QStringLiteral("道具  剩2个  2027年1月2日3时到期 对自己使用"));
    EXPECT_TRUE(shop->imgMyDaoJu(6)->toolTip().contains(QStringLiteral("剩8个")));

    shop->picSysBut_Click(1);
    EXPECT_FALSE(state.shop.MaketOpen);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A new owned-items list (a purchase confirmed) keeps the owned tab the
// player chose, showing its new counts.
TEST_F(ShopWindowTest, AnOwnedItemsUpdateKeepsTheChosenOwnedTab)
{
    catalogue();
    ASSERT_TRUE(ParseMyDaoJuList(state.shop, QStringLiteral("101:1:2026123118:106:2:2026123118")));
    frmDaoJuMaket window(state);
    window.picMeTypeBut_Click(2);
    ASSERT_TRUE(window.imgMyDaoJu(0)->toolTip().contains(QStringLiteral("剩2个")));
    ASSERT_TRUE(ParseMyDaoJuList(state.shop, QStringLiteral("101:1:2026123118:106:3:2026123118")));
    window.RepaintMaket();
    EXPECT_TRUE(window.imgMyDaoJu(0)->toolTip().contains(QStringLiteral("剩3个")));
}

} // namespace
} // namespace kelpo
