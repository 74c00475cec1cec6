// kelpo-room: hosts one table and runs until it is stopped.

#include "platform/TickClock.h"
#include "server/AccountStore.h"
#include "server/EpollEventDispatcher.h"
#include "server/ItemShop.h"
#include "server/QuitSignals.h"
#include "server/RoomConfig.h"
#include "server/RoomServer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cstdio>
#include <memory>

int main(int argc, char** argv)
{
    // Before the application object, which would make the stock dispatcher.
    QCoreApplication::setEventDispatcher(new kelpo::server::EpollEventDispatcher);
    QCoreApplication app(argc, argv);
    const kelpo::server::ParsedRoomConfig parsed = kelpo::server::ParseRoomArguments(app.arguments());
    if (!parsed.config) {
        std::FILE* out = parsed.helpRequested ? stdout : stderr;
        std::fprintf(out, "%s\n", qPrintable(parsed.message));
        return parsed.helpRequested ? 0 : 2;
    }
    const kelpo::server::RoomConfig& config = *parsed.config;
    const QString catalogueFile = config.catalogueFile.isEmpty()
                                      ? QCoreApplication::applicationDirPath() + QStringLiteral("/shop-catalogue.txt")
                                      : config.catalogueFile;
    kelpo::server::LoadedCatalogue catalogue = kelpo::server::LoadCatalogueFile(catalogueFile);
    if (!catalogue.catalogue) {
        std::fprintf(stderr, "kelpo-room: %s\n", qPrintable(catalogue.error));
        return 2;
    }
    kelpo::server::AccountDatabase where;
    where.pg = config.pg;
    where.sqliteFile = config.dbFile;
    if (!where.pg && where.sqliteFile.isEmpty())
        where.sqliteFile = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
                           + QStringLiteral("/kelpo/room.sqlite");
    kelpo::server::AccountStore accounts(config.startCoins);
    QString error;
    if (!accounts.open(where, error)) {
        std::fprintf(stderr, "kelpo-room: cannot open the accounts database: %s\n", qPrintable(error));
        return 1;
    }
    // A member stays one in the account, also for later starts.
    for (const QString& member : config.members) {
        if (!accounts.setUserClass(member, 1, error)) {
            std::fprintf(stderr, "kelpo-room: cannot make %s a member: %s\n", qPrintable(member), qPrintable(error));
            return 1;
        }
    }

    kelpo::SteadyTickClock clock;
    kelpo::server::RoomServer server(config, clock);
    server.table().setAccounts(&accounts);
    const QString unsavedFile = kelpo::server::UnsavedHandsFile(
        config, where.pg ? QString() : where.sqliteFile,
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    if (!unsavedFile.isEmpty()) {
        QDir().mkpath(QFileInfo(unsavedFile).absolutePath());
        // Hands from an earlier run that the file cannot give back are not
        // dropped silently, and a file is never shared with another server
        // running: the server does not start over either. Servers that share
        // the default file take numbered ones beside it, and a server takes
        // in the hands of those a stopped server left.
        const QStringList files = config.unsavedHandsFile.isEmpty()
                                      ? kelpo::server::UnsavedHandsFileSlots(unsavedFile)
                                      : QStringList{unsavedFile};
        using kelpo::server::UnsavedFileRefusal;
        qsizetype kept = -1;
        UnsavedFileRefusal why = UnsavedFileRefusal::None;
        for (qsizetype i = 0; i < files.size() && kept < 0; ++i) {
            if (server.table().keepUnsavedHandsIn(files[i], error, &why))
                kept = i;
            else if (why != UnsavedFileRefusal::KeptByAnother)
                break;
        }
        if (kept < 0) {
            if (why == UnsavedFileRefusal::KeptByAnother)
                error += QStringLiteral("; give this server its own file (--unsaved-hands FILE)");
            std::fprintf(stderr, "kelpo-room: %s\n", qPrintable(error));
            return 1;
        }
        for (qsizetype i = 0; i < files.size(); ++i) {
            if (i == kept || !QFile::exists(files[i]))
                continue;
            if (!server.table().adoptUnsavedHandsFrom(files[i], error, &why) && why != UnsavedFileRefusal::KeptByAnother)
                std::fprintf(stderr, "kelpo-room: hands left waiting: %s\n", qPrintable(error));
        }
    }
    // The shop's coins and items are the accounts' too.
    server.table().setShop(std::make_unique<kelpo::server::ItemShop>(
        std::move(*catalogue.catalogue), accounts, [] { return QDateTime::currentDateTime(); }));
    if (!server.listen(error)) {
        std::fprintf(stderr, "kelpo-room: %s\n", qPrintable(error));
        return 1;
    }
    // The port alone on the first line, for whoever started the server; the
    // seed and the accounts next, so a table can be replayed and its
    // standings found; then one line per identity taken, so a script can
    // wait for a client.
    std::printf("%u\n", static_cast<unsigned>(server.port()));
    std::printf("seed %llu\n", static_cast<unsigned long long>(config.seed));
    std::printf("accounts %s\n",
                where.pg ? "in PostgreSQL" : QDir::toNativeSeparators(where.sqliteFile).toUtf8().constData());
    std::fflush(stdout);
    if (!kelpo::server::QuitOnTerminationSignals(app))
        std::fprintf(stderr, "kelpo-room: a stop by signal will not close the accounts properly\n");
    server.table().setJoinObserver([](const QString& name) {
        std::printf("joined %s\n", name.toUtf8().constData());
        std::fflush(stdout);
    });
    return app.exec();
}
