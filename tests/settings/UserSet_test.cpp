#include "settings/UserSet.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace kelpo;

namespace {

struct UserSetFixture : ::testing::Test {
    UserSetFixture() { state.globals.AppPath = dir.path() + QStringLiteral("/"); }
    void write(const QByteArray& bytes)
    {
        QFile f(dir.filePath(QStringLiteral("UserSet.ini")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray contents() const
    {
        QFile f(dir.filePath(QStringLiteral("UserSet.ini")));
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

TEST_F(UserSetFixture, SaveWritesOneValuePerLineAndReadsBack)
{
    state.prefs = {1, 0, 1, 0, 1};
    ASSERT_TRUE(SaveUserSet(state));
    EXPECT_EQ(contents(), QByteArray("1\r\n0\r\n1\r\n0\r\n1\r\n"));
    scramble();
    LoadUserSet(state);
    EXPECT_EQ(prefs(), (Five{1, 0, 1, 0, 1}));
}

TEST_F(UserSetFixture, FileNameIsFoundWhateverItsCase)
{
    QFile f(dir.filePath(QStringLiteral("usERset.INI")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("1 1 1 1 0");
    f.close();
    LoadUserSet(state);
    EXPECT_EQ(prefs(), (Five{1, 1, 1, 1, 0}));
    state.prefs.WarnBadPlay = 1;
    ASSERT_TRUE(SaveUserSet(state));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("UserSet.ini"))));
}

TEST_F(UserSetFixture, UnwritableFolderReportsFailure)
{
    state.globals.AppPath = dir.path() + QStringLiteral("/no/such/folder/");
    EXPECT_FALSE(SaveUserSet(state));
}
