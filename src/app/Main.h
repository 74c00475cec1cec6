#pragma once
// Start-up and the run of the program.

#include <QString>

#include <memory>

namespace kelpo {

class Client;
class frmGameMain;

// Exit statuses of a refused start.
inline constexpr int ExitWrongArgumentCount = 1;
inline constexpr int ExitWrongLaunchKey = 2;

struct LaunchOptions {
    // Where the program's resources and UserSet.ini live; the executable's
    // folder when empty.
    QString programDir;
    // Where each finished hand's review is written; the user's data folder
    // ("hands" below it) when empty.
    QString reviewFolder;
};

// A started client: the client object and its main window, shown and
// connecting. The window goes before the client.
struct Program {
    std::unique_ptr<Client> client;
    std::unique_ptr<frmGameMain> window;
    Program();
    ~Program();
};

// Checks the command line and starts the client. On a refused start the
// error box has been shown, exitCode is set and nothing is returned.
std::unique_ptr<Program> StartUp(const QString& commandLine, const LaunchOptions& options, int& exitCode);

// The whole run: start-up, then events until the main window unloads. The
// result is the program's exit status: 0 for the user's close, non-zero for
// a refused start or a lost connection.
int Main(const QString& commandLine, const LaunchOptions& options = {});

} // namespace kelpo
