#include "render/map_file_style.h"

#include <gtest/gtest.h>

#include "formats/shape_model.h"
#include "platform/screen_metrics.h"
#include "platform/settings_store.h"
#include "synthetic_maps.h"
#include "temp_home.h"

namespace render {
namespace {

TEST(LabelFont, WithoutSettingsIsTimesNewRomanOfEightPoints) {
    platform::ScreenMetrics screen;
    screen.logPixelsY = 96;
    formats::ShapeFile file;
    file.labelColour = 0x123456;
    ReloadLabelFont(file, nullptr, screen);
    EXPECT_EQ(file.labelFont.Face(), "Times New Roman");
    EXPECT_EQ(file.labelFont.height, -11) << "8 × 96 ÷ 72, rounded";
    EXPECT_EQ(file.labelFont.weight, 400);
    EXPECT_EQ(file.labelFont.clipPrecision, 1);
    EXPECT_EQ(file.labelFont.quality, 5);
    EXPECT_EQ(file.labelFont.escapement, 0);
    EXPECT_EQ(file.labelColour, 0u);
    EXPECT_EQ(file.labelBackColour, 0xFFFFFFu);
    screen.logPixelsY = 192;
    ReloadLabelFont(file, nullptr, screen);
    EXPECT_EQ(file.labelFont.height, -21);
}

TEST(LabelFont, SettingsGiveTheFontAndTheDayAndNightColours) {
    TempHome home;
    auto settings = platform::SettingsStore::OpenForHome(home.Path());
    platform::LogFont stored;
    stored.height = -17;
    stored.weight = 700;
    stored.SetFace("DejaVu Sans");
    settings->Set(platform::settings::kMapLabelFont, stored);
    settings->Set(platform::settings::kMapLabelColor, 0x00112233);

    std::unique_ptr<formats::ShapeFile> file = testmaps::DemoDetailMap();
    ReloadLabelFont(*file, settings.get(), platform::ScreenMetrics{});
    EXPECT_EQ(file->labelFont, stored);
    EXPECT_EQ(file->labelColour, 0x00112233u);

    SetNight(*file, true, settings.get());
    EXPECT_EQ(file->labelColour, 0x00FFFF00u) << "night default";
    EXPECT_EQ(file->labelBackColour, 0u);
    for (const auto& level : file->levels) {
        for (const auto& shape : level->shapes) {
            EXPECT_EQ(shape->night, 1);
        }
    }
    settings->Set(platform::settings::kMapLabelColorNight, 0x00445566);
    SetNight(*file, true, settings.get());
    EXPECT_EQ(file->labelColour, 0x00445566u);
    SetNight(*file, false, settings.get());
    EXPECT_EQ(file->labelColour, 0x00112233u);
    EXPECT_EQ(file->labelBackColour, 0xFFFFFFu);
    EXPECT_EQ(file->levels[0]->shapes[0]->night, 0);
}

}  // namespace
}  // namespace render
