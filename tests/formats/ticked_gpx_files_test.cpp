#include "formats/ticked_gpx_files.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QDir>

#include "platform/program_folder.h"
#include "platform/settings_store.h"
#include "qt_print.h"
#include "temp_home.h"

namespace formats {
namespace {

using ::testing::ElementsAre;

class TickedGpxFilesTest : public ::testing::Test {
protected:
    void Tick(std::initializer_list<const char*> names) {
        int i = 0;
        for (const char* name : names) {
            settings_->Set(platform::settings::kEnabledGpxFiles, i++, QString::fromUtf8(name));
        }
    }
    bool WriteRoute(const QString& name, const QByteArray& bytes) {
        return home_.Write(QLatin1String(platform::kRoutesTail).mid(1) + u'/' + name, bytes);
    }

    TempHome home_;
    std::unique_ptr<platform::SettingsStore> settings_ =
        platform::SettingsStore::OpenForHome(home_.Path());
};

// The list ends at its first empty or ",,," value; what stands behind stays unread, as the
// values left over from a longer list would.
TEST_F(TickedGpxFilesTest, TickedListEndsAtTheFirstEmptyOrEndValue) {
    EXPECT_TRUE(EnabledGpxFiles(*settings_).isEmpty());
    Tick({"a.gpx", ",,,", "b.gpx"});
    EXPECT_EQ(EnabledGpxFiles(*settings_), QStringList{"a.gpx"});
    EXPECT_TRUE(IsGpxEnabled(*settings_, "a.gpx"));
    EXPECT_FALSE(IsGpxEnabled(*settings_, "b.gpx"));
    EXPECT_FALSE(IsGpxEnabled(*settings_, "A.gpx")) << "names compare case-sensitively";

    Tick({"a.gpx", "c.gpx", "", "b.gpx"});
    EXPECT_EQ(EnabledGpxFiles(*settings_), (QStringList{"a.gpx", "c.gpx"}));
    EXPECT_FALSE(IsGpxEnabled(*settings_, ""));
    EXPECT_FALSE(IsGpxEnabled(*settings_, ",,,"));
}

// Only ticked ".gpx" files (the extension in any case) that are files, in file name order.
TEST_F(TickedGpxFilesTest, ListsTheTickedGpxFilesOfTheRoutesFolderByName) {
    for (const char* name : {"b.gpx", "A.GPX", "broken.gpx", "unticked.gpx", "notes.txt"}) {
        ASSERT_TRUE(WriteRoute(name, "<gpx version=\"1.1\"/>"));
    }
    ASSERT_TRUE(QDir().mkpath(home_.File("Routes_POIs/folder.gpx")));
    Tick({"b.gpx", "broken.gpx", "A.GPX", "notes.txt", "folder.gpx", "gone.gpx"});

    std::vector<QString> names;
    for (const TickedGpxFile& file : TickedGpxFiles(home_.Path(), *settings_)) {
        names.push_back(file.fileName);
        EXPECT_EQ(file.path, home_.File("Routes_POIs/" + file.fileName));
    }
    EXPECT_THAT(names, ElementsAre("A.GPX", "b.gpx", "broken.gpx"));
    EXPECT_TRUE(TickedGpxFiles(home_.File("nowhere"), *settings_).empty());
}

}  // namespace
}  // namespace formats
