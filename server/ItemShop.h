#pragma once
// The room server's item shop: the catalogue and owned-items messages a
// joining user is sent, and the purchases users ask for (item class 133).
// Balances and owned items live in a ShopStore; the time is handed in.

#include "server/ShopCatalogue.h"
#include "server/ShopStore.h"

#include <QByteArray>
#include <QDateTime>

#include <cstdint>
#include <functional>
#include <vector>

namespace kelpo::server {

inline constexpr std::uint8_t MsgItems = 133;

// Codes of class 133.
enum ItemCode : std::uint8_t {
    ItemCatalogue = 0, // to a client; from a client: a purchase
    ItemPurchase = 0,
    ItemOwned = 1,
    ItemNotice = 2,
};

// Expiry as the clients read it: the decimal YYYYMMDDHH of the local hour.
std::int64_t PackedExpiry(const QDateTime& expires);

class ItemShop {
public:
    using Clock = std::function<QDateTime()>;

    // The store must outlive the shop.
    ItemShop(ShopCatalogue catalogue, ShopStore& store, Clock now);

    const ShopCatalogue& catalogue() const { return catalogue_; }

    QByteArray catalogueMessage() const;
    // The user's lots that have not expired, as "id:pieces:YYYYMMDDHH"
    // triples; empty (nothing to send) when the store cannot read them, so a
    // client keeps the list it has instead of being told it owns nothing.
    QByteArray ownedMessage(const QString& user);

    // A purchase from user (the whole message); what goes back to that user:
    // the new owned list (when it can be read) and a notice after a
    // purchase, the notice alone when nothing was bought, nothing for a
    // message that is no purchase.
    std::vector<QByteArray> purchase(const QString& user, const QByteArray& message);

private:
    QByteArray notice(const QString& text) const;

    ShopCatalogue catalogue_;
    ShopStore& store_;
    Clock now_;
};

} // namespace kelpo::server
