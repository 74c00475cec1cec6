#pragma once
// Where the room server keeps what the item shop needs to know about a user:
// the coins and member class, and the items owned with their expiry. The shop
// logic talks only to this interface, so the accounts can live in memory or in
// a database without the shop noticing.

#include <QDateTime>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace kelpo::server {

struct ShopAccount {
    std::int64_t coins = 0;
    // Members pay the member price.
    bool member = false;
};

// One lot of an item: the pieces left and the moment they stop counting.
struct OwnedItem {
    int itemId = 0;
    int count = 0;
    QDateTime expires;
};

enum class ChargeResult {
    Done,
    // The balance is below the price; nothing was charged or added.
    NotEnoughCoins,
    // The user has no account; nothing was charged or added.
    NoAccount,
    // The store could not complete the change; nothing was charged or added.
    Failed,
};

class ShopStore {
public:
    virtual ~ShopStore() = default;

    // The user's balance and class, or nothing for a user without an account.
    virtual std::optional<ShopAccount> account(const QString& user) = 0;

    // The user's lots that are still valid at now (expires > now), in the
    // order they were bought, or nothing when the store cannot read them.
    // Expired lots are never returned; a store may drop them here.
    virtual std::optional<std::vector<OwnedItem>> ownedItems(const QString& user, const QDateTime& now) = 0;

    // Takes price coins from the user and adds the lot, as one change: when
    // the coins are short or anything fails, neither happens. A lot with the
    // same item and expiry as one the user holds is added to it.
    virtual ChargeResult chargeAndAdd(const QString& user, std::int64_t price, const OwnedItem& lot) = 0;
};

} // namespace kelpo::server
