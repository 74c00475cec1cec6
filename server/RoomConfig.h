#pragma once
// What one hosted table is set up with: who is expected, who plays the other
// seats, the game's parameters and the ranges the owner may choose from.

#include "server/ConnInfo.h"
#include "server/TableConfig.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

namespace kelpo::server {

struct ExpectedSpectator {
    QString name;
    // The player whose seat the spectator sees.
    QString watches;
};

struct SettingRange {
    int minimum = 0;
    int maximum = 0;
    bool contains(int v) const { return v >= minimum && v <= maximum; }
};

struct RoomConfig {
    QString listenHost = QStringLiteral("127.0.0.1");
    // 0 lets the system pick a free port.
    int port = 0;
    // The human players, in seat order from seat 0; the first is the owner.
    QStringList players;
    // A player bound to an address is given only to connections from it.
    QHash<QString, QString> boundAddress;
    QList<ExpectedSpectator> spectators;
    // Seats bots fill, after the players'; players + bots must make six.
    int bots = 0;
    TableConfig table;
    SettingRange stakeRange{1, 1000};
    SettingRange escapeRange{0, 1000};
    // Off: nobody is asked for settings, every player is offered the start
    // button at once and the configured stake and penalty apply.
    bool settingsRound = true;
    std::uint64_t seed = 1;
    // Off: the seed was drawn at random, to be printed for a replay.
    bool seedGiven = false;
    // Between hands a bot plays the seat of a player who is away once
    // everyone present raised a hand; off, the table waits for the player.
    bool botsStandIn = false;
    // With no player left at the table the bots deal on; off, the table
    // waits for a player to come back.
    bool botsPlayOn = false;
    // A player who has not raised his hand this long after another seat
    // raised its own is taken to have left, as the client itself leaves when
    // the 20 second countdown it starts then runs out; the margin covers the
    // client's pauses.
    int raiseHandTimeoutMs = 20000 + 10000;
    // The accounts: a SQLite file (empty: the default one in the user's data
    // folder) or, when pg is set, a PostgreSQL database.
    QString dbFile;
    std::optional<PgConnection> pg;
    // Where hands the accounts database refused wait for it across a stop
    // of the server; empty: beside a SQLite file, or in the user's data
    // folder for PostgreSQL (UnsavedHandsFile).
    QString unsavedHandsFile;
    // A connection that has not identified by then is closed. A real client
    // identifies as soon as it is connected, so this is short: silent
    // connections must not hold places for long.
    int identifyTimeoutMs = 5000;
    // The shop's catalogue; empty: shop-catalogue.txt beside the program.
    QString catalogueFile;
    // Coins a new account starts with, and the users who pay the member prices.
    std::int64_t startCoins = 1000;
    QStringList members;
};

// The file of the hands waiting for the accounts database: the one given,
// else "<db>.unsaved-hands.json" beside a SQLite file, or for PostgreSQL
// kelpo/unsaved-hands-<database>[-<port>].json in dataFolder. Empty for
// accounts kept in memory.
QString UnsavedHandsFile(const RoomConfig& config, const QString& sqliteFile, const QString& dataFolder);

// The files a server may keep when the file is its default one: that file,
// then numbered ones beside it ("x.json", "x.2.json" ... "x.9.json"), for
// servers that share a database and run at once.
QStringList UnsavedHandsFileSlots(const QString& file);

struct ParsedRoomConfig {
    std::optional<RoomConfig> config;
    // Set when config is not: the reason, or the help text.
    QString message;
    bool helpRequested = false;
};

// Reads the program's arguments (arguments[0] is the program). Every value
// is checked against its range; the first one out of range is reported.
ParsedRoomConfig ParseRoomArguments(const QStringList& arguments);

} // namespace kelpo::server
