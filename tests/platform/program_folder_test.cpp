#include "platform/program_folder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "temp_home.h"

namespace platform {
namespace {

TEST(FolderOfPath, CutsBeforeTheLastSeparator) {
    EXPECT_EQ(FolderOfPath("/opt/velmora/bin/velmora"), "/opt/velmora/bin");
    EXPECT_EQ(FolderOfPath("/velmora"), "");
    EXPECT_EQ(FolderOfPath("velmora"), "/");
    EXPECT_EQ(FolderOfPath(""), "/");
    // Tails are appended as they stand, so a bare "/" doubles the separator.
    EXPECT_EQ(FolderOfPath("velmora") + kMapsTail, "//Maps");
}

TEST(ResolveProgramFolder, HomeOptionComesFirst) {
    TempHome exeFolder;
    TempHome home;
    EXPECT_EQ(ResolveProgramFolder(home.Path(), exeFolder.File("velmora")), home.Path());
    // A relative home is made absolute.
    const QString relative = QDir::current().relativeFilePath(home.Path());
    EXPECT_EQ(ResolveProgramFolder(relative, exeFolder.File("velmora")), home.Path());
}

TEST(ResolveProgramFolder, WritableExecutableFolderIsAPortableInstall) {
    TempHome exeFolder;
    EXPECT_EQ(ResolveProgramFolder(QString(), exeFolder.File("velmora")), exeFolder.Path());
    EXPECT_EQ(
        QDir(exeFolder.Path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
        QStringList())
        << "the write probe leaves nothing behind";
}

TEST(ResolveProgramFolder, ReadOnlyExecutableFolderUsesTheUserDataLocation) {
    // root may write into any folder its mode forbids; /proc refuses everyone.
    TempHome exeFolder;
    QString readOnly = exeFolder.Path();
    if (geteuid() == 0) {
        readOnly = QStringLiteral("/proc");
    } else {
        ASSERT_EQ(chmod(QFile::encodeName(readOnly).constData(), 0555), 0);
    }
    const QString expected =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/Velmora";
    EXPECT_EQ(ResolveProgramFolder(QString(), readOnly + "/velmora"), expected);
    EXPECT_TRUE(expected.startsWith(QDir::homePath())) << "tests run in a sandboxed HOME";
    chmod(QFile::encodeName(exeFolder.Path()).constData(), 0755);
}

TEST(ResolveProgramFolder, AFolderUnderASystemPrefixIsNeverTheDataHome) {
    // Run as root, /usr/bin takes files: a system install must still keep its data elsewhere.
    const QString expected =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/Velmora";
    for (const char* executable : {"/usr/bin/velmora", "/usr/local/bin/velmora", "/bin/velmora",
                                   "/sbin/velmora", "/opt/velmora/velmora", "/snap/bin/velmora"}) {
        EXPECT_EQ(ResolveProgramFolder(QString(), executable), expected) << executable;
    }
    // A portable install named by a relative path is an absolute data home all the same.
    TempHome exeFolder;
    const QString relative = QDir::current().relativeFilePath(exeFolder.File("velmora"));
    EXPECT_EQ(ResolveProgramFolder(QString(), relative), exeFolder.Path());
}

TEST(CreateProgramFolders, MakesTheThreeDataFolders) {
    TempHome home;
    const QString folder = home.File("new/home");
    CreateProgramFolders(folder);
    EXPECT_TRUE(QFileInfo(folder + kMapsTail).isDir());
    EXPECT_TRUE(QFileInfo(folder + kPoiTail).isDir());
    EXPECT_TRUE(QFileInfo(folder + kRoutesTail).isDir());
    CreateProgramFolders(folder);  // existing folders are fine
    EXPECT_TRUE(QFileInfo(folder + kMapsTail).isDir());
}

TEST(CreateProgramFolders, IgnoresFoldersThatCannotBeMade) {
    TempHome home;
    ASSERT_TRUE(home.Write("Maps", "a file where the folder should be"));
    CreateProgramFolders(home.Path());
    EXPECT_TRUE(QFileInfo(home.File("Maps")).isFile());
    EXPECT_TRUE(QFileInfo(home.File("POI")).isDir());
    EXPECT_TRUE(QFileInfo(home.File("Routes_POIs")).isDir());
}

TEST(ProgramFolder, IsWhatStartUpSet) {
    SetProgramFolder("/data/velmora");
    EXPECT_EQ(ProgramFolder(), "/data/velmora");
    EXPECT_EQ(ProgramFolder() + kTraceTail, "/data/velmora/Debug.dbg");
}

}  // namespace
}  // namespace platform
