#include "server/RoomConfig.h"

#include "net/UserName.h"

#include <QCommandLineParser>
#include <QHostAddress>
#include <QRandomGenerator>
#include <QSet>

namespace kelpo::server {

namespace {

bool ReadInt(const QString& text, int lo, int hi, int& out)
{
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok || v < lo || v > hi)
        return false;
    out = v;
    return true;
}

bool ReadRange(const QString& text, SettingRange& out)
{
    const QStringList parts = text.split(u':');
    if (parts.size() != 2)
        return false;
    SettingRange r;
    // The dialog refuses more than seven digits, so wider bounds could never
    // be met.
    if (!ReadInt(parts[0], 0, 9999999, r.minimum) || !ReadInt(parts[1], 0, 9999999, r.maximum)
        || r.minimum > r.maximum)
        return false;
    out = r;
    return true;
}

} // namespace

ParsedRoomConfig ParseRoomArguments(const QStringList& arguments)
{
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral(
        "Hosts one six-seat table on a TCP port. Players and spectators are the "
        "identities a connecting client is given, in order; bots play the other seats."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Shows this help."));
    const QCommandLineOption host(QStringLiteral("host"), QStringLiteral("Address to listen on (default 127.0.0.1)."),
                                  QStringLiteral("address"), QStringLiteral("127.0.0.1"));
    const QCommandLineOption port(QStringLiteral("port"),
                                  QStringLiteral("TCP port; 0 picks a free one and prints it (default 0)."),
                                  QStringLiteral("n"), QStringLiteral("0"));
    const QCommandLineOption player(QStringLiteral("player"),
                                    QStringLiteral("A human player, repeatable, in seat order; the first owns the table. "
                                                   "name@address: only a connection from that address is given it."),
                                    QStringLiteral("name[@address]"));
    const QCommandLineOption spectator(QStringLiteral("spectator"),
                                       QStringLiteral("A spectator and the player it watches, repeatable."),
                                       QStringLiteral("name:player"));
    const QCommandLineOption bots(QStringLiteral("bots"),
                                  QStringLiteral("Seats bots fill (default: all seats no player takes)."),
                                  QStringLiteral("n"));
    const QCommandLineOption turn(QStringLiteral("turn-seconds"), QStringLiteral("Seconds for a turn, 1..255 (default 30)."),
                                  QStringLiteral("s"), QStringLiteral("30"));
    const QCommandLineOption tribute(QStringLiteral("tribute-seconds"),
                                     QStringLiteral("Seconds for a tribute turn, 1..255 (default 15)."),
                                     QStringLiteral("s"), QStringLiteral("15"));
    const QCommandLineOption autoLimit(QStringLiteral("auto-play-limit"),
                                       QStringLiteral("Automatic plays in a hand that count as escaping, 1..255 (default 5)."),
                                       QStringLiteral("n"), QStringLiteral("5"));
    const QCommandLineOption packs(QStringLiteral("packs"), QStringLiteral("Packs of 54 cards, 1..6 (default 2)."),
                                   QStringLiteral("n"), QStringLiteral("2"));
    const QCommandLineOption threeHand(QStringLiteral("three-hand"),
                                       QStringLiteral("Deal each player its two partners' hands as well."));
    const QCommandLineOption counts(QStringLiteral("show-counts"),
                                    QStringLiteral("Show every seat's card count, 0 or 1 (default 0)."),
                                    QStringLiteral("n"), QStringLiteral("0"));
    const QCommandLineOption stake(QStringLiteral("stake"), QStringLiteral("Proposed stake (default 10)."),
                                   QStringLiteral("n"), QStringLiteral("10"));
    const QCommandLineOption stakeRange(QStringLiteral("stake-range"),
                                        QStringLiteral("Stakes the owner may choose (default 1:1000)."),
                                        QStringLiteral("min:max"), QStringLiteral("1:1000"));
    const QCommandLineOption escape(QStringLiteral("escape-penalty"),
                                    QStringLiteral("Proposed escape penalty (default 20)."), QStringLiteral("n"),
                                    QStringLiteral("20"));
    const QCommandLineOption escapeRange(QStringLiteral("escape-range"),
                                         QStringLiteral("Escape penalties the owner may choose (default 0:1000)."),
                                         QStringLiteral("min:max"), QStringLiteral("0:1000"));
    const QCommandLineOption seed(QStringLiteral("seed"),
                                  QStringLiteral("Seed of the deals, to replay a table (default: drawn at random and printed)."),
                                  QStringLiteral("n"));
    const QCommandLineOption standIn(QStringLiteral("bots-stand-in"),
                                     QStringLiteral("A bot plays for a player who is away once the others raised their "
                                                    "hands (default: the table waits for the player)."));
    const QCommandLineOption playOn(QStringLiteral("bots-play-on"),
                                    QStringLiteral("The bots deal on when no player is left (default: the table waits)."));
    const QCommandLineOption db(QStringLiteral("db"),
                                QStringLiteral("SQLite file of the accounts (default kelpo/room.sqlite in the user's data "
                                               "folder; :memory: keeps nothing)."),
                                QStringLiteral("file"));
    const QCommandLineOption pg(QStringLiteral("pg"),
                                QStringLiteral("Keep the accounts in PostgreSQL instead, shared by several servers "
                                               "(a libpq connection string)."),
                                QStringLiteral("conninfo"));
    const QCommandLineOption unsaved(QStringLiteral("unsaved-hands"),
                                     QStringLiteral("File where hands the accounts database refused wait for it across "
                                                    "a restart (default: beside the SQLite file; with --pg, in the "
                                                    "user's data folder)."),
                                     QStringLiteral("file"));
    const QCommandLineOption botDelay(QStringLiteral("bot-delay"),
                                      QStringLiteral("Milliseconds a bot thinks, 0..60000 (default 800)."),
                                      QStringLiteral("ms"), QStringLiteral("800"));
    const QCommandLineOption noSettings(QStringLiteral("no-settings"),
                                        QStringLiteral("Skip the owner's settings round."));
    const QCommandLineOption identify(QStringLiteral("identify-timeout"),
                                      QStringLiteral("Seconds a connection has to identify, 1..3600 (default 5)."),
                                      QStringLiteral("s"), QStringLiteral("5"));
    const QCommandLineOption catalogue(QStringLiteral("catalogue"),
                                       QStringLiteral("The shop's catalogue file (default: shop-catalogue.txt beside the program)."),
                                       QStringLiteral("file"));
    const QCommandLineOption startCoins(QStringLiteral("start-coins"),
                                        QStringLiteral("Coins a new account starts with, 0..2000000000 (default 1000)."),
                                        QStringLiteral("n"), QStringLiteral("1000"));
    const QCommandLineOption member(QStringLiteral("member"),
                                    QStringLiteral("A user who pays the shop's member prices, repeatable."),
                                    QStringLiteral("name"));
    p.addOptions({help, host, port, player, spectator, bots, turn, tribute, autoLimit, packs, threeHand, counts,
                  stake, stakeRange, escape, escapeRange, seed, botDelay, noSettings, identify, standIn, playOn, db,
                  pg, unsaved, catalogue, startCoins, member});

    ParsedRoomConfig result;
    if (!p.parse(arguments)) {
        result.message = p.errorText();
        return result;
    }
    if (p.isSet(help)) {
        result.helpRequested = true;
        result.message = p.helpText();
        return result;
    }
    if (!p.positionalArguments().isEmpty()) {
        result.message = QStringLiteral("unexpected argument: %1").arg(p.positionalArguments().first());
        return result;
    }

    RoomConfig c;
    auto fail = [&](const QString& what) {
        result.message = QStringLiteral("bad value for --%1").arg(what);
        return result;
    };
    c.listenHost = p.value(host);
    if (!ReadInt(p.value(port), 0, 65535, c.port))
        return fail(QStringLiteral("port"));

    QSet<QString> names;
    for (const QString& value : p.values(player)) {
        const qsizetype at = value.lastIndexOf(u'@');
        const QString name = at < 0 ? value : value.left(at);
        if (!IsUsableUserName(name) || names.contains(name))
            return fail(QStringLiteral("player"));
        if (at >= 0) {
            const QHostAddress address(value.mid(at + 1));
            if (address.isNull())
                return fail(QStringLiteral("player"));
            c.boundAddress.insert(name, address.toString());
        }
        names.insert(name);
        c.players << name;
    }
    if (c.players.size() > SeatCount)
        return fail(QStringLiteral("player"));
    for (const QString& value : p.values(spectator)) {
        const int colon = value.indexOf(u':');
        ExpectedSpectator s{value.left(colon), value.mid(colon + 1)};
        if (colon < 0 || !IsUsableUserName(s.name) || names.contains(s.name) || !c.players.contains(s.watches))
            return fail(QStringLiteral("spectator"));
        names.insert(s.name);
        c.spectators << s;
    }
    c.bots = SeatCount - static_cast<int>(c.players.size());
    if (p.isSet(bots)) {
        int n = 0;
        if (!ReadInt(p.value(bots), 0, SeatCount, n) || n + c.players.size() != SeatCount)
            return fail(QStringLiteral("bots"));
        c.bots = n;
    }

    TableConfig& t = c.table;
    if (!ReadInt(p.value(turn), 1, 255, t.turnSeconds))
        return fail(QStringLiteral("turn-seconds"));
    if (!ReadInt(p.value(tribute), 1, 255, t.tributeSeconds))
        return fail(QStringLiteral("tribute-seconds"));
    if (!ReadInt(p.value(autoLimit), 1, 255, t.autoPlayLimit))
        return fail(QStringLiteral("auto-play-limit"));
    if (!ReadInt(p.value(packs), 1, MaxPacks, t.deckCount))
        return fail(QStringLiteral("packs"));
    t.threeHandDeal = p.isSet(threeHand);
    if (!ReadInt(p.value(counts), 0, 1, t.showCardCounts))
        return fail(QStringLiteral("show-counts"));
    if (!ReadRange(p.value(stakeRange), c.stakeRange))
        return fail(QStringLiteral("stake-range"));
    if (!ReadRange(p.value(escapeRange), c.escapeRange))
        return fail(QStringLiteral("escape-range"));
    if (!ReadInt(p.value(stake), c.stakeRange.minimum, c.stakeRange.maximum, t.stake))
        return fail(QStringLiteral("stake"));
    if (!ReadInt(p.value(escape), c.escapeRange.minimum, c.escapeRange.maximum, t.escapePenalty))
        return fail(QStringLiteral("escape-penalty"));
    c.seedGiven = p.isSet(seed);
    if (c.seedGiven) {
        bool seedOk = false;
        c.seed = p.value(seed).toULongLong(&seedOk);
        if (!seedOk)
            return fail(QStringLiteral("seed"));
    } else {
        c.seed = QRandomGenerator::system()->generate64();
    }
    c.botsStandIn = p.isSet(standIn);
    c.botsPlayOn = p.isSet(playOn);
    if (p.isSet(db) && p.isSet(pg))
        return fail(QStringLiteral("pg (--db and --pg exclude each other)"));
    c.dbFile = p.value(db);
    if (p.isSet(db) && c.dbFile.isEmpty())
        return fail(QStringLiteral("db"));
    if (p.isSet(pg)) {
        QString why;
        c.pg = ParseConnInfo(p.value(pg), why);
        if (!c.pg)
            return fail(QStringLiteral("pg: %1").arg(why));
    }
    c.unsavedHandsFile = p.value(unsaved);
    if (p.isSet(unsaved) && c.unsavedHandsFile.isEmpty())
        return fail(QStringLiteral("unsaved-hands"));
    if (!ReadInt(p.value(botDelay), 0, 60000, t.botDelayMs))
        return fail(QStringLiteral("bot-delay"));
    c.settingsRound = !p.isSet(noSettings);
    int identifySeconds = 0;
    if (!ReadInt(p.value(identify), 1, 3600, identifySeconds))
        return fail(QStringLiteral("identify-timeout"));
    c.identifyTimeoutMs = identifySeconds * 1000;
    c.catalogueFile = p.value(catalogue);
    int coins = 0;
    if (!ReadInt(p.value(startCoins), 0, 2000000000, coins))
        return fail(QStringLiteral("start-coins"));
    c.startCoins = coins;
    for (const QString& name : p.values(member)) {
        if (!IsUsableUserName(name))
            return fail(QStringLiteral("member"));
        c.members << name;
    }

    result.config = c;
    return result;
}

QString UnsavedHandsFile(const RoomConfig& config, const QString& sqliteFile, const QString& dataFolder)
{
    if (!config.unsavedHandsFile.isEmpty())
        return config.unsavedHandsFile;
    if (!config.pg)
        return sqliteFile.isEmpty() || sqliteFile == QLatin1String(":memory:")
                   ? QString()
                   : sqliteFile + QStringLiteral(".unsaved-hands.json");
    // The database's name as a file name's part: nothing but letters,
    // digits, '-' and '_' (no folder of its own, no way out of the folder).
    QString database = config.pg->dbname.isEmpty() ? QStringLiteral("default") : config.pg->dbname;
    for (QChar& ch : database) {
        if (!(ch.isLetterOrNumber() && ch.unicode() < 128) && ch != u'-' && ch != u'_')
            ch = u'_';
    }
    QString name = QStringLiteral("/kelpo/unsaved-hands-") + database;
    if (config.port != 0)
        name += QLatin1Char('-') + QString::number(config.port);
    return dataFolder + name + QStringLiteral(".json");
}

QStringList UnsavedHandsFileSlots(const QString& file)
{
    const QString json = QStringLiteral(".json");
    const QString stem = file.endsWith(json) ? file.chopped(json.size()) : file;
    const QString suffix = file.endsWith(json) ? json : QString();
    QStringList names{file};
    for (int n = 2; n <= 9; ++n)
        names << stem + QLatin1Char('.') + QString::number(n) + suffix;
    return names;
}

} // namespace kelpo::server
