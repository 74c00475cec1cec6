#include "net/Packet.h"
#include "platform/Cp936.h"
#include "platform/TickClock.h"
#include "server/AccountStore.h"
#include "server/ItemShop.h"
#include "server/MemoryShopStore.h"
#include "server/RoomTable.h"

#include <QFile>

#include <gtest/gtest.h>

namespace kelpo::server {
namespace {

const QString Sample = QStringLiteral(
    "# comment\n"
    "type 功能\n"
    "type 互动\n"
    "item 7 | 互动 | 喇叭 | 1 | 48 | 10 | 8 | 10 | 6 | self\n"
    "item 9 | 功能 | 鲜花 | 5 | 2 | 10 | 5 | 10 | 4 | other\n");

QByteArray Purchase(const QByteArray& body) { return QByteArray("\x85\x00", 2) + body; }
QString Body(const QByteArray& m) { return cp936::Decode(m, 2); }

TEST(ShopCatalogue, ReadsTheShippedFileAndNamesTheLineOfAMistake)
{
    const LoadedCatalogue shipped =
        LoadCatalogueFile(qEnvironmentVariable("KELPO_SOURCE_DIR") + QStringLiteral("/server/shop-catalogue.txt"));
    ASSERT_TRUE(shipped.catalogue) << shipped.error.toStdString();
    EXPECT_GE(shipped.catalogue->types.size(), 2);
    EXPECT_EQ(shipped.catalogue->items.size(), 6u);

    const LoadedCatalogue sample = ParseCatalogue(Sample, QStringLiteral("c.txt"));
    ASSERT_TRUE(sample.catalogue);
    EXPECT_EQ(sample.catalogue->text(), QStringLiteral("2`功能`互动`2`7`1`喇叭`1`48`10`8`10`6`1`9`0`鲜花`5`2`10`5`10`4`0"));

    const struct {
        const char* line;
        const char* says;
    } bad[] = {
        {"item 7 | 互动 | 喇叭 | 1 | 48 | 10 | 8 | 10 | 6", "10 fields"},
        {"item 7 | 互动 | 喇叭 | 1 | 48 | 10 | 8 | 10 | 6 | self", "used twice"},
        {"item 8 | 礼物 | 喇叭 | 1 | 48 | 10 | 8 | 10 | 6 | self", "not declared"},
        {"item 8 | 互动 | 喇叭 | 1 | 48 | 10 | -8 | 10 | 6 | self", "price"},
        {"item 8 | 互动 | a`b | 1 | 48 | 10 | 8 | 10 | 6 | self", "back-quote"},
        {"item 8 | 互动 | 喇叭 | 0 | 48 | 10 | 8 | 10 | 6 | self", "pieces"},
        // Lots expiring beyond year 9999 cannot be stored, so would be paid for and never held.
        {"item 8 | 互动 | 喇叭 | 1 | 99999999 | 10 | 8 | 10 | 6 | self", "hours"},
        {"sell 8", "\"sell\""},
    };
    for (const auto& b : bad) {
        const LoadedCatalogue r = ParseCatalogue(Sample + QString::fromUtf8(b.line) + u'\n', QStringLiteral("c.txt"));
        EXPECT_FALSE(r.catalogue) << b.line;
        EXPECT_TRUE(r.error.startsWith(QStringLiteral("c.txt:6: "))) << r.error.toStdString();
        EXPECT_TRUE(r.error.contains(QString::fromUtf8(b.says))) << r.error.toStdString();
    }
    // The shop window has tabs for eight types: the items of a ninth could never be bought.
    const QString sevenMore = QStringLiteral("type 3\ntype 4\ntype 5\ntype 6\ntype 7\ntype 8\ntype 9\n");
    const LoadedCatalogue nine = ParseCatalogue(Sample + sevenMore, QStringLiteral("c.txt"));
    EXPECT_FALSE(nine.catalogue);
    EXPECT_TRUE(nine.error.startsWith(QStringLiteral("c.txt:12: "))) << nine.error.toStdString();
}

class ItemShopTest : public ::testing::Test {
protected:
    ItemShopTest() : store(20), shop(*ParseCatalogue(Sample, {}).catalogue, store, [this] { return now; }) {}
    QDateTime now = QDateTime(QDate(2026, 12, 31), QTime(10, 30), Qt::LocalTime);
    MemoryShopStore store;
    ItemShop shop;
};

TEST_F(ItemShopTest, PurchaseChargesTheRightPriceAndExpiresOnTheHour)
{
    store.setAccount(QStringLiteral("会员"), {20, true});
    auto answer = shop.purchase(QStringLiteral("甲"), Purchase("7"));
    ASSERT_EQ(answer.size(), 2u);
    // 10:30 plus 48 hours, up to the whole hour: 2 January, 11 o'clock.
    EXPECT_EQ(answer[0], QByteArray("\x85\x01" "7:1:2027010211", 16));
    EXPECT_EQ(answer[1].left(2), QByteArray("\x85\x02", 2));
    EXPECT_TRUE(Body(answer[1]).contains(QStringLiteral("余额 12 "))) << Body(answer[1]).toStdString();
    EXPECT_EQ(store.account(QStringLiteral("甲"))->coins, 12);

    shop.purchase(QStringLiteral("会员"), Purchase("7"));
    EXPECT_EQ(store.account(QStringLiteral("会员"))->coins, 14) << "member price 6";

    // Bought again in the same hour: one lot with two pieces.
    shop.purchase(QStringLiteral("甲"), Purchase("7"));
    answer = shop.purchase(QStringLiteral("甲"), Purchase("9"));
    EXPECT_EQ(answer.size(), 1u) << "12 - 8 = 4 coins left, 5 needed";
    EXPECT_TRUE(Body(answer[0]).contains(QStringLiteral("金币不足")));
    EXPECT_EQ(store.account(QStringLiteral("甲"))->coins, 4);
    EXPECT_EQ(shop.ownedMessage(QStringLiteral("甲")), QByteArray("\x85\x01" "7:2:2027010211", 16));

    for (const QByteArray& body : {QByteArray("8"), QByteArray("-7"), QByteArray("7x"), QByteArray(),
                                  QByteArray("99999999999")}) {
        answer = shop.purchase(QStringLiteral("甲"), Purchase(body));
        ASSERT_EQ(answer.size(), 1u) << body.constData();
        EXPECT_TRUE(Body(answer[0]).contains(QStringLiteral("没有这件道具"))) << body.constData();
    }
    EXPECT_EQ(store.account(QStringLiteral("甲"))->coins, 4);

    // At the expiry hour the lot is gone.
    now = QDateTime(QDate(2027, 1, 2), QTime(11, 0), Qt::LocalTime);
    EXPECT_EQ(shop.ownedMessage(QStringLiteral("甲")), QByteArray("\x85\x01", 2));
}

// Its database lost just after a purchase's commit: the store can read
// nothing back.
struct ReadsFailAfterPurchase : MemoryShopStore {
    using MemoryShopStore::MemoryShopStore;
    std::optional<ShopAccount> account(const QString& user) override
    {
        return lost ? std::nullopt : MemoryShopStore::account(user);
    }
    std::optional<std::vector<OwnedItem>> ownedItems(const QString& user, const QDateTime& now) override
    {
        return lost ? std::nullopt : MemoryShopStore::ownedItems(user, now);
    }
    ChargeResult chargeAndAdd(const QString& user, std::int64_t price, const OwnedItem& lot) override
    {
        const ChargeResult result = MemoryShopStore::chargeAndAdd(user, price, lot);
        lost = loseAfterPurchase;
        return result;
    }
    bool loseAfterPurchase = true;
    bool lost = false;
};

TEST(ItemShop, WhatTheStoreCannotReadIsNotSentAsNone)
{
    AccountStore unopened;
    ItemShop shop(*ParseCatalogue(Sample, {}).catalogue, unopened, [] { return QDateTime::currentDateTime(); });
    EXPECT_TRUE(shop.ownedMessage(QStringLiteral("甲")).isEmpty());

    // Nor is a balance it cannot read told as none left. An item's name is
    // told as it is, also one that looks like a place for a number.
    ReadsFailAfterPurchase store(20);
    const QString odd = Sample + QStringLiteral("item 11 | 功能 | 满%2送 | 1 | 2 | 8 | 8 | 8 | 8 | self\n");
    ItemShop after(*ParseCatalogue(odd, {}).catalogue, store, [] { return QDateTime::currentDateTime(); });
    auto answer = after.purchase(QStringLiteral("甲"), Purchase("11"));
    ASSERT_EQ(answer.size(), 1u);
    EXPECT_EQ(Body(answer[0]), QStringLiteral("购买成功：满%2送，花费 8 金币。"));
    store.loseAfterPurchase = store.lost = false;
    answer = after.purchase(QStringLiteral("甲"), Purchase("7"));
    EXPECT_EQ(Body(answer.back()), QStringLiteral("购买成功：喇叭，花费 8 金币，余额 4 金币。"));
    answer = after.purchase(QStringLiteral("甲"), Purchase("11"));
    ASSERT_EQ(answer.size(), 1u);
    EXPECT_EQ(Body(answer[0]), QStringLiteral("购买失败：金币不足。满%2送 需要 8 金币，你只有 4 金币。"));
}

TEST_F(ItemShopTest, TableSendsCatalogueAndOwnedItemsAfterTheJoinAndAnswersASpectator)
{
    RoomConfig config;
    config.players = {QStringLiteral("甲")};
    config.spectators = {{QStringLiteral("丙"), QStringLiteral("甲")}};
    config.bots = 5;
    ManualTickClock clock;
    std::map<int, std::vector<QByteArray>> inbox;
    RoomTable table(config, clock, [&](int id, const QByteArray& m) { inbox[id].push_back(m); }, [](int) {});
    table.setShop(std::make_unique<ItemShop>(*ParseCatalogue(Sample, {}).catalogue, store, [this] { return now; }));
    store.setAccount(QStringLiteral("丙"), {100, false});
    shop.purchase(QStringLiteral("丙"), Purchase("9"));

    QByteArray hello;
    BuildPacket(QStringLiteral("300`KELPO`0"), hello, 2, QByteArray("\x82\x00", 2));
    for (int id : {1, 2}) {
        table.connectionOpened(id);
        table.messageArrived(id, hello);
    }
    const std::vector<QByteArray>& seen = inbox[2];
    ASSERT_GE(seen.size(), 4u);
    EXPECT_EQ(static_cast<std::uint8_t>(seen[0][0]), 130) << "the identity comes first";
    const QByteArray& catalogue = seen[seen.size() - 2];
    EXPECT_EQ(catalogue.left(2), QByteArray("\x85\x00", 2));
    EXPECT_EQ(Body(catalogue), shop.catalogue().text());
    EXPECT_EQ(seen.back(), QByteArray("\x85\x01" "9:5:2026123113", 16));

    inbox.clear();
    table.messageArrived(2, Purchase("7"));
    ASSERT_EQ(inbox[2].size(), 2u);
    EXPECT_EQ(static_cast<std::uint8_t>(inbox[2][0][1]), 1);
    EXPECT_EQ(store.account(QStringLiteral("丙"))->coins, 100 - 5 - 8);
    EXPECT_TRUE(inbox[1].empty()) << "nobody else hears of it";
}

} // namespace
} // namespace kelpo::server
