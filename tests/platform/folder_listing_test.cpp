#include "platform/folder_listing.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <QDateTime>
#include <QDir>
#include <QFile>

#include <map>

#include "temp_home.h"

namespace platform {
namespace {

std::map<QString, FolderEntry> ListByName(const QString& folder) {
    std::map<QString, FolderEntry> byName;
    const auto entries = ListFolder(folder);
    if (entries) {
        for (const FolderEntry& entry : *entries) {
            byName.emplace(entry.name, entry);
        }
    }
    return byName;
}

TEST(ListFolder, OnlyPlainDirectoriesCarryTheWord16) {
    TempHome home;
    ASSERT_TRUE(home.IsValid());
    QDir root(home.Path());
    ASSERT_TRUE(root.mkdir("plain"));
    ASSERT_TRUE(root.mkdir(".hidden"));
    ASSERT_TRUE(root.mkdir("locked"));
    ASSERT_EQ(chmod(QFile::encodeName(home.File("locked")).constData(), 0555), 0);
    ASSERT_TRUE(QFile::link(home.File("plain"), home.File("linked")));
    ASSERT_TRUE(home.Write("map.vl", "12345"));
    ASSERT_TRUE(QFile::link(home.File("missing"), home.File("dangling")));

    const auto byName = ListByName(home.Path());
    ASSERT_EQ(byName.size(), 6u) << "no '.' and '..'";
    EXPECT_EQ(byName.at("plain").attributes, kAttrDirectory);
    EXPECT_NE(byName.at(".hidden").attributes, kAttrDirectory);
    EXPECT_TRUE(byName.at(".hidden").attributes & kAttrHidden);
    EXPECT_NE(byName.at("locked").attributes, kAttrDirectory);
    EXPECT_TRUE(byName.at("locked").attributes & kAttrReadOnly);
    EXPECT_NE(byName.at("linked").attributes, kAttrDirectory);
    EXPECT_TRUE(byName.at("linked").attributes & kAttrReparsePoint);
    EXPECT_TRUE(byName.at("linked").attributes & kAttrDirectory);
    EXPECT_EQ(byName.at("map.vl").attributes & kAttrDirectory, 0u);
    EXPECT_EQ(byName.at("map.vl").sizeBytes, 5u);
    EXPECT_EQ(byName.at("dangling").attributes & kAttrDirectory, 0u);

    chmod(QFile::encodeName(home.File("locked")).constData(), 0755);
}

TEST(ListFolder, CreationTimeIsAFileTimeOfNow) {
    TempHome home;
    ASSERT_TRUE(home.Write("a.vl", "x"));
    const auto byName = ListByName(home.Path());
    ASSERT_EQ(byName.count("a.vl"), 1u);
    const int64_t createdSeconds =
        int64_t((byName.at("a.vl").created.ticks - kUnixEpochTicks) / kTicksPerSecond);
    EXPECT_LE(std::abs(createdSeconds - QDateTime::currentSecsSinceEpoch()), 5);
}

TEST(ListFolder, AMissingFolderCannotBeListed) {
    TempHome home;
    EXPECT_FALSE(ListFolder(home.File("nothing-here")));
    EXPECT_TRUE(ListFolder(home.Path()));
    EXPECT_TRUE(ListFolder(home.Path())->empty());
}

}  // namespace
}  // namespace platform
