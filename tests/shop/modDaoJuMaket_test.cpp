#include "platform/Cp936.h"
#include "shop/modDaoJuMaket.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kelpo {
namespace {

QString Fields(const QStringList& f) { return f.join(u'`'); }

// The catalogue of the two tabs with one item 7 in the second.
const QString Catalogue = Fields({"2", "道具A", "道具B", "1", "7", "1", "喇叭", "1", "48", "10", "8", "10", "6", "1"});

QString Items(int n, int type = 0)
{
    QStringList f{"1", "T", QString::number(n)};
    for (int i = 1; i <= n; ++i)
        f << QStringList{QString::number(100 + i), QString::number(type), "x", "1", "1", "1", "1", "1", "1", "0"};
    return Fields(f);
}

TEST(DaoJuList, CatalogueWithNotesAndOwnedItemsFollowingItsGroups)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath("DaoJuInfo.ini");
    QFile file(ini);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    // Case of names ignored, blanks and NULs dropped, a value cut to 1023
    // bytes without splitting a character.
    file.write(cp936::Encode(QStringLiteral("[daojuinfo_id_7]\r\nNOTE =  能喊话")) + QByteArray(1, '\0')
               + cp936::Encode(QStringLiteral("的喇叭  \r\n[DaoJuInfo_ID_8]\r\nNote=") + QString(600, u'长')));
    file.close();
    EXPECT_EQ(ReadDaoJuNote(ini, 8), QString(511, u'长'));
    EXPECT_EQ(ReadDaoJuNote(ini, 9), QString());
    EXPECT_EQ(ReadDaoJuNote(dir.filePath("missing.ini"), 7), QString());

    ShopState shop;
    ASSERT_TRUE(ParseDaoJuList(shop, Catalogue, ini));
    ASSERT_EQ(shop.typeCount(), 2);
    EXPECT_EQ(shop.DaoJuTypeNames[2], QStringLiteral("道具B"));
    EXPECT_EQ(shop.DaoJuTypes[1].count(), 0);
    ASSERT_EQ(shop.DaoJuTypes[2].count(), 1);
    const DaoJuInfo& horn = shop.DaoJuTypes[2].items[1];
    EXPECT_EQ(horn.lngID, 7);
    EXPECT_EQ(horn.strName, QStringLiteral("喇叭"));
    EXPECT_EQ(horn.lngValidHours, 48);
    EXPECT_EQ(std::vector<int>({horn.lngCount, horn.lngPrice, horn.lngNowPrice, horn.lngMemberPrice,
                                horn.lngMemberNowPrice, horn.bteUseSelf}),
              std::vector<int>({1, 10, 8, 10, 6, 1}));
    EXPECT_EQ(horn.strNote, QStringLiteral("能喊话的喇叭"));

    ASSERT_TRUE(ParseMyDaoJuList(shop, "7:3:2027123118:99:1:2027010100"));
    ASSERT_EQ(shop.MyDaoJuTypes[2].count(), 1);
    const MyDaoJu& mine = shop.MyDaoJuTypes[2].items[1];
    EXPECT_EQ(std::vector<int>({mine.lngCount, mine.lngYear, mine.lngMonth, mine.lngDay, mine.lngHour}),
              std::vector<int>({3, 2027, 12, 31, 18}));
    EXPECT_EQ(MyDaoJuTooltip(mine), QStringLiteral("喇叭  剩3个  2027年12月31日18时到期 对自己使用"));
    ASSERT_EQ(shop.MyDaoJuTypes[1].count(), 1);
    EXPECT_EQ(shop.MyDaoJuTypes[1].items[1].strName, QStringLiteral("未知名称"));

    // A new catalogue with item 7 in its first tab: the owned lots follow,
    // names unchanged.
    shop.CurTypeIdx = 2;
    ASSERT_TRUE(ParseDaoJuList(shop, Fields({"1", "新", "1", "7", "0", "大喇叭", "2", "1", "1", "1", "1", "1", "0"}), ini));
    EXPECT_EQ(shop.CurTypeIdx, 1);
    ASSERT_EQ(shop.MyDaoJuTypes.size(), 2u);
    ASSERT_EQ(shop.MyDaoJuTypes[1].count(), 2);
    EXPECT_EQ(shop.MyDaoJuTypes[1].items[1].strName, QStringLiteral("未知名称"));
    EXPECT_EQ(shop.MyDaoJuTypes[1].items[2].strName, QStringLiteral("喇叭"));

    EXPECT_FALSE(ParseMyDaoJuList(shop, "7:3")) << "two fields";
    EXPECT_EQ(shop.MyDaoJuTypes[1].count(), 2);
    EXPECT_TRUE(ParseMyDaoJuList(shop, ""));
    EXPECT_EQ(shop.MyDaoJuTypes[1].count(), 0);
}

TEST(DaoJuList, HostileCountsAndBadTypesNeitherAllocateNorShift)
{
    ShopState shop;
    EXPECT_TRUE(ParseMyDaoJuList(shop, "7:3:2027123118"));
    EXPECT_EQ(shop.MyDaoJuTypes.size(), 1u) << "owned before any catalogue is not kept";

    ASSERT_TRUE(ParseDaoJuList(shop, Catalogue, {}));
    for (const QString& hostile : {QStringLiteral("2000000000`a`b"), Fields({"1", "T", "2147483647", "1", "0"}),
                                   Fields({"1", "T", "2", "1", "0", "x", "1", "1", "1", "1", "1", "1", "0"})}) {
        EXPECT_FALSE(ParseDaoJuList(shop, hostile, {})) << hostile.toStdString();
        EXPECT_EQ(shop.typeCount(), 2) << "the old catalogue stays";
    }
    // Type numbers -1 and 2 of two types are skipped; the item after them is
    // still read at its own place.
    QStringList f{"2", "A", "B", "3"};
    for (const char* type : {"-1", "2", "1"})
        f << QStringList{"5", type, "y", "1", "1", "1", "1", "1", "1", "0"};
    ASSERT_TRUE(ParseDaoJuList(shop, Fields(f), {}));
    EXPECT_EQ(shop.DaoJuTypes[1].count() + shop.DaoJuTypes[2].count(), 1);
    EXPECT_EQ(shop.DaoJuTypes[2].count(), 1);
}

TEST(DaoJuList, PagingScrollingValidityAndBuying)
{
    ShopState shop;
    ASSERT_TRUE(ParseDaoJuList(shop, Items(6), {}));
    DaoJuType& six = shop.DaoJuTypes[1];
    EXPECT_TRUE(TurnPage(six, PageNext));
    EXPECT_EQ(six.lngFirstIdx, 3);
    EXPECT_FALSE(TurnPage(six, PageNext));
    EXPECT_TRUE(TurnPage(six, PageFirst));
    EXPECT_TRUE(TurnPage(six, PageLast));
    EXPECT_EQ(six.lngFirstIdx, 3);
    EXPECT_TRUE(TurnPage(six, PagePrevious));
    EXPECT_EQ(six.lngFirstIdx, 1);

    // Five items: the last page shows 3..5 and its fourth cell buys nothing.
    ASSERT_TRUE(ParseDaoJuList(shop, Items(5), {}));
    TurnPage(shop.DaoJuTypes[1], PageLast);
    EXPECT_EQ(shop.DaoJuTypes[1].lngFirstIdx, 3);
    EXPECT_EQ(BuyDaoJu(shop, 2), QByteArray("\x85\x00" "105", 5));
    EXPECT_TRUE(BuyDaoJu(shop, 3).isEmpty());
    EXPECT_TRUE(BuyDaoJu(shop, -1).isEmpty());

    for (const int owned : {7, 9}) {
        QStringList lots;
        for (int i = 0; i < owned; ++i)
            lots << "101" << "1" << "2027010100";
        ASSERT_TRUE(ParseMyDaoJuList(shop, lots.join(u':')));
        MyDaoJuType& g = shop.MyDaoJuTypes[1];
        std::vector<int> firsts;
        while (ScrollMyDaoJu(g, 1))
            firsts.push_back(g.lngFirstIdx);
        EXPECT_EQ(firsts, owned == 7 ? std::vector<int>{} : std::vector<int>({2, 3}));
        EXPECT_TRUE(owned == 7 || ScrollMyDaoJu(g, 0));
    }

    EXPECT_EQ(ValidityText(23), QStringLiteral("23小时"));
    EXPECT_EQ(ValidityText(50), QStringLiteral("2天"));
}

} // namespace
} // namespace kelpo
