#pragma once

// Labels of the objects the map compiler writes: which text a line shows at which level, and
// where and at which angle its label sits.

#include <string>

#include "mapmake/feature_set.h"
#include "mapmake/geometry.h"

namespace mapmake {

// A label starting with this is drawn as a road-number shield (".CG-1" shows "CG-1").
inline constexpr char kShieldPrefix = '.';
// From this many cbits on (the close levels) a road shows its name rather than its number.
inline constexpr int kNameLevelCbits = 21;

// The type codes of roads, the lines that may carry a reference number.
bool IsRoadType(int type);

// "Pic de Comapedrosa 2942 m" from the name and the height in metres; either may be null.
std::string PeakLabel(const char* name, const char* elevation);

// The text a line shows at a level: at the close levels its name (its shield when it has no
// name), at the others its shield (its name when it has no number).
std::string LineLabel(const FeatureInfo& info, int cbits);

struct LinePlacement {
    GeoPoint anchor;
    int angleTenthsDeg = 0;
};

// The label's place on a line: the middle of its longest segment, turned along that segment.
LinePlacement PlaceOnLine(const GeoLine& line);

// The direction from one point to another in tenths of a degree counter-clockwise from east,
// as the font escapement measures it (north up), turned by half a turn when needed so that
// the text reads from left to right: between -900 and 900.
int ReadableAngleTenths(double dxDeg, double dyDeg);

// Characters (code points) of a UTF-8 text.
size_t CharacterCount(const std::string& utf8);

}  // namespace mapmake
