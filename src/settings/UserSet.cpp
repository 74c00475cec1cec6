#include "settings/UserSet.h"

#include "platform/FileBytes.h"
#include "platform/ResourcePath.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <array>

namespace kelpo {

namespace {

// More than five short numbers never needs this much.
constexpr qint64 MaxFileBytes = 64 * 1024;

// The words between blanks, tabs and line ends; any other character, other
// white space included, belongs to a word. Split by hand: the client reads
// this file while it starts, and a regular expression would load and compile
// its engine for it.
QStringList BlankSeparatedWords(const QString& text)
{
    QStringList words;
    qsizetype start = -1;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        const bool blank = i == text.size() || text[i] == u' ' || text[i] == u'\t' || text[i] == u'\r'
            || text[i] == u'\n';
        if (!blank && start < 0)
            start = i;
        else if (blank && start >= 0) {
            words << text.mid(start, i - start);
            start = -1;
        }
    }
    return words;
}

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
    const QString text = QString::fromLatin1(ReadAtMost(file, MaxFileBytes));
    const QStringList words = BlankSeparatedWords(text);
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
