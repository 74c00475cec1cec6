#include "app/Main.h"

#include "app/CommandLine.h"
#include "app/LaunchKey.h"
#include "game/Client.h"
#include "platform/Fonts.h"
#include "platform/NumericValue.h"
#include "room/frmGameMain.h"
#include "shop/modDaoJuMaket.h"
#include "skin/ModalBoxes.h"
#include "skin/MsgPool.h"
#include "state/CardStateOps.h"
#include "state/Session.h"

#include <QApplication>
#include <QStandardPaths>

namespace kelpo {

Program::Program() = default;
Program::~Program()
{
    window.reset();
    client.reset();
}

namespace {

void StartError(const QString& text)
{
    ModalBoxes::instance().SystemMessage(nullptr, QMessageBox::Critical, QStringLiteral("游戏提示"), text);
}

} // namespace

std::unique_ptr<Program> StartUp(const QString& commandLine, const LaunchOptions& options, int& exitCode)
{
    const QStringList args = ParseCommandLine(commandLine, 10);
    if (args.size() - 1 != 9) {
        StartError(QStringLiteral("1号错误，无法正常启动游戏！"));
        exitCode = ExitWrongArgumentCount;
        return nullptr;
    }
    if (args[1] != QLatin1String(LaunchKey)) {
        StartError(QStringLiteral("2号错误，无法正常启动游戏！"));
        exitCode = ExitWrongLaunchKey;
        return nullptr;
    }

    auto program = std::make_unique<Program>();
    program->client = std::make_unique<Client>();
    Client& client = *program->client;
    ClientGlobals& g = client.state.globals;
    g.ServerHost = args[2];
    g.ServerPort = args[3];
    g.GameName = args[4];
    g.LevelTableText = args[5];
    g.SpareArgs = {args[6], args[7]};
    g.UserName = args[8];
    g.ScoreKind = NumericByte(args[9]);

    InitSession(client.state, options.programDir);
    InitDaoJu(client.state.shop);
    client.setReviewFolder(!options.reviewFolder.isEmpty()
                               ? options.reviewFolder
                               : QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation)
                                     + QStringLiteral("/hands"));
    client.msgPool().InitMsgObjects();
    ResetCardState(client.state);

    ResolveDefaultFamily();
    program->window = std::make_unique<frmGameMain>(client);
    program->window->PlaceOnScreen();
    program->window->show();
    program->window->ConnectRoomServer();
    exitCode = 0;
    return program;
}

int Main(const QString& commandLine, const LaunchOptions& options)
{
    int exitCode = 0;
    std::unique_ptr<Program> program = StartUp(commandLine, options, exitCode);
    if (!program)
        return exitCode;
    // Only the main window's unload ends the program, with its own status.
    qApp->setQuitOnLastWindowClosed(false);
    int status = 0;
    bool ended = false;
    QObject::connect(program->window.get(), &frmGameMain::unloaded, qApp, [&](int code) {
        status = code;
        ended = true;
        QCoreApplication::exit(code);
    });
    if (!ended)
        QCoreApplication::exec();
    program.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return status;
}

} // namespace kelpo
