#pragma once
// What the launcher starts for each of its three choices: the room server's
// arguments (none when joining someone else's table) and the nine words the
// client is started with. Every command line the launcher runs is built here.

#include <QString>
#include <QStringList>

namespace kelpo::launcher {

enum class LaunchMode { Bots, Host, Join };

struct LauncherChoices {
    LaunchMode mode = LaunchMode::Bots;
    // The local player; with Host also the table's owner.
    QString name = QStringLiteral("玩家");
    // Host: the other human players, in seat order after the local one.
    QStringList guests;
    int stakeMin = 1;
    int stakeMax = 1000;
    int escapeMin = 0;
    int escapeMax = 1000;
    int turnSeconds = 30;
    // Host: the address the server listens on (all interfaces by default)
    // and its port. Join: the table's host and port.
    QString host = QStringLiteral("0.0.0.0");
    int port = 0;
    QString joinHost = QStringLiteral("127.0.0.1");
    int joinPort = 0;
};

// Empty when the choices can be started, else what to fix, in plain words.
QString CheckChoices(const LauncherChoices& c);

// Arguments for kelpo-room, or an empty list when the choice starts no
// server (Join). The server prints its port on its first line.
QStringList RoomServerArguments(const LauncherChoices& c);

// The nine arguments of the client for `name` at host:port.
QStringList ClientArguments(const QString& host, int port, const QString& name);

// Where the local client connects: the started server on the loopback
// address, or the joined table.
QString ClientHost(const LauncherChoices& c);

// What the server's error output means for the user, in plain words. A
// server that had opened its table (started) stopped later: its output then
// tells no start failure, and its end says most.
QString ServerErrorText(const QString& serverOutput, int exitCode, bool started = false);

// Why the client for host:port ended, in plain words; empty when it ended
// as the user or the table wanted. The client itself says nothing when its
// connection fails or closes: its window just goes.
QString ClientEndText(int exitCode, bool crashed, const QString& host, int port);

} // namespace kelpo::launcher
