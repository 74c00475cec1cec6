// kelpo-room: hosts one table and runs until it is stopped.

#include "platform/TickClock.h"
#include "server/RoomConfig.h"
#include "server/RoomServer.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const kelpo::server::ParsedRoomConfig parsed = kelpo::server::ParseRoomArguments(app.arguments());
    if (!parsed.config) {
        std::FILE* out = parsed.helpRequested ? stdout : stderr;
        std::fprintf(out, "%s\n", qPrintable(parsed.message));
        return parsed.helpRequested ? 0 : 2;
    }
    kelpo::SteadyTickClock clock;
    kelpo::server::RoomServer server(*parsed.config, clock);
    QString error;
    if (!server.listen(error)) {
        std::fprintf(stderr, "kelpo-room: %s\n", qPrintable(error));
        return 1;
    }
    // The port alone on the first line, for whoever started the server; then
    // one line per identity taken, so a script can wait for a client.
    std::printf("%u\n", static_cast<unsigned>(server.port()));
    std::fflush(stdout);
    server.table().setJoinObserver([](const QString& name) {
        std::printf("joined %s\n", name.toUtf8().constData());
        std::fflush(stdout);
    });
    return app.exec();
}
