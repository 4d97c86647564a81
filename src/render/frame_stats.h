#pragma once

// What one frame drew, counted while it is drawn: a few counters and the place of each icon,
// cheap enough to fill in every frame. The cover of the icons is worked out only when asked.

#include <QPoint>

#include <vector>

namespace render {

struct DrawnIcon {
    QPoint topLeft;  // in pixels of the picture
    int type = 0;
    int subtype = 0;
    bool highResolution = false;
};

struct FrameStats {
    // Shapes drawn, by kind.
    int points = 0;
    int lines = 0;
    int areas = 0;
    int labelsPlaced = 0;
    // Labels left out because a label drawn earlier in the frame held their place.
    int labelsDropped = 0;
    int shields = 0;
    // The point icons, in drawing order.
    std::vector<DrawnIcon> icons;

    // Zero counts and no icons; the icon list keeps its room for the next frame.
    void Clear();
};

// The share of a width × height picture, in per cent, that the opaque pixels of the frame's
// icons cover, a pixel under several icons counted once. Icons of the program's strip; 0 when
// none is loaded.
double IconCoverPercent(const FrameStats& stats, int width, int height);

}  // namespace render
