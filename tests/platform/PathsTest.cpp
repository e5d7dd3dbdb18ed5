#include "platform/Paths.h"

#include "support/Printers.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace platform;

TEST(Paths, DriveCIsTheUserDataFolder) {
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.path().toUtf8());
    const QString data = home.path() + QStringLiteral("/charolist");
    struct Row {
        const char* stored;
        QString expected;
    } rows[] = {
        {"c:\\Skins", data + "/Skins"},
        {"C:\\Skins\\Wood.asz", data + "/Skins/Wood.asz"},
        {"c:", data},
        {"relative\\name.txt", "relative/name.txt"},
        {"/already/local", "/already/local"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(MapPath(QString::fromUtf8(row.stored)), row.expected) << row.stored;
    // A relative XDG_DATA_HOME is ignored, as the base directory rules say.
    qputenv("XDG_DATA_HOME", "not/absolute");
    EXPECT_EQ(UserDataFolder(), QDir::homePath() + "/.local/share/charolist");
    qunsetenv("XDG_DATA_HOME");
}

TEST(Paths, NamesInAFolderMatchWithoutCaseExactFirst) {
    QTemporaryDir dir;
    for (const char* name : {"OPTIONS.DAT", "Master.bmp", "master.BMP"}) {
        QFile f(dir.path() + "/" + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    EXPECT_EQ(FindInFolder(dir.path(), "Options.dat"), dir.path() + "/OPTIONS.DAT");
    EXPECT_EQ(FindInFolder(dir.path(), "master.BMP"), dir.path() + "/master.BMP");
    EXPECT_EQ(FindInFolder(dir.path(), "none.jpg"), dir.path() + "/none.jpg");
    EXPECT_TRUE(FileExists(dir.path() + "/OPTIONS.DAT"));
    EXPECT_FALSE(FileExists(dir.path()));
    EXPECT_TRUE(DirectoryExists(dir.path()));
}

TEST(Paths, MappedPathsMatchEveryNameWithoutCase) {
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.path().toUtf8());
    const QString data = home.path() + QStringLiteral("/charolist");
    QDir().mkpath(data + "/Skins/Wood");
    QFile f(data + "/Skins/Wood/Master.bmp");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    EXPECT_EQ(MapPathIgnoringCase("C:\\SKINS\\WOOD\\MASTER.BMP"), data + "/Skins/Wood/Master.bmp");
    EXPECT_EQ(MapPathIgnoringCase("c:\\skins\\none.bmp"), data + "/Skins/none.bmp");
    EXPECT_EQ(MapPathIgnoringCase("relative\\name.txt"), "relative/name.txt");
    qunsetenv("XDG_DATA_HOME");
}
