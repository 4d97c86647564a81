#pragma once

// Every value the program keeps in its settings store: section, key, type and default, written
// down once. Sections are groups of the INI file; "SETTINGS/SHAPE" is the group SHAPE inside
// SETTINGS.

#include <cstdint>
#include <optional>

#include "platform/color.h"

namespace platform::settings {

// A text value; numbers kept as text are written with "%f".
struct StringKey {
    const char* section;
    const char* key;
    const char* defaultValue;
};

// A 32-bit number.
struct DwordKey {
    const char* section;
    const char* key;
    uint32_t defaultValue;
};

// A colour 0x00BBGGRR; without a default the desktop's window colour stands in.
struct ColorKey {
    const char* section;
    const char* key;
    std::optional<ColorRef> defaultValue;
};

// A 92-byte font record. Its default is the built-in font of whoever reads it.
struct FontKey {
    const char* section;
    const char* key;
};

// A list of file names in values numbered from 0 ("YESGPX0", "YESGPX1", …), ended by an empty
// value or by kListEnd.
struct ListKey {
    const char* section;
    const char* keyFormat;  // printf format with one %d
};

inline constexpr char kListEnd[] = ",,,";

// Last view of the map window.
inline constexpr StringKey kLastLat{"STATUS", "LASTLAT", "41.164673"};
inline constexpr StringKey kLastLon{"STATUS", "LASTLON", "23.267757"};
inline constexpr StringKey kLastZoom{"STATUS", "LASTZOOM", "0.485807"};  // km per cm
inline constexpr DwordKey kFullScreen{"STATUS", "FULLSCREEN", 1};

// Fonts and announcement distances.
inline constexpr FontKey kSpeedFont{"SETTINGS", "SPEEDFONT"};
inline constexpr FontKey kPoiAnnounceFont{"SETTINGS", "POIANNFONT"};
inline constexpr StringKey kPoiAnnounceMaxDistance1{"SETTINGS", "POIANNOUNCEMAXDIS1", "1.0"};  // km
inline constexpr StringKey kPoiAnnounceMaxDistance2{"SETTINGS", "POIANNOUNCEMAXDIS2", "0.2"};  // km

// Map drawing.
inline constexpr ColorKey kMapBackColor{"SETTINGS/SHAPE", "MAPBACKCOLOR", std::nullopt};
inline constexpr FontKey kMapLabelFont{"SETTINGS/SHAPE", "MAPLABELFONT"};
inline constexpr ColorKey kMapLabelColor{"SETTINGS/SHAPE", "MAPLABELCOLOR", 0x00000000};
inline constexpr ColorKey kMapLabelColorNight{"SETTINGS/SHAPE", "MAPLABELCOLORNIGHT", 0x00FFFF00};

// Smooth edges for map lines and areas (pixel tests switch it off).
inline constexpr DwordKey kAntialiasing{"PLATFORM", "ANTIALIAS", 1};

// Files shown on the map.
inline constexpr ListKey kEnabledGpxFiles{"STATUS/GPX", "YESGPX%d"};
inline constexpr ListKey kEnabledPoiFiles{"STATUS/POI", "YESPOIS%d"};

}  // namespace platform::settings
