#pragma once

// The label font and colours a loaded map draws its labels with, and its day and night
// colours: read from the settings (section "SETTINGS/SHAPE"), never written back.

#include "platform/color.h"
#include "platform/log_font.h"

namespace formats {
class MapFile;
class ShapeFile;
}  // namespace formats

namespace platform {
class SettingsStore;
struct ScreenMetrics;
}  // namespace platform

namespace render {

inline constexpr platform::ColorRef kLabelBackColourDay = 0xFFFFFF;
inline constexpr platform::ColorRef kLabelBackColourNight = 0x000000;

// The font of map labels when the settings hold none: Times New Roman, 8 points on the screen.
platform::LogFont DefaultLabelFont(const platform::ScreenMetrics& screen);

// The label font ("MAPLABELFONT", else the default) and the day colours ("MAPLABELCOLOR" on
// white). A null settings store gives the defaults.
void ReloadLabelFont(formats::ShapeFile& file, const platform::SettingsStore* settings,
                     const platform::ScreenMetrics& screen);
void ReloadLabelFont(formats::MapFile& file, const platform::SettingsStore* settings,
                     const platform::ScreenMetrics& screen);

// Marks every shape of every level as drawn by day or by night (the fill colours follow the
// flag) and sets the label colours: "MAPLABELCOLOR" on white by day, "MAPLABELCOLORNIGHT" on
// black by night.
void SetNight(formats::ShapeFile& file, bool night, const platform::SettingsStore* settings);
void SetNight(formats::MapFile& file, bool night, const platform::SettingsStore* settings);

}  // namespace render
