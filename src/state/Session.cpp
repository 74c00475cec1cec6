#include "state/Session.h"

#include "state/Levels.h"

#include <QCoreApplication>
#include <QDir>

namespace kelpo {

namespace {

QString WithSlash(QString dir)
{
    dir.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}

} // namespace

QString ParentPathOf(const QString& appPath)
{
    QString p = appPath;
    if (p.endsWith(QLatin1Char('/')))
        p.chop(1);
    const qsizetype at = p.lastIndexOf(QLatin1Char('/'));
    if (at < 0)
        return appPath;
    return p.left(at + 1);
}

void InitSession(ClientState& state, const QString& programDir)
{
    ClientGlobals& g = state.globals;
    QString dir = programDir;
    if (dir.isEmpty())
        dir = g.AppPath;
    if (dir.isEmpty() && QCoreApplication::instance())
        dir = QCoreApplication::applicationDirPath();
    if (dir.isEmpty())
        dir = QDir::currentPath();
    g.AppPath = WithSlash(dir);
    g.ParentPath = ParentPathOf(g.AppPath);
    g.SeatViewPos.fill(0);
    state.table.StartOffered = false;
    state.table.MatchStarted = 0;
    g.LevelTable = ParseLevelTable(g.LevelTableText);
    g.UserClassNames = ClientGlobals{}.UserClassNames;
    g.QuitRequested = false;
}

void MapSeatsToView(ClientState& state)
{
    ClientGlobals& g = state.globals;
    // Before the identity arrives every free seat would match the empty name.
    if (g.ViewedUserName.isEmpty())
        return;
    for (int s = 0; s < SeatCount; ++s) {
        if (state.seats[static_cast<std::size_t>(s)].name != g.ViewedUserName)
            continue;
        g.MySeat = static_cast<std::uint8_t>(s);
        // Seat s sits at the bottom (2); the next seats follow round the table.
        static constexpr std::uint8_t ViewOfOffset[SeatCount] = {2, 3, 4, 5, 0, 1};
        for (int k = 0; k < SeatCount; ++k)
            g.SeatViewPos[static_cast<std::size_t>((s + k) % SeatCount)] = ViewOfOffset[k];
        g.IsSpectator = g.ViewedUserName != g.UserName;
        return;
    }
}

} // namespace kelpo
