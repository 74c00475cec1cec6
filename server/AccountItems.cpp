// AccountStore's side for the item shop: the coins and member class of an
// account and the lots of items it owns.

#include "server/AccountStore.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <QVariant>

#include <cstdint>

namespace kelpo::server {

namespace {

// Fixed-width UTC text: equal instants give equal text and text order is
// time order, in either database.
QString ExpiryText(const QDateTime& t) { return t.toUTC().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzzZ")); }

} // namespace

std::optional<ShopAccount> AccountStore::account(const QString& user)
{
    if (!open_ || user.isEmpty())
        return std::nullopt;
    QString error;
    std::optional<Account> a = find(user, error);
    // Reads alone never notice a database server that restarted since the
    // last write: on a dead connection the account would read as missing.
    if (!a) {
        reconnectIfLost();
        a = find(user, error);
    }
    if (!a)
        return std::nullopt;
    return ShopAccount{a->coins, a->userClass >= 1};
}

std::optional<std::vector<OwnedItem>> AccountStore::ownedItems(const QString& user, const QDateTime& now)
{
    if (!open_)
        return std::nullopt;
    for (int attempt = 1; attempt <= 2; ++attempt) {
        QSqlQuery q(db());
        q.prepare(QStringLiteral("SELECT item_id, pieces, expires FROM owned_items WHERE name = ? AND expires > ? "
                                 "AND pieces > 0 ORDER BY lot_id"));
        q.addBindValue(user);
        q.addBindValue(ExpiryText(now));
        if (!q.exec()) {
            reconnectIfLost();
            continue;
        }
        std::vector<OwnedItem> lots;
        while (q.next()) {
            const QDateTime expires = QDateTime::fromString(q.value(2).toString(), Qt::ISODateWithMs);
            if (expires.isValid())
                lots.push_back({q.value(0).toInt(), q.value(1).toInt(), expires});
        }
        return lots;
    }
    return std::nullopt;
}

ChargeResult AccountStore::chargeAndAdd(const QString& user, std::int64_t price, const OwnedItem& lot)
{
    // Stored as text with a four-digit year, a later expiry would read back
    // as no lot at all: the coins taken for nothing.
    if (!open_ || price < 0 || lot.count <= 0 || !lot.expires.isValid() || lot.expires.toUTC().date().year() > 9999)
        return ChargeResult::Failed;
    if (user.isEmpty())
        return ChargeResult::NoAccount;
    // One key for every attempt: a connection lost after its commit went
    // through leaves the answer unheard, and the next attempt must find the
    // purchase made instead of making it again.
    const QString key = QUuid::createUuid().toString(QUuid::WithoutBraces);
    for (int attempt = 1; attempt <= WriteAttempts; ++attempt) {
        if (const std::optional<ChargeResult> result = tryChargeAndAdd(user, price, lot, key))
            return *result;
        reconnectIfLost();
    }
    return ChargeResult::Failed;
}

std::optional<ChargeResult> AccountStore::tryChargeAndAdd(const QString& user, std::int64_t price,
                                                          const OwnedItem& lot, const QString& key)
{
    QSqlDatabase d = db();
    QString error;
    if (!begin(error))
        return std::nullopt;
    auto undo = [&](std::optional<ChargeResult> result) {
        QSqlQuery(d).exec(QStringLiteral("ROLLBACK"));
        return result;
    };
    QSqlQuery made(d);
    made.prepare(QStringLiteral("SELECT 1 FROM purchases WHERE purchase_key = ?"));
    made.addBindValue(key);
    if (!made.exec())
        return undo(std::nullopt);
    if (made.next())
        return undo(ChargeResult::Done);
    // The balance is checked where it is taken, so two purchases at once
    // (from two servers, say) never take it below zero.
    QSqlQuery charge(d);
    charge.prepare(QStringLiteral("UPDATE accounts SET coins = coins - ? WHERE name = ? AND coins >= ?"));
    charge.addBindValue(static_cast<qlonglong>(price));
    charge.addBindValue(user);
    charge.addBindValue(static_cast<qlonglong>(price));
    if (!charge.exec())
        return undo(std::nullopt);
    if (charge.numRowsAffected() != 1) {
        const bool known = find(user, error).has_value();
        return undo(known ? ChargeResult::NotEnoughCoins : ChargeResult::NoAccount);
    }
    const QString expires = ExpiryText(lot.expires);
    QSqlQuery add(d);
    add.prepare(QStringLiteral("UPDATE owned_items SET pieces = pieces + ? WHERE name = ? AND item_id = ? "
                               "AND expires = ? AND pieces <= ?"));
    add.addBindValue(lot.count);
    add.addBindValue(user);
    add.addBindValue(lot.itemId);
    add.addBindValue(expires);
    add.addBindValue(INT32_MAX - lot.count);
    if (!add.exec())
        return undo(std::nullopt);
    if (add.numRowsAffected() != 1) {
        // A new lot, unless the lot is there and would overflow.
        QSqlQuery held(d);
        held.prepare(QStringLiteral("SELECT 1 FROM owned_items WHERE name = ? AND item_id = ? AND expires = ?"));
        held.addBindValue(user);
        held.addBindValue(lot.itemId);
        held.addBindValue(expires);
        if (!held.exec())
            return undo(std::nullopt);
        if (held.next())
            return undo(ChargeResult::Failed);
        QSqlQuery insert(d);
        insert.prepare(QStringLiteral("INSERT INTO owned_items (name, item_id, pieces, expires) VALUES (?, ?, ?, ?)"));
        insert.addBindValue(user);
        insert.addBindValue(lot.itemId);
        insert.addBindValue(lot.count);
        insert.addBindValue(expires);
        // Another server may have added the same lot meanwhile: try again.
        if (!insert.exec())
            return undo(std::nullopt);
    }
    // A key is needed only while its purchase may be tried again: a day
    // covers every retry, and older keys go with each purchase.
    const QDateTime now = QDateTime::currentDateTimeUtc();
    QSqlQuery keep(d);
    keep.prepare(QStringLiteral("INSERT INTO purchases (purchase_key, made_at) VALUES (?, ?)"));
    keep.addBindValue(key);
    keep.addBindValue(ExpiryText(now));
    QSqlQuery prune(d);
    prune.prepare(QStringLiteral("DELETE FROM purchases WHERE made_at < ?"));
    prune.addBindValue(ExpiryText(now.addDays(-1)));
    if (!keep.exec() || !prune.exec())
        return undo(std::nullopt);
    if (!ExecAll(d, {QStringLiteral("COMMIT")}, error))
        return undo(std::nullopt);
    return ChargeResult::Done;
}

} // namespace kelpo::server
