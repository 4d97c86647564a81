#pragma once

#include <QString>

#include <mutex>

#include "platform/color.h"
#include "platform/screen_metrics.h"
#include "platform/system_time.h"

namespace platform {
class PaintContext;
class SettingsStore;
}  // namespace platform

namespace poi {

// The two text lines of the last POI announced, shown in large red outlined letters across the
// middle of the map window for 16 seconds. It has no timer: the first paint 16 seconds or more
// after Set empties it. Set and Draw may run on different threads.
class PoiAnnouncement {
public:
    static constexpr int kShowSeconds = 16;
    static constexpr platform::ColorRef kOutlineColour = 0x00FFFFFF;  // white
    static constexpr platform::ColorRef kTextColour = 0x00241CED;     // RGB(237, 28, 36), red
    // The font when the settings hold none: Tahoma 18 pt, weight 800.
    static constexpr int kFontPoints = 18;
    static constexpr int kFontWeight = 800;

    // Where Draw finds the font: the "POIANNFONT" value of `settings` (borrowed, may be null)
    // or the built-in font sized for `screen`.
    void SetFontSource(const platform::SettingsStore* settings,
                       const platform::ScreenMetrics& screen);

    // Both lines, shown from now (the program's UTC clock).
    void Set(const QString& line1, const QString& line2);
    // Draws the text centred on a window of width × height pixels, or nothing when line 1 is
    // empty or the text was set 16 seconds ago or more (which empties it).
    void Draw(platform::PaintContext& context, int width, int height);

    QString Line1() const;
    QString Line2() const;
    bool IsEmpty() const { return Line1().isEmpty(); }

private:
    mutable std::mutex mutex_;
    QString line1_;
    QString line2_;
    platform::FileTime setTime_;
    const platform::SettingsStore* settings_ = nullptr;
    platform::ScreenMetrics screen_;
};

}  // namespace poi
