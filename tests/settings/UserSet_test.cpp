#include "settings/UserSet.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace kelpo;

namespace {

struct UserSetFixture : ::testing::Test {
    UserSetFixture()
    {
        state.globals.AppPath = dir.path() + QStringLiteral("/");
        qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    }
    // Next to the program unless a path below the configuration home is given.
    void write(const QByteArray& bytes, const QString& path = QString())
    {
        QFile f(path.isEmpty() ? dir.filePath(QStringLiteral("UserSet.ini")) : path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QString ownFile() const { return config.filePath(QStringLiteral("kelpo/UserSet.ini")); }
    QByteArray contents() const
    {
        QFile f(ownFile());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    std::array<int, 5> prefs() const
    {
        const Preferences& p = state.prefs;
        return {p.AllowWatchCards, p.SoundOn, p.ShowInOutMsg, p.AskForceQuit, p.WarnBadPlay};
    }
    void scramble()
    {
        state.prefs = {9, 9, 9, 9, 9};
    }

    QTemporaryDir dir;
    QTemporaryDir config;
    ClientState state;
};

using Five = std::array<int, 5>;

} // namespace

TEST_F(UserSetFixture, MissingFileGivesTheDefaults)
{
    scramble();
    LoadUserSet(state);
    EXPECT_EQ(prefs(), (Five{0, 1, 1, 1, 1}));
}

TEST_F(UserSetFixture, ReadsFiveNumbersSeparatedByBlanksOrLineEnds)
{
    write("1\r\n0 \t 1\n\n0\r\n255 trailing words ignored");
    LoadUserSet(state);
    EXPECT_EQ(prefs(), (Five{1, 0, 1, 0, 255}));
}

TEST_F(UserSetFixture, AnyDamageGivesAllDefaultsNotAPartialRead)
{
    const char* damaged[] = {"1\r\n0\r\n0\r\n", "1 0 0 0 256", "1 0 0 -1 0", "1 0 x 0 0",
                             "1 0 0.5 0 0", "", "\xff\xfe\x00\x01"};
    for (const char* bytes : damaged) {
        write(QByteArray(bytes));
        scramble();
        LoadUserSet(state);
        EXPECT_EQ(prefs(), (Five{0, 1, 1, 1, 1})) << bytes;
    }
}

TEST_F(UserSetFixture, SaveGoesToTheUsersFolderWhichIsReadBeforeTheProgramsFile)
{
    write("1 1 1 1 1");
    state.prefs = {1, 0, 1, 0, 1};
    ASSERT_TRUE(SaveUserSet(state));
    EXPECT_EQ(contents(), QByteArray("1\r\n0\r\n1\r\n0\r\n1\r\n"));
    EXPECT_EQ(UserSetPath(state), ownFile());
    scramble();
    LoadUserSet(state);
    EXPECT_EQ(prefs(), (Five{1, 0, 1, 0, 1}));
    // The program's own file is left as it was.
    QFile old(dir.filePath(QStringLiteral("UserSet.ini")));
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), QByteArray("1 1 1 1 1"));
}

TEST_F(UserSetFixture, FileNextToTheProgramIsFoundWhateverItsCase)
{
    QFile f(dir.filePath(QStringLiteral("usERset.INI")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("1 1 1 1 0");
    f.close();
    LoadUserSet(state);
    EXPECT_EQ(prefs(), (Five{1, 1, 1, 1, 0}));
}

TEST_F(UserSetFixture, UnwritableFolderReportsFailure)
{
    // The configuration home is a file, so no folder can be made in it.
    write("x", config.filePath(QStringLiteral("home")));
    qputenv("XDG_CONFIG_HOME", config.filePath(QStringLiteral("home")).toLocal8Bit());
    state.prefs = {1, 0, 1, 0, 1};
    EXPECT_FALSE(SaveUserSet(state));
}
