#include "mapmake/labels.h"

#include <cmath>
#include <cstdlib>

#include "formats/shape_model.h"

namespace mapmake {
namespace {

constexpr double kRadToDeg = 57.29577951308232;

}  // namespace

bool IsRoadType(int type) {
    return type >= 1 && type <= formats::ShapePolyline::kLastRoadType;
}

std::string PeakLabel(const char* name, const char* elevation) {
    std::string label = name ? name : "";
    if (elevation) {
        char* end = nullptr;
        const double metres = std::strtod(elevation, &end);
        if (end != elevation && std::isfinite(metres)) {
            if (!label.empty()) {
                label += ' ';
            }
            label += std::to_string(std::lround(metres)) + " m";
        }
    }
    return label;
}

std::string LineLabel(const FeatureInfo& info, int cbits) {
    const std::string shield = info.ref.empty() ? std::string() : kShieldPrefix + info.ref;
    if (cbits >= kNameLevelCbits) {
        return info.name.empty() ? shield : info.name;
    }
    return shield.empty() ? info.name : shield;
}

LinePlacement PlaceOnLine(const GeoLine& line) {
    LinePlacement placement;
    if (line.empty()) {
        return placement;
    }
    placement.anchor = line.front();
    double longest = -1.0;
    for (size_t i = 1; i < line.size(); ++i) {
        const double dx = line[i].x() - line[i - 1].x();
        const double dy = line[i].y() - line[i - 1].y();
        const double squared = dx * dx + dy * dy;
        if (squared > longest) {
            longest = squared;
            placement.anchor = GeoPoint((line[i].x() + line[i - 1].x()) / 2.0,
                                        (line[i].y() + line[i - 1].y()) / 2.0);
            placement.angleTenthsDeg = ReadableAngleTenths(dx, dy);
        }
    }
    return placement;
}

int ReadableAngleTenths(double dxDeg, double dyDeg) {
    if (dxDeg == 0.0 && dyDeg == 0.0) {
        return 0;
    }
    double degrees = std::atan2(dyDeg, dxDeg) * kRadToDeg;
    if (degrees > 90.0) {
        degrees -= 180.0;
    } else if (degrees < -90.0) {
        degrees += 180.0;
    }
    return int(std::lround(degrees * 10.0));
}

size_t CharacterCount(const std::string& utf8) {
    size_t count = 0;
    for (unsigned char c : utf8) {
        if ((c & 0xC0) != 0x80) {
            ++count;
        }
    }
    return count;
}

}  // namespace mapmake
