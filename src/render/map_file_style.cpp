#include "render/map_file_style.h"

#include "formats/shape_model.h"
#include "platform/mul_div.h"
#include "platform/screen_metrics.h"
#include "platform/settings_keys.h"
#include "platform/settings_store.h"

namespace render {
namespace {

constexpr int kDefaultLabelPoints = 8;
constexpr int kDefaultLabelWeight = 400;
constexpr uint8_t kDefaultLabelClipPrecision = 1;
constexpr uint8_t kDefaultLabelQuality = 5;

platform::ColorRef ColourSetting(const platform::SettingsStore* settings,
                                 const platform::settings::ColorKey& key) {
    return settings ? settings->Get(key) : key.defaultValue.value_or(0);
}

}  // namespace

platform::LogFont DefaultLabelFont(const platform::ScreenMetrics& screen) {
    platform::LogFont font;
    font.height = -platform::MulDiv(kDefaultLabelPoints, screen.logPixelsY, 72);
    font.weight = kDefaultLabelWeight;
    font.clipPrecision = kDefaultLabelClipPrecision;
    font.quality = kDefaultLabelQuality;
    font.SetFace(QStringLiteral("Times New Roman"));
    return font;
}

void ReloadLabelFont(formats::ShapeFile& file, const platform::SettingsStore* settings,
                     const platform::ScreenMetrics& screen) {
    std::optional<platform::LogFont> stored;
    if (settings) {
        stored = settings->Get(platform::settings::kMapLabelFont);
    }
    file.labelFont = stored ? *stored : DefaultLabelFont(screen);
    file.labelColour = ColourSetting(settings, platform::settings::kMapLabelColor);
    file.labelBackColour = kLabelBackColourDay;
}

void ReloadLabelFont(formats::MapFile& file, const platform::SettingsStore* settings,
                     const platform::ScreenMetrics& screen) {
    if (file.File()) {
        ReloadLabelFont(*file.File(), settings, screen);
    }
}

void SetNight(formats::ShapeFile& file, bool night, const platform::SettingsStore* settings) {
    for (const auto& level : file.levels) {
        for (const auto& shape : level->shapes) {
            shape->night = night ? 1 : 0;
        }
    }
    if (night) {
        file.labelColour = ColourSetting(settings, platform::settings::kMapLabelColorNight);
        file.labelBackColour = kLabelBackColourNight;
    } else {
        file.labelColour = ColourSetting(settings, platform::settings::kMapLabelColor);
        file.labelBackColour = kLabelBackColourDay;
    }
}

void SetNight(formats::MapFile& file, bool night, const platform::SettingsStore* settings) {
    if (file.File()) {
        SetNight(*file.File(), night, settings);
    }
}

}  // namespace render
