#include "platform/settings_store.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>

#include "platform/color.h"
#include "platform/screen_metrics.h"
#include "temp_home.h"

namespace platform {
namespace {

namespace keys = settings;

TEST(SettingsStore, AnEmptyStoreReadsEveryDefault) {
    TempHome home;
    auto store = SettingsStore::OpenForHome(home.Path());
    EXPECT_EQ(store->Get(keys::kLastLat), "41.164673");
    EXPECT_EQ(store->Get(keys::kLastLon), "23.267757");
    EXPECT_EQ(store->Get(keys::kLastZoom), "0.485807");
    EXPECT_FLOAT_EQ(store->GetFloat(keys::kLastZoom), 0.485807f);
    EXPECT_EQ(store->Get(keys::kFullScreen), 1u);
    EXPECT_FALSE(store->Get(keys::kSpeedFont));
    EXPECT_FALSE(store->Get(keys::kPoiAnnounceFont));
    EXPECT_FALSE(store->Get(keys::kMapLabelFont));
    EXPECT_EQ(store->Get(keys::kPoiAnnounceMaxDistance1), "1.0");
    EXPECT_EQ(store->Get(keys::kPoiAnnounceMaxDistance2), "0.2");
    EXPECT_EQ(store->Get(keys::kMapBackColor), SystemWindowColor());
    EXPECT_EQ(store->Get(keys::kMapLabelColor), 0u);
    EXPECT_EQ(store->Get(keys::kMapLabelColorNight), 0x00FFFF00u);
    EXPECT_EQ(store->Get(keys::kEnabledGpxFiles, 0), "");
    EXPECT_EQ(store->Get(keys::kEnabledPoiFiles, 0), "");
    EXPECT_FALSE(QFileInfo::exists(store->FilePath())) << "reading writes nothing";
}

TEST(SettingsStore, KeepsValuesInTheHomeFileAcrossOpenings) {
    TempHome home;
    LogFont font = BuiltInFont(18, 800, ScreenMetrics{});
    {
        auto store = SettingsStore::OpenForHome(home.Path());
        EXPECT_EQ(store->FilePath(), home.File("Velmora.conf"));
        store->SetFloat(keys::kLastLat, 37.9);
        store->Set(keys::kFullScreen, 0);
        store->Set(keys::kMapLabelColorNight, 0x00123456);
        store->Set(keys::kPoiAnnounceFont, font);
        store->Set(keys::kEnabledGpxFiles, 0, QStringLiteral("Ζαγόρι & Μέτσοβο.gpx"));
        store->Set(keys::kEnabledGpxFiles, 1, QString::fromLatin1(keys::kListEnd));
        store->WriteString("SETTINGS/SHAPE", "MAPBACKCOLOR", "0x00F0E0D0");
    }
    auto store = SettingsStore::OpenForHome(home.Path());
    EXPECT_EQ(store->Get(keys::kLastLat), "37.900000");
    EXPECT_FLOAT_EQ(store->GetFloat(keys::kLastLat), 37.9f);
    EXPECT_EQ(store->Get(keys::kFullScreen), 0u);
    EXPECT_EQ(store->Get(keys::kMapLabelColorNight), 0x00123456u);
    EXPECT_EQ(store->Get(keys::kMapBackColor), 0x00F0E0D0u) << "hexadecimal as written by hand";
    ASSERT_TRUE(store->Get(keys::kPoiAnnounceFont));
    EXPECT_EQ(*store->Get(keys::kPoiAnnounceFont), font);
    EXPECT_EQ(store->Get(keys::kEnabledGpxFiles, 0), QStringLiteral("Ζαγόρι & Μέτσοβο.gpx"));
    EXPECT_EQ(store->Get(keys::kEnabledGpxFiles, 1), ",,,");

    const QString ini = QString::fromUtf8([&] {
        QFile file(home.File("Velmora.conf"));
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    }());
    EXPECT_TRUE(ini.contains("[STATUS]"));
    EXPECT_TRUE(ini.contains("LASTLAT=37.900000"));
    EXPECT_TRUE(ini.contains("GPX\\YESGPX0=") || ini.contains("[STATUS/GPX]") ||
                ini.contains("GPX/YESGPX0"));
}

TEST(SettingsStore, AFontOfAnotherSizeReadsAsMissing) {
    TempHome home;
    auto store = SettingsStore::OpenForHome(home.Path());
    const QByteArray font = BuiltInFont(24, 800, ScreenMetrics{}).ToBytes();
    store->WriteBytes("SETTINGS", "SPEEDFONT", font.left(91));
    EXPECT_FALSE(store->Get(keys::kSpeedFont));
    store->WriteBytes("SETTINGS", "SPEEDFONT", font + "x");
    EXPECT_FALSE(store->Get(keys::kSpeedFont));
    store->WriteString("SETTINGS", "SPEEDFONT", "Tahoma");
    EXPECT_FALSE(store->Get(keys::kSpeedFont)) << "text is no font";
    store->WriteBytes("SETTINGS", "SPEEDFONT", font);
    EXPECT_TRUE(store->Get(keys::kSpeedFont));
}

TEST(SettingsStore, NumbersThatDoNotParse) {
    TempHome home;
    ASSERT_TRUE(home.Write("Velmora.conf",
                           "[STATUS]\nLASTLAT=north\nLASTLON=nan\nLASTZOOM=\" 1.5km\"\n"
                           "FULLSCREEN=yes\n[SETTINGS]\nPOIANNOUNCEMAXDIS1=1,5\n"));
    auto store = SettingsStore::OpenForHome(home.Path());
    EXPECT_EQ(store->GetFloat(keys::kLastLat), 0.0f);
    EXPECT_EQ(store->GetFloat(keys::kLastLon), 0.0f);
    EXPECT_EQ(store->GetFloat(keys::kLastZoom), 1.5f);
    EXPECT_EQ(store->Get(keys::kFullScreen), 1u) << "a DWORD that is no number is missing";
    EXPECT_EQ(store->Get(keys::kPoiAnnounceMaxDistance1), "1,5") << "commas are text";
}

TEST(SettingsStore, AFileThatIsNotIniGivesDefaultsAndIsKept) {
    TempHome home;
    const QByteArray garbage("\x89PNG\r\n\x1a\n[STATUS\nLASTLAT=1.0\n\xff\xfe[[[===\n", 38);
    ASSERT_TRUE(home.Write("Velmora.conf", garbage));
    auto store = SettingsStore::OpenForHome(home.Path());
    EXPECT_TRUE(store->RecoveredFromBadFile());
    EXPECT_EQ(store->Get(keys::kLastLat), "41.164673");
    EXPECT_EQ(store->Get(keys::kFullScreen), 1u);
    QFile aside(home.File("Velmora.conf.bad"));
    ASSERT_TRUE(aside.open(QIODevice::ReadOnly));
    EXPECT_EQ(aside.readAll(), garbage);

    store->Set(keys::kFullScreen, 0);
    EXPECT_TRUE(store->Sync());
    EXPECT_EQ(SettingsStore::OpenForHome(home.Path())->Get(keys::kFullScreen), 0u);
}

TEST(SettingsStore, NumberedListsAreReadOneValueAtATime) {
    TempHome home;
    auto store = SettingsStore::OpenForHome(home.Path());
    store->Set(keys::kEnabledPoiFiles, 0, "a.poi");
    store->Set(keys::kEnabledPoiFiles, 1, "c.poi");
    store->Set(keys::kEnabledPoiFiles, 2, ",,,");
    EXPECT_EQ(store->Get(keys::kEnabledPoiFiles, 1), "c.poi");
    EXPECT_EQ(store->Get(keys::kEnabledPoiFiles, 2), ",,,");
    EXPECT_EQ(store->Get(keys::kEnabledPoiFiles, 3), "");
    EXPECT_EQ(store->GetString("STATUS/POI", "YESPOIS0", "x"), "a.poi");
    EXPECT_EQ(store->Get(keys::kEnabledGpxFiles, 0), "") << "sections are separate";
}

}  // namespace
}  // namespace platform
