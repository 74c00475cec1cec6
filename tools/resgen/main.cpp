// kelpo-resgen: draws the client's resource pack.
//
//   kelpo-resgen --out ROOT                 files below ROOT/bin and ROOT
//   kelpo-resgen --app DIR --parent DIR     the two folders named apart
//   kelpo-resgen --contact-sheet FILE.png   also (or only) the overview picture
//   kelpo-resgen --icon FILE.png            also (or only) the program's icon, 128 x 128

#include "Art.h"
#include "platform/Fonts.h"

#include <QGuiApplication>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdio>

using namespace kelpo::resgen;

namespace {

int Usage()
{
    std::fprintf(stderr, "usage: kelpo-resgen [--out ROOT | --app DIR --parent DIR] "
                         "[--contact-sheet FILE.png] [--icon FILE.png]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt wants a private runtime folder even offscreen; a build has none.
    QTemporaryDir runtime;
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR") && runtime.isValid())
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    QGuiApplication app(argc, argv);
    QString appDir, parentDir, sheet, icon;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        if (i + 1 >= args.size())
            return Usage();
        const QString v = args[++i];
        if (a == "--out") {
            parentDir = v;
            appDir = v + "/bin";
        } else if (a == "--app") {
            appDir = v;
        } else if (a == "--parent") {
            parentDir = v;
        } else if (a == "--contact-sheet") {
            sheet = v;
        } else if (a == "--icon") {
            icon = v;
        } else {
            return Usage();
        }
    }
    if (appDir.isEmpty() != parentDir.isEmpty() || (appDir.isEmpty() && sheet.isEmpty() && icon.isEmpty()))
        return Usage();

    // The pictures name font families directly; pinning keeps any text drawn
    // with the client's two family names on the same faces.
    kelpo::PinFontFamilies();
    Pack pack;
    BuildPack(pack);
    if (!appDir.isEmpty()) {
        QString error;
        if (!pack.write(appDir, parentDir, &error)) {
            std::fprintf(stderr, "kelpo-resgen: %s\n", qPrintable(error));
            return 1;
        }
    }
    if (!sheet.isEmpty() && !ContactSheet(pack).save(sheet, "PNG")) {
        std::fprintf(stderr, "kelpo-resgen: cannot write %s\n", qPrintable(sheet));
        return 1;
    }
    if (!icon.isEmpty() && !AppIcon(128).save(icon, "PNG")) {
        std::fprintf(stderr, "kelpo-resgen: cannot write %s\n", qPrintable(icon));
        return 1;
    }
    return 0;
}
