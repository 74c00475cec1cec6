#include "settings/UserSet.h"

#include "platform/ResourcePath.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>

#include <array>

namespace kelpo {

namespace {

// More than five short numbers never needs this much.
constexpr qint64 MaxFileBytes = 64 * 1024;

std::array<std::uint8_t*, 5> Fields(Preferences& p)
{
    return {&p.AllowWatchCards, &p.SoundOn, &p.ShowInOutMsg, &p.AskForceQuit, &p.WarnBadPlay};
}

} // namespace

void DefaultUserSet(Preferences& prefs) { prefs = Preferences{}; }

QString UserSetSavePath()
{
    const QString home = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return home.isEmpty() ? QString() : home + QStringLiteral("/kelpo/UserSet.ini");
}

QString UserSetPath(const ClientState& state)
{
    const QString own = UserSetSavePath();
    if (!own.isEmpty() && QFileInfo(own).isFile())
        return own;
    return ResolvePath(state.globals.AppPath, QStringLiteral("UserSet.ini"));
}

void LoadUserSet(ClientState& state)
{
    Preferences read;
    QFile file(UserSetPath(state));
    if (!QFileInfo(file.fileName()).isFile() || !file.open(QIODevice::ReadOnly)) {
        DefaultUserSet(state.prefs);
        return;
    }
    const QString text = QString::fromLatin1(file.read(MaxFileBytes));
    static const QRegularExpression blanks(QStringLiteral("[ \\t\\r\\n]+"));
    const QStringList words = text.split(blanks, Qt::SkipEmptyParts);
    if (words.size() < 5) {
        DefaultUserSet(state.prefs);
        return;
    }
    const auto fields = Fields(read);
    for (std::size_t i = 0; i < fields.size(); ++i) {
        bool ok = false;
        const uint v = words[static_cast<qsizetype>(i)].toUInt(&ok, 10);
        if (!ok || v > 255) {
            DefaultUserSet(state.prefs);
            return;
        }
        *fields[i] = static_cast<std::uint8_t>(v);
    }
    state.prefs = read;
}

bool SaveUserSet(const ClientState& state)
{
    const QString path = UserSetSavePath();
    if (path.isEmpty() || !QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    Preferences copy = state.prefs;
    for (const std::uint8_t* v : Fields(copy))
        file.write(QByteArray::number(*v) + "\r\n");
    return file.commit();
}

} // namespace kelpo
