#include "platform/ResourcePath.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace kelpo;

namespace {

class ResourcePathTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        root = dir.path() + "/";
        ASSERT_TRUE(QDir().mkpath(root + "app/Res/ResPk"));
        touch(root + "app/Res/ResPk/Pk0.bmp");
        touch(root + "app/Res/BuChu.bmp");
        ASSERT_TRUE(QDir().mkpath(root + "UserRes/LargeUser"));
        touch(root + "UserRes/LargeUser/1.ico");
    }
    static void touch(const QString& path)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("x");
    }
    QTemporaryDir dir;
    QString root;
};

} // namespace

TEST_F(ResourcePathTest, BackslashesAndAnyCaseFindTheFile)
{
    const QString appPath = root + "app\\";
    EXPECT_EQ(ResolvePath(appPath + "Res\\ResPk\\Pk0.bmp"), root + "app/Res/ResPk/Pk0.bmp");
    EXPECT_EQ(ResolvePath(appPath + "res\\RESPK\\pk0.BMP"), root + "app/Res/ResPk/Pk0.bmp");
    EXPECT_EQ(ResolvePath(appPath, "RES\\buchu.bmp"), root + "app/Res/BuChu.bmp");
    EXPECT_EQ(ResolvePath(root + "app", "\\Res/BuChu.bmp"), root + "app/Res/BuChu.bmp");
    EXPECT_TRUE(ResourceExists(root + "userres\\largeuser\\1.ICO"));
    // The parent directory is reached through "..".
    EXPECT_TRUE(ResourceExists(appPath + "..\\UserRes\\LargeUser\\1.ico"));
}

TEST_F(ResourcePathTest, MissingFilesStayMissing)
{
    EXPECT_FALSE(ResourceExists(root + "app\\Res\\Nope.bmp"));
    EXPECT_FALSE(ResourceExists(root + "app\\Nope\\BuChu.bmp"));
    EXPECT_EQ(ResolvePath(root + "app\\Res\\Nope.bmp"), root + "app/Res/Nope.bmp");
    // A folder is not a resource file.
    EXPECT_FALSE(ResourceExists(root + "app\\res"));
    EXPECT_FALSE(ResourceExists(QString()));
}

TEST_F(ResourcePathTest, FoldersDifferingOnlyInCaseAreAllSearched)
{
    // The pack has both "Res" and "res", one folder where the names came from.
    ASSERT_TRUE(QDir().mkpath(root + "app/res"));
    touch(root + "app/res/VSpliterBk.bmp");
    touch(root + "app/res/BuChu.bmp");
    EXPECT_EQ(ResolvePath(root + "app\\", "Res\\VSpliterBk.bmp"), root + "app/res/VSpliterBk.bmp");
    EXPECT_EQ(ResolvePath(root + "app", "RES\\ResPk\\Pk0.bmp"), root + "app/Res/ResPk/Pk0.bmp");
    EXPECT_EQ(ResolvePath(root + "app\\Res\\VSpliterBk.bmp"), root + "app/res/VSpliterBk.bmp");
    // A file in both: the exact name still wins.
    EXPECT_EQ(ResolvePath(root + "app\\res\\BuChu.bmp"), root + "app/res/BuChu.bmp");
    EXPECT_EQ(ResolvePath(root + "app\\Res\\BuChu.bmp"), root + "app/Res/BuChu.bmp");
}
