#include "server/AccountStore.h"
#include "server/RoomConfig.h"
#include "server/ScratchPostgres.h"
#include "server/Standings.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string_view>
#include <thread>

namespace kelpo::server {
namespace {

// A second connection of the test's own to the same SQLite file.
struct SideDoor {
    explicit SideDoor(const QString& file)
    {
        QSqlDatabase d = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        d.setDatabaseName(file);
        EXPECT_TRUE(d.open());
    }
    ~SideDoor() { QSqlDatabase::removeDatabase(name); }
    QSqlDatabase db() const { return QSqlDatabase::database(name); }
    qlonglong number(const QString& sql) const
    {
        QSqlQuery q(db());
        EXPECT_TRUE(q.exec(sql)) << sql.toStdString();
        return q.next() ? q.value(0).toLongLong() : -1;
    }
    const QString name = QStringLiteral("side-door");
};

// Stands between the store and a PostgreSQL socket and, once armed, loses
// the connection just after passing a COMMIT on: the database commits, the
// store never hears so.
class CommitAnswerLost {
public:
    CommitAnswerLost(const QString& server, const QString& own) : server_(server.toStdString())
    {
        listener_ = socket(AF_UNIX, SOCK_STREAM, 0);
        const sockaddr_un a = Address(own.toStdString());
        ok_ = bind(listener_, reinterpret_cast<const sockaddr*>(&a), sizeof a) == 0 && listen(listener_, 8) == 0;
        thread_ = std::thread([this] { acceptAll(); });
    }
    ~CommitAnswerLost()
    {
        stop_ = true;
        shutdown(listener_, SHUT_RDWR);
        thread_.join();
        close(listener_);
    }
    bool ok() const { return ok_; }
    void arm() { armed_ = true; }
    bool dropped() const { return dropped_; }

private:
    static sockaddr_un Address(const std::string& path)
    {
        sockaddr_un a{};
        a.sun_family = AF_UNIX;
        path.copy(a.sun_path, sizeof a.sun_path - 1);
        return a;
    }
    void acceptAll()
    {
        std::vector<std::thread> pumps;
        for (int client; !stop_ && (client = accept(listener_, nullptr, nullptr)) >= 0;) {
            const int server = socket(AF_UNIX, SOCK_STREAM, 0);
            const sockaddr_un a = Address(server_);
            if (connect(server, reinterpret_cast<const sockaddr*>(&a), sizeof a) != 0) {
                close(server), close(client);
                continue;
            }
            pumps.emplace_back([this, client, server] { pump(client, server); });
        }
        for (std::thread& t : pumps)
            t.join();
    }
    void pump(int client, int server)
    {
        pollfd ends[2] = {{client, POLLIN, 0}, {server, POLLIN, 0}};
        char buffer[65536];
        for (bool open = true; open && !stop_;) {
            if (poll(ends, 2, 50) < 0)
                break;
            for (int i = 0; open && i < 2; ++i) {
                if (!(ends[i].revents & (POLLIN | POLLHUP | POLLERR)))
                    continue;
                const ssize_t n = read(ends[i].fd, buffer, sizeof buffer);
                open = n > 0 && write(ends[1 - i].fd, buffer, n) == n;
                if (open && i == 0 && armed_ && std::string_view(buffer, n).find("COMMIT") != std::string_view::npos &&
                    !dropped_.exchange(true)) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(300));
                    open = false;
                }
            }
        }
        close(client);
        close(server);
    }

    std::string server_;
    int listener_ = -1;
    bool ok_ = false;
    std::atomic<bool> stop_{false}, armed_{false}, dropped_{false};
    std::thread thread_;
};

TEST(AccountStoreTest, MigratesFromEmptyAndFromTheVersionBeforeAndRefusesANewerOne)
{
    QTemporaryDir dir;
    const QString fresh = dir.filePath(QStringLiteral("sub/fresh.sqlite"));
    {
        AccountStore store(500);
        QString error;
        ASSERT_TRUE(store.open({fresh, {}}, error)) << error.toStdString();
        const auto a = store.account(QStringLiteral("甲"), 3, error);
        ASSERT_TRUE(a);
        EXPECT_EQ(a->coins, 500);
        EXPECT_EQ(a->icon, 3);
        EXPECT_GT(a->userId, 0);
    }
    EXPECT_EQ(SideDoor(fresh).number(QStringLiteral("SELECT version FROM schema_version")), AccountSchemaVersion);

    // A database left at the version before with an account in it.
    const QString old = dir.filePath(QStringLiteral("old.sqlite"));
    {
        SideDoor side(old);
        QSqlDatabase d = side.db();
        QString error;
        ASSERT_TRUE(MigrateAccountSchema(d, SqlDialect::Sqlite, error, AccountSchemaVersion - 1)) << error.toStdString();
        ASSERT_TRUE(ExecAll(d, {QStringLiteral("INSERT INTO accounts (name, score, games, icon) VALUES ('乙', 42, 3, 7)")},
                            error));
    }
    {
        AccountStore store(500);
        QString error;
        ASSERT_TRUE(store.open({old, {}}, error)) << error.toStdString();
        const auto b = store.find(QStringLiteral("乙"), error);
        ASSERT_TRUE(b);
        EXPECT_EQ(b->score, 42);
        EXPECT_EQ(b->games, 3);
        EXPECT_TRUE(store.recordHand({{QStringLiteral("乙"), -10, false}}, error)) << error.toStdString();
    }
    SideDoor(old).db().exec(QStringLiteral("UPDATE schema_version SET version = 99"));
    AccountStore newer;
    QString error;
    EXPECT_FALSE(newer.open({old, {}}, error));
    EXPECT_TRUE(error.contains(QStringLiteral("99"))) << error.toStdString();
}

TEST(AccountStoreTest, AHandIsWrittenWholeOrNotAtAll)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("room.sqlite"));
    AccountStore store;
    QString error;
    ASSERT_TRUE(store.open({file, {}}, error)) << error.toStdString();
    for (const char* name : {"甲", "乙", "丙"})
        ASSERT_TRUE(store.account(QString::fromUtf8(name), 1, error));
    const std::vector<SeatOutcome> hand{{QStringLiteral("甲"), 10, false},
                                        {QStringLiteral("乙"), -27, true},
                                        {QStringLiteral("丙"), 0, false}};
    ASSERT_TRUE(store.recordHand(hand, error)) << error.toStdString();
    const auto b = store.find(QStringLiteral("乙"), error);
    EXPECT_EQ(b->score, -27);
    EXPECT_EQ(b->losses, 1);
    EXPECT_EQ(b->escapes, 1);
    EXPECT_EQ(store.find(QStringLiteral("甲"), error)->wins, 1);
    EXPECT_EQ(store.find(QStringLiteral("丙"), error)->draws, 1);

    // The seats are written in name order, so 丙 comes after 乙 and 甲: the
    // fault strikes with two seats already written.
    SideDoor side(file);
    side.db().exec(QStringLiteral("CREATE TRIGGER fault BEFORE UPDATE ON accounts WHEN NEW.name = '丙' "
                                  "BEGIN SELECT RAISE(ABORT, 'injected'); END"));
    EXPECT_FALSE(store.recordHand(hand, error));
    EXPECT_TRUE(error.contains(QStringLiteral("injected"))) << error.toStdString();
    EXPECT_EQ(side.number(QStringLiteral("SELECT SUM(games) FROM accounts")), 3);
    EXPECT_EQ(side.number(QStringLiteral("SELECT COUNT(*) FROM hands")), 1);
    // A seat whose account is gone is left out; the others are written.
    side.db().exec(QStringLiteral("DROP TRIGGER fault"));
    EXPECT_TRUE(store.recordHand({{QStringLiteral("甲"), 10, false}, {QStringLiteral("无名"), 1, false}}, error));
    EXPECT_EQ(side.number(QStringLiteral("SELECT score FROM accounts WHERE name = '甲'")), 20);
    EXPECT_EQ(side.number(QStringLiteral("SELECT COUNT(*) FROM hands")), 2);
    // The log names each seat as it is, also a name holding "%1".
    ASSERT_TRUE(store.account(QStringLiteral("百%1"), 1, error));
    ASSERT_TRUE(store.recordHand({{QStringLiteral("百%1"), -5, true}}, error));
    QSqlQuery logged(side.db());
    ASSERT_TRUE(logged.exec(QStringLiteral("SELECT seats FROM hands ORDER BY hand_id DESC")) && logged.next());
    EXPECT_EQ(logged.value(0).toString(), QStringLiteral("百%1:-5!"));
}

TEST(AccountStoreTest, PurchasesTakeCoinsAndAddLotsTogetherOrNotAtAll)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("room.sqlite"));
    const QDateTime now = QDateTime::fromString(QStringLiteral("2026-12-07T10:00:00Z"), Qt::ISODate);
    const OwnedItem lot{7, 3, now.addSecs(3600)};
    {
        AccountStore store(10);
        QString error;
        ASSERT_TRUE(store.open({file, {}}, error)) << error.toStdString();
        EXPECT_EQ(store.chargeAndAdd(QStringLiteral("无名"), 1, lot), ChargeResult::NoAccount);
        ASSERT_TRUE(store.setUserClass(QStringLiteral("甲"), 1, error));
        EXPECT_TRUE(store.account(QStringLiteral("甲"))->member);
        EXPECT_EQ(store.chargeAndAdd(QStringLiteral("甲"), 4, lot), ChargeResult::Done);
        // The same instant in another time zone is the same lot.
        EXPECT_EQ(store.chargeAndAdd(QStringLiteral("甲"), 4, {7, 3, lot.expires.toOffsetFromUtc(8 * 3600)}),
                  ChargeResult::Done);
        EXPECT_EQ(store.chargeAndAdd(QStringLiteral("甲"), 4, lot), ChargeResult::NotEnoughCoins);
        EXPECT_EQ(store.chargeAndAdd(QStringLiteral("甲"), 1, {8, INT32_MAX, now.addSecs(60)}), ChargeResult::Done);
        EXPECT_EQ(store.chargeAndAdd(QStringLiteral("甲"), 1, {8, 1, now.addSecs(60)}), ChargeResult::Failed)
            << "a lot that would overflow";
        EXPECT_EQ(store.chargeAndAdd(QStringLiteral("甲"), 1, {9, 1, QDateTime(QDate(10000, 1, 1), QTime(0, 0), Qt::UTC)}),
                  ChargeResult::Failed)
            << "an expiry the stored text cannot hold";
    }
    AccountStore again;
    QString error;
    ASSERT_TRUE(again.open({file, {}}, error));
    EXPECT_EQ(again.account(QStringLiteral("甲"))->coins, 1);
    const auto held = again.ownedItems(QStringLiteral("甲"), now).value();
    ASSERT_EQ(held.size(), 2u);
    EXPECT_EQ(held[0].itemId, 7);
    EXPECT_EQ(held[0].count, 6) << "the same item and expiry make one lot";
    EXPECT_EQ(held[0].expires, lot.expires);
    EXPECT_EQ(again.ownedItems(QStringLiteral("甲"), now.addSecs(120)).value().size(), 1u) << "expired lots are not held";
}

TEST(AccountStoreTest, TwoServersOnOnePostgresLoseNoHandAndNoCoin)
{
    ScratchPostgres cluster;
    QString why;
    if (!cluster.binariesFound())
        GTEST_SKIP() << "PostgreSQL 15 binaries missing: install postgresql (scripts/install-deps)";
    ASSERT_TRUE(cluster.start(why)) << why.toStdString();

    // Each thread is one server: its own connection, migrating at the same
    // moment as the other, then writing hands that share two players.
    constexpr int Hands = 60;
    const QDateTime expiry = QDateTime::currentDateTimeUtc().addDays(1);
    auto server = [&](const QString& own, bool& ok) {
        AccountStore store(100);
        QString error;
        ok = store.open({{}, cluster.connection()}, error);
        for (const QString& name : {QStringLiteral("甲"), QStringLiteral("乙"), own})
            ok = ok && store.account(name, 1, error).has_value();
        for (int i = 0; ok && i < Hands; ++i) {
            ok = store.recordHand({{QStringLiteral("乙"), -3, false}, {QStringLiteral("甲"), 5, i % 2 == 0}, {own, 1, false}},
                                  error);
            // 乙's 100 coins buy 100 pieces between the two, never more.
            ok = ok && store.chargeAndAdd(QStringLiteral("乙"), 1, {1, 1, expiry}) != ChargeResult::Failed;
        }
        EXPECT_TRUE(ok) << error.toStdString();
    };
    bool okA = false, okB = false;
    std::thread a(server, QStringLiteral("丙"), std::ref(okA));
    std::thread b(server, QStringLiteral("丁"), std::ref(okB));
    a.join();
    b.join();
    ASSERT_TRUE(okA && okB);

    AccountStore check;
    QString error;
    ASSERT_TRUE(check.open({{}, cluster.connection()}, error)) << error.toStdString();
    const auto jia = check.find(QStringLiteral("甲"), error);
    ASSERT_TRUE(jia);
    EXPECT_EQ(jia->games, 2 * Hands);
    EXPECT_EQ(jia->score, 2 * Hands * 5);
    EXPECT_EQ(jia->escapes, Hands);
    EXPECT_EQ(check.find(QStringLiteral("乙"), error)->score, -3 * 2 * Hands);
    EXPECT_EQ(check.find(QStringLiteral("丁"), error)->games, Hands);
    EXPECT_EQ(jia->coins, 100);
    EXPECT_EQ(check.account(QStringLiteral("乙"))->coins, 0);
    const auto bought = check.ownedItems(QStringLiteral("乙"), QDateTime::currentDateTimeUtc()).value();
    ASSERT_EQ(bought.size(), 1u);
    EXPECT_EQ(bought[0].count, 100);

    // The database server crashes and comes back: the next hand is written
    // on a new connection.
    ASSERT_TRUE(cluster.restart(why)) << why.toStdString();
    EXPECT_TRUE(check.recordHand({{QStringLiteral("甲"), 1, false}}, error)) << error.toStdString();
    EXPECT_EQ(check.find(QStringLiteral("甲"), error)->games, 2 * Hands + 1);
    // So do the shop's reads, each the first after a restart: not read as nothing owned, or no account.
    ASSERT_TRUE(cluster.restart(why)) << why.toStdString();
    EXPECT_EQ(check.ownedItems(QStringLiteral("乙"), QDateTime::currentDateTimeUtc()).value().size(), 1u);
    ASSERT_TRUE(cluster.restart(why)) << why.toStdString();
    EXPECT_TRUE(check.account(QStringLiteral("乙")).has_value());
}

TEST(AccountStoreTest, APurchaseWhoseCommitWentThroughUnheardIsNotMadeTwice)
{
    ScratchPostgres cluster;
    QString why;
    if (!cluster.binariesFound())
        GTEST_SKIP() << "PostgreSQL 15 binaries missing: install postgresql (scripts/install-deps)";
    ASSERT_TRUE(cluster.start(why)) << why.toStdString();
    QTemporaryDir between;
    PgConnection c = cluster.connection();
    const QString socketName = QStringLiteral("/.s.PGSQL.%1").arg(c.port);
    CommitAnswerLost proxy(c.host + socketName, between.path() + socketName);
    ASSERT_TRUE(proxy.ok());
    c.host = between.path();

    AccountStore store(10);
    QString error;
    ASSERT_TRUE(store.open({{}, c}, error)) << error.toStdString();
    ASSERT_TRUE(store.account(QStringLiteral("甲"), 1, error)) << error.toStdString();
    proxy.arm();
    EXPECT_EQ(store.chargeAndAdd(QStringLiteral("甲"), 4, {7, 3, QDateTime::currentDateTimeUtc().addDays(1)}),
              ChargeResult::Done);
    ASSERT_TRUE(proxy.dropped());
    EXPECT_EQ(store.account(QStringLiteral("甲"))->coins, 6);
    const auto held = store.ownedItems(QStringLiteral("甲"), QDateTime::currentDateTimeUtc()).value();
    ASSERT_EQ(held.size(), 1u);
    EXPECT_EQ(held[0].count, 3);
}

// A database host that takes the connection and never answers: the server
// gives up after a few seconds instead of waiting with every table stopped.
TEST(AccountStoreTest, APostgresThatNeverAnswersIsGivenUpOn)
{
    QTemporaryDir dir;
    const QByteArray path = (dir.path() + QStringLiteral("/.s.PGSQL.5999")).toLocal8Bit();
    const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(static_cast<std::size_t>(path.size()), sizeof address.sun_path);
    std::copy(path.cbegin(), path.cend(), address.sun_path);
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(listener, 4), 0); // the backlog takes the connection; nothing is ever read

    PgConnection c;
    c.host = dir.path();
    c.port = 5999;
    c.dbname = c.user = QStringLiteral("kelpo");
    AccountStore store;
    QString error;
    EXPECT_FALSE(store.open({{}, c}, error));
    EXPECT_FALSE(error.isEmpty());
    close(listener);
}

// The database is down when a hand ends and the server is stopped before it
// comes back: the hand waits in its file and is written by the next start.
TEST(AccountStoreTest, ARefusedHandOutlivesTheServerInItsFile)
{
    ScratchPostgres cluster;
    QString why;
    if (!cluster.binariesFound())
        GTEST_SKIP() << "PostgreSQL 15 binaries missing: install postgresql (scripts/install-deps)";
    ASSERT_TRUE(cluster.start(why)) << why.toStdString();
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("unsaved.json"));
    QString error;
    {
        AccountStore store;
        ASSERT_TRUE(store.open({{}, cluster.connection()}, error)) << error.toStdString();
        Standings standings(&store);
        ASSERT_TRUE(standings.keepUnsavedIn(file, error)) << error.toStdString();
        standings.of(QStringLiteral("甲"), 1);
        ASSERT_TRUE(standings.recordHand({{QStringLiteral("甲"), 5, false}}, error)) << error.toStdString();
        EXPECT_FALSE(QFile::exists(file)) << "nothing waits";
        ASSERT_TRUE(cluster.crash(why)) << why.toStdString();
        // 乙 comes while the database is down: he has no account yet.
        standings.of(QStringLiteral("乙"), 2);
        EXPECT_FALSE(standings.recordHand({{QStringLiteral("甲"), -3, true}, {QStringLiteral("乙"), 3, false}}, error));
        EXPECT_TRUE(QFile::exists(file));
    } // the server stops
    ASSERT_TRUE(cluster.startAgain(why)) << why.toStdString();
    AccountStore store;
    ASSERT_TRUE(store.open({{}, cluster.connection()}, error)) << error.toStdString();
    auto standings = std::make_unique<Standings>(&store);
    ASSERT_TRUE(standings->keepUnsavedIn(file, error)) << error.toStdString();
    EXPECT_EQ(standings->unsavedHands(), 0u);
    EXPECT_FALSE(QFile::exists(file));
    // A second server on the same file is refused while the first runs.
    Standings second(&store);
    EXPECT_FALSE(second.keepUnsavedIn(file, error));
    EXPECT_TRUE(error.contains(QStringLiteral("another server"))) << error.toStdString();
    standings.reset();
    const auto jia = store.find(QStringLiteral("甲"), error);
    ASSERT_TRUE(jia);
    EXPECT_EQ(jia->games, 2);
    EXPECT_EQ(jia->score, 2);
    EXPECT_EQ(jia->escapes, 1);
    const auto yi = store.find(QStringLiteral("乙"), error);
    ASSERT_TRUE(yi) << "an account its user never had is made for the hand";
    EXPECT_EQ(yi->score, 3);
    EXPECT_EQ(yi->icon, 2);

    // A file that is not such a list is left as it is and not used.
    const QByteArray bad = R"([[{"name": "甲"}]])";
    QFile broken(file);
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly) && broken.write(bad) == bad.size());
    broken.close();
    Standings again(&store);
    EXPECT_FALSE(again.keepUnsavedIn(file, error));
    EXPECT_TRUE(error.contains(QStringLiteral("move it aside"))) << error.toStdString();
    again.of(QStringLiteral("甲"), 1);
    ASSERT_TRUE(cluster.crash(why)) << why.toStdString();
    EXPECT_FALSE(again.recordHand({{QStringLiteral("甲"), 1, false}}, error));
    ASSERT_TRUE(broken.open(QIODevice::ReadOnly));
    EXPECT_EQ(broken.readAll(), bad);
}

// Servers sharing a database each keep a file of their own, and one
// starting takes in the hands a stopped one left in another.
TEST(UnsavedHandsFileTest, EachRunningServerKeepsItsOwnFileAndTakesInWhatAStoppedOneLeft)
{
    QTemporaryDir dir;
    const QStringList files = UnsavedHandsFileSlots(dir.filePath(QStringLiteral("r.sqlite.unsaved-hands.json")));
    ASSERT_EQ(files.size(), 9);
    EXPECT_EQ(files[1], dir.filePath(QStringLiteral("r.sqlite.unsaved-hands.2.json")));
    QString error;
    UnsavedFileRefusal why{};
    Standings first;
    Standings second;
    ASSERT_TRUE(first.keepUnsavedIn(files[0], error, &why)) << error.toStdString();
    EXPECT_FALSE(second.keepUnsavedIn(files[0], error, &why));
    EXPECT_EQ(why, UnsavedFileRefusal::KeptByAnother);
    ASSERT_TRUE(second.keepUnsavedIn(files[1], error, &why)) << error.toStdString();
    EXPECT_FALSE(first.adoptUnsavedFrom(files[1], error, &why));
    EXPECT_EQ(why, UnsavedFileRefusal::KeptByAnother);

    QFile left(files[2]);
    ASSERT_TRUE(left.open(QIODevice::WriteOnly));
    left.write(R"([[{"name": "甲", "result": 5, "escaped": false}]])");
    left.close();
    ASSERT_TRUE(first.adoptUnsavedFrom(files[2], error, &why)) << error.toStdString();
    EXPECT_EQ(first.unsavedHands(), 1u); // no database here: it waits
    EXPECT_FALSE(QFile::exists(files[2]));
    EXPECT_TRUE(QFile::exists(files[0]));

    // A result no hand can have is not added to anyone's score.
    ASSERT_TRUE(left.open(QIODevice::WriteOnly));
    left.write(R"([[{"name": "甲", "result": 4000000000, "escaped": false}]])");
    left.close();
    EXPECT_FALSE(first.adoptUnsavedFrom(files[2], error, &why));
    EXPECT_EQ(why, UnsavedFileRefusal::Unreadable);
    EXPECT_EQ(first.unsavedHands(), 1u);

    // Hands this server cannot keep in its own file stay in the other.
    const QByteArray hand = R"([[{"name": "乙", "result": 5, "escaped": false}]])";
    ASSERT_TRUE(left.open(QIODevice::WriteOnly) && left.write(hand) == hand.size());
    left.close();
    ASSERT_TRUE(QFile::remove(files[0]) && QDir().mkdir(files[0]));
    EXPECT_FALSE(first.adoptUnsavedFrom(files[2], error, &why));
    EXPECT_EQ(first.unsavedHands(), 1u);
    ASSERT_TRUE(left.open(QIODevice::ReadOnly));
    EXPECT_EQ(left.readAll(), hand);
}

// A server stopped after writing a waiting hand but before taking it out
// of its file: the next start finds the hand's key in the log and does not
// count it twice.
TEST(UnsavedHandsFileTest, AHandWrittenBeforeTheServerStoppedIsNotWrittenAgain)
{
    QTemporaryDir dir;
    AccountStore store;
    QString error;
    ASSERT_TRUE(store.open({dir.filePath(QStringLiteral("a.sqlite")), {}}, error)) << error.toStdString();
    ASSERT_TRUE(store.account(QStringLiteral("甲"), 1, error));
    ASSERT_TRUE(store.recordHand({{QStringLiteral("甲"), 5, false}}, error, QStringLiteral("k1")));
    const QString file = dir.filePath(QStringLiteral("unsaved.json"));
    QFile left(file);
    ASSERT_TRUE(left.open(QIODevice::WriteOnly));
    left.write(R"([{"key": "k1", "seats": [{"name": "甲", "result": 5}]},
                  {"key": "k2", "seats": [{"name": "甲", "result": -3, "escaped": true}]}])");
    left.close();
    Standings standings(&store);
    ASSERT_TRUE(standings.keepUnsavedIn(file, error)) << error.toStdString();
    EXPECT_EQ(standings.unsavedHands(), 0u);
    const auto jia = store.find(QStringLiteral("甲"), error);
    ASSERT_TRUE(jia);
    EXPECT_EQ(jia->games, 2);
    EXPECT_EQ(jia->score, 2);
}

} // namespace
} // namespace kelpo::server
