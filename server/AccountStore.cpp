#include "server/AccountStore.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

#include <algorithm>
#include <atomic>

namespace kelpo::server {

namespace {

const QString AccountColumns =
    QStringLiteral("user_id, name, score, games, wins, losses, draws, escapes, icon, user_class, coins");

Account ReadAccount(const QSqlQuery& q)
{
    Account a;
    a.userId = q.value(0).toLongLong();
    a.name = q.value(1).toString();
    a.score = q.value(2).toLongLong();
    a.games = q.value(3).toLongLong();
    a.wins = q.value(4).toLongLong();
    a.losses = q.value(5).toLongLong();
    a.draws = q.value(6).toLongLong();
    a.escapes = q.value(7).toLongLong();
    a.icon = q.value(8).toInt();
    a.userClass = q.value(9).toInt();
    a.coins = q.value(10).toLongLong();
    return a;
}

} // namespace

AccountStore::AccountStore(std::int64_t startCoins) : startCoins_(startCoins)
{
    static std::atomic<int> serial{0};
    connection_ = QStringLiteral("kelpo-accounts-%1").arg(++serial);
}

AccountStore::~AccountStore()
{
    if (QSqlDatabase::contains(connection_)) {
        db().close();
        QSqlDatabase::removeDatabase(connection_);
    }
}

QSqlDatabase AccountStore::db() const { return QSqlDatabase::database(connection_, false); }

bool AccountStore::open(const AccountDatabase& where, QString& error)
{
    dialect_ = where.pg ? SqlDialect::Postgres : SqlDialect::Sqlite;
    const QString driver = where.pg ? QStringLiteral("QPSQL") : QStringLiteral("QSQLITE");
    if (!QSqlDatabase::isDriverAvailable(driver)) {
        error = QStringLiteral("the Qt SQL driver %1 is not installed").arg(driver);
        return false;
    }
    QSqlDatabase d = QSqlDatabase::addDatabase(driver, connection_);
    QStringList setup;
    if (where.pg) {
        const PgConnection& c = *where.pg;
        d.setHostName(c.host);
        if (c.port > 0)
            d.setPort(c.port);
        d.setDatabaseName(c.dbname);
        d.setUserName(c.user);
        d.setPassword(c.password);
        // Without a bound the driver waits on a host that never answers as
        // long as TCP does, minutes, and every table of this server with it.
        QStringList options = c.options.split(u';', Qt::SkipEmptyParts);
        if (std::none_of(options.cbegin(), options.cend(),
                         [](const QString& o) { return o.startsWith(QLatin1String("connect_timeout=")); }))
            options << QStringLiteral("connect_timeout=%1").arg(DefaultConnectSeconds);
        d.setConnectOptions(options.join(u';'));
        // "Table exists, skipping" at every start is no news.
        setup << QStringLiteral("SET client_min_messages TO WARNING");
    } else {
        if (where.sqliteFile != QLatin1String(":memory:")) {
            const QString folder = QFileInfo(where.sqliteFile).absolutePath();
            if (!QDir().mkpath(folder)) {
                error = QStringLiteral("cannot create the folder %1").arg(folder);
                return false;
            }
        }
        d.setDatabaseName(where.sqliteFile);
        d.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000"));
        // The log lets readers go on beside a write; a commit is on the disk
        // before it returns, so a finished hand survives a power cut too.
        setup << QStringLiteral("PRAGMA journal_mode=WAL") << QStringLiteral("PRAGMA synchronous=FULL");
    }
    if (!d.open()) {
        error = d.lastError().text().trimmed();
        return false;
    }
    if (!ExecAll(d, setup, error) || !MigrateAccountSchema(d, dialect_, error)) {
        d.close();
        return false;
    }
    open_ = true;
    return true;
}

std::optional<Account> AccountStore::find(const QString& name, QString& error)
{
    QSqlQuery q(db());
    q.prepare(QStringLiteral("SELECT %1 FROM accounts WHERE name = ?").arg(AccountColumns));
    q.addBindValue(name);
    if (!q.exec()) {
        error = q.lastError().text().trimmed();
        return std::nullopt;
    }
    if (!q.next()) {
        error = QStringLiteral("no account for %1").arg(name);
        return std::nullopt;
    }
    return ReadAccount(q);
}

std::optional<Account> AccountStore::account(const QString& name, int icon, QString& error)
{
    if (!open_) {
        error = QStringLiteral("the accounts database is not open");
        return std::nullopt;
    }
    QSqlQuery q(db());
    // Another server may create the same account at the same moment; the
    // second insert then does nothing.
    q.prepare(QStringLiteral("INSERT INTO accounts (name, icon, coins) VALUES (?, ?, ?) ON CONFLICT (name) DO NOTHING"));
    q.addBindValue(name);
    q.addBindValue(icon);
    q.addBindValue(static_cast<qlonglong>(startCoins_));
    if (!q.exec()) {
        error = q.lastError().text().trimmed();
        reconnectIfLost();
        return std::nullopt;
    }
    return find(name, error);
}

bool AccountStore::recordHand(const std::vector<SeatOutcome>& seats, QString& error, const QString& key)
{
    if (!open_) {
        error = QStringLiteral("the accounts database is not open");
        return false;
    }
    if (seats.empty())
        return true;
    // Rows are locked in name order by every server, so two hands sharing
    // players never wait on each other in a circle.
    std::vector<SeatOutcome> ordered = seats;
    std::sort(ordered.begin(), ordered.end(), [](const SeatOutcome& a, const SeatOutcome& b) { return a.name < b.name; });
    for (int attempt = 1;; ++attempt) {
        if (tryRecordHand(ordered, key, error))
            return true;
        if (attempt >= WriteAttempts)
            return false;
        reconnectIfLost();
    }
}

void AccountStore::reconnectIfLost()
{
    // A database server that restarted leaves the connection dead; without
    // a new one no hand would be saved again until this server restarts.
    QSqlDatabase d = db();
    if (dialect_ != SqlDialect::Postgres || QSqlQuery(d).exec(QStringLiteral("SELECT 1")))
        return;
    d.close();
    QString error;
    if (!d.open() || !ExecAll(d, {QStringLiteral("SET client_min_messages TO WARNING")}, error))
        qWarning("kelpo-room: the accounts database cannot be reached: %s", qPrintable(d.lastError().text()));
}

bool AccountStore::begin(QString& error)
{
    // SQLite takes the write lock at once, so a transaction never fails half
    // way for a lock another writer took after it read.
    QSqlDatabase d = db();
    return ExecAll(d, {dialect_ == SqlDialect::Postgres ? QStringLiteral("BEGIN") : QStringLiteral("BEGIN IMMEDIATE")},
                   error);
}

bool AccountStore::setUserClass(const QString& name, int userClass, QString& error)
{
    if (!account(name, 0, error))
        return false;
    QSqlQuery q(db());
    q.prepare(QStringLiteral("UPDATE accounts SET user_class = ? WHERE name = ?"));
    q.addBindValue(userClass);
    q.addBindValue(name);
    if (!q.exec()) {
        error = q.lastError().text().trimmed();
        return false;
    }
    return true;
}

bool AccountStore::tryRecordHand(const std::vector<SeatOutcome>& seats, const QString& key, QString& error)
{
    QSqlDatabase d = db();
    if (!begin(error))
        return false;
    auto fail = [&](const QString& why) {
        error = why;
        QSqlQuery(d).exec(QStringLiteral("ROLLBACK"));
        return false;
    };
    if (!key.isEmpty()) {
        QSqlQuery written(d);
        written.prepare(QStringLiteral("SELECT COUNT(*) FROM hands WHERE hand_key = ?"));
        written.addBindValue(key);
        if (!written.exec() || !written.next())
            return fail(written.lastError().text().trimmed());
        if (written.value(0).toLongLong() > 0) {
            written.finish();
            QSqlQuery(d).exec(QStringLiteral("ROLLBACK"));
            return true;
        }
    }
    QSqlQuery update(d);
    update.prepare(QStringLiteral("UPDATE accounts SET score = score + ?, games = games + ?, wins = wins + ?, "
                                  "losses = losses + ?, draws = draws + ?, escapes = escapes + ? WHERE name = ?"));
    QStringList log;
    for (const SeatOutcome& seat : seats) {
        const AccountDelta delta = DeltaOf(seat);
        for (std::int64_t v : {delta.score, delta.games, delta.wins, delta.losses, delta.draws, delta.escapes})
            update.addBindValue(static_cast<qlonglong>(v));
        update.addBindValue(seat.name);
        if (!update.exec())
            return fail(update.lastError().text().trimmed());
        if (update.numRowsAffected() != 1) {
            // The account was removed after its user sat down: its result has
            // nowhere to go, and refusing the hand for it would hold back
            // every hand after this one, as they are written in order.
            qWarning("kelpo-room: no account for %s: its result in this hand is left out", qPrintable(seat.name));
            continue;
        }
        // Filled in one pass: a "%1" in a name is part of the name.
        log << QStringLiteral("%1:%2%3").arg(seat.name, QString::number(seat.result),
                                             seat.escaped ? QStringLiteral("!") : QString());
    }
    update.finish();
    if (log.isEmpty()) {
        QSqlQuery(d).exec(QStringLiteral("ROLLBACK"));
        return true;
    }
    QSqlQuery insert(d);
    insert.prepare(QStringLiteral("INSERT INTO hands (finished_at, seats, hand_key) VALUES (?, ?, ?)"));
    insert.addBindValue(QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs));
    insert.addBindValue(log.join(u' '));
    insert.addBindValue(key.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(key));
    if (!insert.exec())
        return fail(insert.lastError().text().trimmed());
    insert.finish();
    QString commitError;
    if (!ExecAll(d, {QStringLiteral("COMMIT")}, commitError))
        return fail(commitError);
    return true;
}

} // namespace kelpo::server
