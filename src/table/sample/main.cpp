// kelpo-sample-table: draws the sample table in both layouts into PNG files,
// with the resources found beside the program.
//
//   kelpo-sample-table [OUTDIR] [--size WxH] [--app APPDIR]

#include "controls/YuClock.h"
#include "table/SampleTable.h"

#include <QApplication>
#include <QDir>
#include <QTextStream>

#include <cstdio>

using namespace kelpo;

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QString outDir = QStringLiteral(".");
    QString appDir = QCoreApplication::applicationDirPath();
    int width = 1024;
    int height = 768;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--app") && i + 1 < args.size()) {
            appDir = args[++i];
        } else if (args[i] == QLatin1String("--size") && i + 1 < args.size()) {
            const QStringList wh = args[++i].split(u'x');
            width = wh.value(0).toInt();
            height = wh.value(1).toInt();
        } else {
            outDir = args[i];
        }
    }
    if (width < 640 || height < 480 || width > 4096 || height > 4096) {
        std::fprintf(stderr, "size must lie between 640x480 and 4096x4096\n");
        return 2;
    }
    QDir().mkpath(outDir);
    QDir appPath(appDir);
    QTextStream out(stdout);
    for (bool three : {false, true}) {
        ClientState state;
        state.globals.AppPath = appPath.absolutePath() + u'/';
        state.globals.ParentPath = QDir(appPath.absolutePath() + QStringLiteral("/..")).absolutePath() + u'/';
        TablePainter painter(state);
        YuClock clock;
        painter.YuClockControl = &clock;
        SetUpSampleTable(painter, width, height, three);
        const QString base = QDir(outDir).filePath(three ? QStringLiteral("sample-three-hand") : QStringLiteral("sample-standard"));
        // The time bar control sits over the picture on screen; draw it in.
        QImage shot = painter.picGameBack.image().copy();
        {
            QImage bar(clock.width(), YuClock::BarHeight, QImage::Format_RGB32);
            clock.Draw(bar);
            Picture p;
            p.image() = shot;
            p.drawImage(clock.x(), clock.y(), bar);
            shot = p.image();
        }
        if (!shot.save(base + QStringLiteral(".png"))) {
            std::fprintf(stderr, "cannot write %s.png\n", qPrintable(base));
            return 1;
        }
        painter.PaintGameEnd(SampleResults());
        painter.picGameBack.image().save(base + QStringLiteral("-end.png"));
        out << base << ".png\n" << base << "-end.png\n";
    }
    return 0;
}
