#pragma once
// The accounts in a database: SQLite in one file for a single room server,
// or PostgreSQL for several servers sharing one set of accounts. Every hand
// is written in one transaction as increments, so a server killed at any
// moment leaves each hand either whole or absent, and two servers writing
// the same accounts keep both their hands. The shop's coins and owned items
// live in the same accounts (AccountItems.cpp).

#include "server/Account.h"
#include "server/AccountSchema.h"
#include "server/ConnInfo.h"
#include "server/ShopStore.h"

#include <QString>

#include <optional>
#include <vector>

class QSqlDatabase;

namespace kelpo::server {

struct AccountDatabase {
    // Used when pg is not set; ":memory:" keeps the accounts for this run only.
    QString sqliteFile;
    std::optional<PgConnection> pg;
};

class AccountStore : public ShopStore {
public:
    // New accounts start with startCoins coins.
    explicit AccountStore(std::int64_t startCoins = 0);
    ~AccountStore() override;
    AccountStore(const AccountStore&) = delete;
    AccountStore& operator=(const AccountStore&) = delete;

    // How long a PostgreSQL connection may take when the connection string
    // sets no connect_timeout of its own.
    static constexpr int DefaultConnectSeconds = 5;

    // Opens (creating a SQLite file and its folder if need be) and migrates
    // the schema. False with the reason otherwise.
    bool open(const AccountDatabase& where, QString& error);
    bool isOpen() const { return open_; }
    SqlDialect dialect() const { return dialect_; }

    // The account of name, created with the given face when it is new.
    std::optional<Account> account(const QString& name, int icon, QString& error);
    // The account of name, without creating it.
    std::optional<Account> find(const QString& name, QString& error);

    // Adds one finished hand to the accounts of its seats and logs it, all
    // seats or none. A seat whose account no longer exists is left out. A
    // hand given a key is written once: one whose key the log holds already
    // is taken as written.
    bool recordHand(const std::vector<SeatOutcome>& seats, QString& error, const QString& key = {});

    // 0 an ordinary user, 1 a member (who pays the member prices); the
    // account is created when it is new.
    bool setUserClass(const QString& name, int userClass, QString& error);

    std::optional<ShopAccount> account(const QString& user) override;
    std::optional<std::vector<OwnedItem>> ownedItems(const QString& user, const QDateTime& now) override;
    ChargeResult chargeAndAdd(const QString& user, std::int64_t price, const OwnedItem& lot) override;

private:
    // Concurrent writers may meet a lock held by another server or a
    // deadlock between two of them; the loser tries again.
    static constexpr int WriteAttempts = 4;

    QSqlDatabase db() const;
    bool tryRecordHand(const std::vector<SeatOutcome>& seats, const QString& key, QString& error);
    // One attempt; nothing means a failure worth another try.
    std::optional<ChargeResult> tryChargeAndAdd(const QString& user, std::int64_t price, const OwnedItem& lot,
                                                const QString& key);
    bool begin(QString& error);
    void reconnectIfLost();

    QString connection_;
    std::int64_t startCoins_ = 0;
    SqlDialect dialect_ = SqlDialect::Sqlite;
    bool open_ = false;
};

} // namespace kelpo::server
