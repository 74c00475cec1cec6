// The yardstick for the client's start-up: a bare widgets window of the main
// window's size that starts, shows and quits at once, or with --stay remains
// shown, so that its memory can be read.

#include <QApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    window.move(area.topLeft());
    window.resize(area.width(), std::max(area.height() - 32, 1));
    window.show();
    if (!app.arguments().contains(QStringLiteral("--stay")))
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
    return app.exec();
}
