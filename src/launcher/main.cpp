// kelpo-launcher: starts a table for a desktop user, without the lobby's
// command line.

#include "launcher/LauncherWindow.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    kelpo::launcher::LauncherWindow window(QCoreApplication::applicationDirPath());
    window.loadSettings();
    window.show();
    return app.exec();
}
