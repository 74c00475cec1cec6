#include "app/CommandLine.h"
#include "app/LaunchKey.h"
#include "app/Main.h"
#include "skin/ModalBoxes.h"
#include "state/Levels.h"
#include "state/Session.h"

#include <gtest/gtest.h>

using namespace kelpo;

namespace {

QString NineArgs(const QString& key = QString::fromLatin1(LaunchKey))
{
    return key + QStringLiteral(" 127.0.0.1 1 牌局 新手_0`高手_100 x y 张三 0");
}

struct Refusal {
    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

// Starts with the command line and returns what the error box said.
Refusal RefusedStart(const QString& commandLine, int& exitCode)
{
    Refusal seen;
    ModalBoxes::instance().setObserver([&](QWidget* w) {
        if (auto* m = qobject_cast<QMessageBox*>(w)) {
            seen = {m->windowTitle(), m->text(), m->icon()};
            m->accept();
        }
    });
    exitCode = -1;
    EXPECT_EQ(StartUp(commandLine, {}, exitCode), nullptr);
    ModalBoxes::instance().clearObserver();
    return seen;
}

} // namespace

TEST(ParseCommandLine, SplitsAtRunsOfBlanksAndTabsWithIndexZeroEmpty)
{
    const QStringList a = ParseCommandLine(QStringLiteral("  one\t\ttwo  \t three "));
    EXPECT_EQ(a, (QStringList{QString(), QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")}));
    EXPECT_EQ(ParseCommandLine(QString()), QStringList{QString()});
    EXPECT_EQ(ParseCommandLine(QStringLiteral(" \t ")), QStringList{QString()});
}

TEST(ParseCommandLine, StopsReadingAfterMaxArgsWords)
{
    const QStringList a = ParseCommandLine(QStringLiteral("1 2 3 4 5 6 7 8 9 10 11 12"), 10);
    ASSERT_EQ(a.size(), 11);
    EXPECT_EQ(a[10], QStringLiteral("10"));
    EXPECT_EQ(ParseCommandLine(QStringLiteral("a b c"), 2).size(), 3);
}

TEST(StartUp, RefusesEightAndTenArgumentsWithErrorOne)
{
    int exitCode = 0;
    const QString nine = NineArgs();
    for (const QString& line : {nine.section(QLatin1Char(' '), 0, 7), nine + QStringLiteral(" extra"),
                                nine + QStringLiteral(" 10 11"), QString()}) {
        const Refusal r = RefusedStart(line, exitCode);
        EXPECT_EQ(r.caption, QStringLiteral("游戏提示")) << line.toStdString();
        EXPECT_EQ(r.text, QStringLiteral("1号错误，无法正常启动游戏！"));
        EXPECT_EQ(r.icon, QMessageBox::Critical);
        EXPECT_EQ(exitCode, ExitWrongArgumentCount);
    }
}

TEST(StartUp, RefusesAWrongLaunchKeyWithErrorTwo)
{
    int exitCode = 0;
    for (const QString& key : {QStringLiteral("kelpo-lobby"), QStringLiteral("KELPO-LOBBY2"), QStringLiteral("x")}) {
        const Refusal r = RefusedStart(NineArgs(key), exitCode);
        EXPECT_EQ(r.caption, QStringLiteral("游戏提示"));
        EXPECT_EQ(r.text, QStringLiteral("2号错误，无法正常启动游戏！"));
        EXPECT_EQ(r.icon, QMessageBox::Critical);
        EXPECT_EQ(exitCode, ExitWrongLaunchKey);
    }
}

TEST(InitSession, FillsPathsLevelsAndClearsTheSessionFlags)
{
    ClientState s;
    s.globals.LevelTableText = QStringLiteral("新手_0`高手_100");
    s.globals.SeatViewPos = {1, 2, 3, 4, 5, 0};
    s.globals.QuitRequested = true;
    s.table.StartOffered = true;
    s.table.MatchStarted = 1;
    s.globals.UserClassNames[0] = QStringLiteral("changed");
    InitSession(s, QStringLiteral("/opt/game/bin"));
    EXPECT_EQ(s.globals.AppPath, QStringLiteral("/opt/game/bin/"));
    EXPECT_EQ(s.globals.ParentPath, QStringLiteral("/opt/game/"));
    EXPECT_EQ(s.globals.SeatViewPos, (std::array<std::uint8_t, 6>{}));
    EXPECT_FALSE(s.globals.QuitRequested);
    EXPECT_FALSE(s.table.StartOffered);
    EXPECT_EQ(s.table.MatchStarted, 0);
    EXPECT_EQ(s.globals.UserClassNames[0], QStringLiteral("普通用户"));
    ASSERT_EQ(s.globals.LevelTable.size(), 2u);
    EXPECT_EQ(s.globals.LevelTable[1], (LevelEntry{100, QStringLiteral("高手")}));

    // Called again later without a folder: the program's folder stays.
    InitSession(s);
    EXPECT_EQ(s.globals.AppPath, QStringLiteral("/opt/game/bin/"));
    InitSession(s, QStringLiteral("/"));
    EXPECT_EQ(s.globals.AppPath, QStringLiteral("/"));
    EXPECT_EQ(s.globals.ParentPath, QStringLiteral("/"));
}

TEST(Levels, ParseAndLookUpWithThresholdsBelongingToTheirLevel)
{
    const auto table = ParseLevelTable(QStringLiteral("a_0`b_100`c_500"));
    const std::pair<int, const char*> cases[] = {{-5, "a"}, {0, "a"}, {99, "a"}, {100, "b"},
                                                 {499, "b"}, {500, "c"}, {2147483647, "c"}};
    for (const auto& [score, name] : cases)
        EXPECT_EQ(LevelName(table, score), QString::fromLatin1(name)) << score;
    EXPECT_EQ(LevelName({}, 5), QStringLiteral("未知级别"));
    EXPECT_TRUE(ParseLevelTable(QString()).empty());

    const auto odd = ParseLevelTable(QStringLiteral("plain`x_y`_7`z_99999999999"));
    ASSERT_EQ(odd.size(), 4u);
    EXPECT_EQ(odd[0], (LevelEntry{0, QStringLiteral("plain")}));
    EXPECT_EQ(odd[1], (LevelEntry{0, QStringLiteral("x")}));
    EXPECT_EQ(odd[2], (LevelEntry{7, QString()}));
    EXPECT_EQ(odd[3].threshold, 2147483647);
}

TEST(MapSeatsToView, PutsTheViewedSeatAtTheBottom)
{
    ClientState s;
    s.globals.UserName = QStringLiteral("me");
    s.globals.ViewedUserName = QStringLiteral("p4");
    s.seats[4].name = QStringLiteral("p4");
    MapSeatsToView(s);
    EXPECT_EQ(s.globals.MySeat, 4);
    EXPECT_EQ(s.globals.SeatViewPos, (std::array<std::uint8_t, 6>{4, 5, 0, 1, 2, 3}));
    EXPECT_TRUE(s.globals.IsSpectator);

    s.globals.ViewedUserName = QStringLiteral("nobody");
    MapSeatsToView(s);
    EXPECT_EQ(s.globals.MySeat, 4);

    // Before the identity arrives a free seat must not be taken for ours.
    s.globals.ViewedUserName.clear();
    MapSeatsToView(s);
    EXPECT_EQ(s.globals.MySeat, 4);

    s.seats[0].name = QStringLiteral("me");
    s.globals.ViewedUserName = QStringLiteral("me");
    MapSeatsToView(s);
    EXPECT_EQ(s.globals.MySeat, 0);
    EXPECT_EQ(s.globals.SeatViewPos, (std::array<std::uint8_t, 6>{2, 3, 4, 5, 0, 1}));
    EXPECT_FALSE(s.globals.IsSpectator);
}
