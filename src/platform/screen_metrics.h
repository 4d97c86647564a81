#pragma once

#include <QSize>
#include <QString>

#include <optional>

class QScreen;

namespace platform {

// What the program knows of its screen, read once: resolution, physical size, the logical
// pixels per inch that font sizes use, and the work area left to windows.
struct ScreenMetrics {
    int widthPx = 0;      // HORZRES
    int heightPx = 0;     // VERTRES
    int widthMm = 0;      // HORZSIZE
    int heightMm = 0;     // VERTSIZE
    int logPixelsY = 96;  // LOGPIXELSY
    QSize workArea;       // the screen less the desktop's panels

    bool operator==(const ScreenMetrics&) const = default;

    // The primary screen of the running Qt application, or a 240 × 320, 53 mm wide handheld
    // screen when there is none.
    static ScreenMetrics FromScreen(const QScreen* screen);
    static ScreenMetrics FromPrimaryScreen();

    // A screen given as "WxH" or "WxH@WMMxHMM" (the --screen option), e.g. "240x320@53x71".
    // Without millimetres the size follows from `fallbackDpi`. The logical pixels per inch are
    // those of the handhelds the design was made for: 96 per step of about 96 physical dots
    // per inch (a 240 × 320 screen 53 mm wide gives 96, a 480 × 640 screen of that size 192).
    // The whole screen is the work area. Empty on malformed text.
    static std::optional<ScreenMetrics> Parse(const QString& text, int fallbackDpi = 96);
};

// The large-screen flag of the program: 1 when the work area is larger than 240 × 320 pixels
// in both dimensions, either way up.
int LargeScreenFlag(int workWidth, int workHeight);

}  // namespace platform
