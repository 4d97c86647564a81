#pragma once

#include <QBrush>
#include <QImage>
#include <QPen>

#include <optional>

#include "platform/color.h"

namespace render {

// How map objects of each Garmin type code are painted, by zoom resolution (metres per
// centimetre, the whole-number value that also selects the detail level), screen class and
// time of day.

// Base pen width in pixels: 4 closer than 200 m/cm, 2 closer than 500 m/cm, else 1.
int BasePenWidth(float resolution);

struct PenSpec {
    enum class Dash { kSolid, kDashed, kDotted };
    Dash dash = Dash::kSolid;
    int width = 0;  // 0 draws one pixel wide
    platform::ColorRef color = 0;

    QPen ToQPen() const;
    bool operator==(const PenSpec&) const = default;
};

// A road or line is drawn with its outer pen, then again with its inner pen when it has one.
struct PolylinePens {
    PenSpec outer;
    std::optional<PenSpec> inner;
};

PolylinePens PolylinePensFor(int type, float resolution, bool highResolution);

// The outline of an area; none for type 74, whose outline is whatever pen the context holds.
std::optional<PenSpec> PolygonOutlinePen(int type);

// The fill of an area. Types 11, 25, 26 and 80 are patterned by day.
QBrush PolygonFillBrush(int type, bool night);

// The pixels of the four fill patterns, by their resource numbers 158, 159, 161 and 165; a null
// image for any other number.
QImage PatternBitmap(int resource);

}  // namespace render
