#include "app/velmora_app.h"

#include <gtest/gtest.h>

#include <QFileInfo>

#include "platform/message_box.h"
#include "platform/program_folder.h"
#include "platform/trace.h"
#include "platform/xml_library.h"
#include "poi/gpx_writer.h"
#include "temp_home.h"

namespace app {
namespace {

namespace keys = platform::settings;

// Records message boxes instead of showing them, for one test.
class RecordedMessages {
public:
    RecordedMessages() {
        previous_ =
            platform::SetMessageBoxHandler([this](const QString& text) { texts.push_back(text); });
    }
    ~RecordedMessages() { platform::SetMessageBoxHandler(std::move(previous_)); }
    std::vector<QString> texts;

private:
    platform::MessageBoxHandler previous_;
};

StartOptions OptionsFor(const TempHome& home, const char* screen = "240x320@53x71") {
    StartOptions options;
    options.executablePath = QStringLiteral("/nonexistent/bin/velmora");
    options.home = home.Path();
    options.screen = platform::ScreenMetrics::Parse(QString::fromLatin1(screen));
    return options;
}

TEST(VelmoraApp, StartPreparesTheDataHome) {
    TempHome home;
    RecordedMessages messages;
    VelmoraApp velmora(OptionsFor(home));
    ASSERT_TRUE(velmora.Prepare());
    EXPECT_TRUE(messages.texts.empty());

    EXPECT_EQ(velmora.programFolder(), home.Path());
    EXPECT_EQ(platform::ProgramFolder(), home.Path());
    EXPECT_EQ(velmora.mapsFolder(), home.File("Maps"));
    EXPECT_EQ(velmora.routesFolder(), home.File("Routes_POIs"));
    EXPECT_TRUE(QFileInfo(home.File("Maps")).isDir());
    EXPECT_TRUE(QFileInfo(home.File("POI")).isDir());
    EXPECT_TRUE(QFileInfo(home.File("Routes_POIs")).isDir());
    EXPECT_EQ(platform::TracePath(), home.File("Debug.dbg"));
    EXPECT_FALSE(QFileInfo::exists(home.File("Debug.dbg"))) << "the trace writes nothing";

    ASSERT_NE(velmora.settings(), nullptr);
    EXPECT_EQ(velmora.settings()->FilePath(), home.File("Velmora.conf"));
}

TEST(VelmoraApp, StartCompletesARouteACrashCutOff) {
    TempHome home;
    const QByteArray header = poi::GpxHeader(platform::SystemTime{}) + poi::kRouteStartLine;
    const QByteArray point = poi::RoutePointLines(41.0f, 23.0f, 5.0f);
    ASSERT_TRUE(home.Write("Routes_POIs/2008_1_15__9_5.gpx", header + point + "<rtept"));
    VelmoraApp velmora(OptionsFor(home));
    ASSERT_TRUE(velmora.Prepare());
    QFile route(home.File("Routes_POIs/2008_1_15__9_5.gpx"));
    ASSERT_TRUE(route.open(QIODevice::ReadOnly));
    EXPECT_EQ(route.readAll(), header + point + poi::kRouteEndLines);
}

TEST(VelmoraApp, FirstStartReadsTheDefaults) {
    TempHome home;
    VelmoraApp velmora(OptionsFor(home));
    ASSERT_TRUE(velmora.Prepare());
    const platform::SettingsStore& settings = *velmora.settings();
    EXPECT_FLOAT_EQ(settings.GetFloat(keys::kLastLat), 41.164673f);
    EXPECT_FLOAT_EQ(settings.GetFloat(keys::kLastLon), 23.267757f);
    EXPECT_FLOAT_EQ(settings.GetFloat(keys::kLastZoom), 0.485807f);
    EXPECT_EQ(settings.Get(keys::kFullScreen), 1u);
}

TEST(VelmoraApp, AFailedXmlStartEndsTheProgramWithItsMessage) {
    TempHome home;
    RecordedMessages messages;
    const platform::XmlLibraryStarter previous =
        platform::SetXmlLibraryStarter([] { return false; });
    VelmoraApp velmora(OptionsFor(home));
    EXPECT_FALSE(velmora.Prepare());
    platform::SetXmlLibraryStarter(previous);
    ASSERT_EQ(messages.texts.size(), 1u);
    EXPECT_EQ(messages.texts.front(), "MSXML ERROR INI");
    // Folders and settings come before the XML start.
    EXPECT_TRUE(QFileInfo(home.File("Routes_POIs")).isDir());
    EXPECT_EQ(velmora.buildYear(), 0) << "the build date is read after the XML start";
}

TEST(VelmoraApp, BuildDateGivesYearAndDayNumber) {
    TempHome home;
    VelmoraApp velmora(OptionsFor(home));
    velmora.SetBuildDateText("Dec 31 2008");
    ASSERT_TRUE(velmora.Prepare());
    EXPECT_EQ(velmora.buildYear(), 2008);
    EXPECT_EQ(velmora.buildDayNumber(), 1231);
}

TEST(VelmoraApp, LargeScreenFlagFromTheWorkArea) {
    struct Case {
        const char* screen;
        int flag;
    };
    for (const Case& c :
         {Case{"240x320", 0}, Case{"320x240", 0}, Case{"480x640", 1}, Case{"640x480", 1},
          Case{"241x321", 1}, Case{"241x320", 0}, Case{"800x240", 0}}) {
        TempHome home;
        VelmoraApp velmora(OptionsFor(home, c.screen));
        ASSERT_TRUE(velmora.Prepare());
        EXPECT_EQ(velmora.largeScreen(), c.flag) << c.screen;
    }
    EXPECT_EQ(LargeScreenFlag(321, 241), 1);
    EXPECT_EQ(LargeScreenFlag(0, 0), 0);
}

TEST(VelmoraApp, WithoutAScreenOptionTheQtScreenIsUsed) {
    TempHome home;
    StartOptions options = OptionsFor(home);
    options.screen.reset();
    VelmoraApp velmora(options);
    ASSERT_TRUE(velmora.Prepare());
    EXPECT_EQ(velmora.screen(), platform::ScreenMetrics::FromPrimaryScreen());
}

}  // namespace
}  // namespace app
