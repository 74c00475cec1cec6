#include "server/MemoryShopStore.h"

#include <algorithm>

namespace kelpo::server {

MemoryShopStore::Entry& MemoryShopStore::entry(const QString& user)
{
    auto it = entries_.find(user);
    if (it == entries_.end())
        it = entries_.insert(user, Entry{ShopAccount{startCoins_, false}, {}});
    return *it;
}

void MemoryShopStore::setAccount(const QString& user, const ShopAccount& account)
{
    entry(user).account = account;
}

std::optional<ShopAccount> MemoryShopStore::account(const QString& user)
{
    if (user.isEmpty())
        return std::nullopt;
    return entry(user).account;
}

std::optional<std::vector<OwnedItem>> MemoryShopStore::ownedItems(const QString& user, const QDateTime& now)
{
    const auto it = entries_.find(user);
    if (it == entries_.end())
        return std::vector<OwnedItem>{};
    std::vector<OwnedItem>& items = it->items;
    items.erase(std::remove_if(items.begin(), items.end(),
                               [&](const OwnedItem& lot) { return lot.count <= 0 || lot.expires <= now; }),
                items.end());
    return items;
}

ChargeResult MemoryShopStore::chargeAndAdd(const QString& user, std::int64_t price, const OwnedItem& lot)
{
    if (user.isEmpty())
        return ChargeResult::NoAccount;
    if (price < 0 || lot.count <= 0)
        return ChargeResult::Failed;
    Entry& e = entry(user);
    if (e.account.coins < price)
        return ChargeResult::NotEnoughCoins;
    for (OwnedItem& held : e.items) {
        if (held.itemId == lot.itemId && held.expires == lot.expires) {
            if (held.count > INT32_MAX - lot.count)
                return ChargeResult::Failed;
            held.count += lot.count;
            e.account.coins -= price;
            return ChargeResult::Done;
        }
    }
    e.items.push_back(lot);
    e.account.coins -= price;
    return ChargeResult::Done;
}

} // namespace kelpo::server
