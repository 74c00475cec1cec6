#pragma once
// The shop's accounts kept in memory for the life of the server: every user
// seen gets an account with the starting coins, unless one was set up first.

#include "server/ShopStore.h"

#include <QHash>

namespace kelpo::server {

class MemoryShopStore : public ShopStore {
public:
    explicit MemoryShopStore(std::int64_t startCoins = 0) : startCoins_(startCoins) {}

    // Sets a user's balance and class, keeping what the user owns.
    void setAccount(const QString& user, const ShopAccount& account);

    std::optional<ShopAccount> account(const QString& user) override;
    std::optional<std::vector<OwnedItem>> ownedItems(const QString& user, const QDateTime& now) override;
    ChargeResult chargeAndAdd(const QString& user, std::int64_t price, const OwnedItem& lot) override;

private:
    struct Entry {
        ShopAccount account;
        std::vector<OwnedItem> items;
    };
    Entry& entry(const QString& user);

    std::int64_t startCoins_;
    QHash<QString, Entry> entries_;
};

} // namespace kelpo::server
