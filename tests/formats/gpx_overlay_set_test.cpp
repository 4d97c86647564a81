#include "formats/gpx_overlay_set.h"

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

class GpxOverlaySetTest : public ::testing::Test {
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
TEST_F(GpxOverlaySetTest, TickedListEndsAtTheFirstEmptyOrEndValue) {
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

TEST_F(GpxOverlaySetTest, LoadsTheTickedGpxFilesOfTheRoutesFolder) {
    const QByteArray good =
        "<gpx version=\"1.1\"><wpt lat=\"46\" lon=\"14\"/><wpt lat=\"47\" lon=\"15\"/></gpx>";
    ASSERT_TRUE(WriteRoute("b.gpx", good));
    ASSERT_TRUE(WriteRoute("A.GPX", good));
    ASSERT_TRUE(WriteRoute("broken.gpx", "<gpx><wpt></gpx>"));
    ASSERT_TRUE(WriteRoute("unticked.gpx", good));
    ASSERT_TRUE(WriteRoute("notes.txt", good));
    ASSERT_TRUE(QDir().mkpath(home_.File("Routes_POIs/folder.gpx")));
    Tick({"b.gpx", "broken.gpx", "A.GPX", "notes.txt", "folder.gpx", "gone.gpx"});

    GpxOverlaySet set;
    ASSERT_EQ(set.LoadOverlaySet(home_.Path(), *settings_), 3);
    std::vector<QString> names;
    for (const auto& overlay : set.Overlays()) {
        names.push_back(overlay->fileName);
        EXPECT_EQ(overlay->path, home_.File("Routes_POIs/" + overlay->fileName));
        ASSERT_NE(overlay->map, nullptr);
    }
    EXPECT_THAT(names, ElementsAre("A.GPX", "b.gpx", "broken.gpx"));
    const GpxOverlay& b = *set.Overlays()[1];
    EXPECT_TRUE(b.loaded);
    EXPECT_EQ(b.map->ObjectCount(), 2);
    EXPECT_EQ(b.map->north, 47.0f);
    const GpxOverlay& broken = *set.Overlays()[2];
    EXPECT_FALSE(broken.loaded) << "stays in the set and draws nothing";
    EXPECT_EQ(broken.map->ObjectCount(), 0);
    EXPECT_EQ(broken.map->Object(0), nullptr);

    // Loading again starts from an empty set.
    Tick({"b.gpx", ",,,"});
    ASSERT_EQ(set.LoadOverlaySet(home_.Path(), *settings_), 1);
    EXPECT_EQ(set.Overlays().front()->fileName, "b.gpx");
}

TEST_F(GpxOverlaySetTest, NoRoutesFolderGivesAnEmptySet) {
    Tick({"a.gpx"});
    GpxOverlaySet set;
    EXPECT_EQ(set.LoadOverlaySet(home_.File("nowhere"), *settings_), 0);
    EXPECT_TRUE(set.Overlays().empty());
}

}  // namespace
}  // namespace formats
