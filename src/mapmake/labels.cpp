#include "mapmake/labels.h"

#include <cmath>
#include <cstdlib>
#include <vector>

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
    const std::string shield = info.ref.empty() ? std::string() : kShieldPrefix + info.ref.str();
    if (cbits >= kNameLevelCbits) {
        return info.name.empty() ? shield : info.name.str();
    }
    if (!shield.empty() || (IsRoadType(info.type) && info.type > kLastNamedFarRoadType)) {
        return shield;
    }
    return info.name;
}

LinePlacement PlaceOnLine(const GeoLine& line) {
    LinePlacement placement;
    if (line.empty()) {
        return placement;
    }
    placement.anchor = line.front();
    std::vector<double> lengths(line.size(), 0.0);
    double total = 0.0;
    double longest = 0.0;
    for (size_t i = 1; i < line.size(); ++i) {
        lengths[i] = std::hypot(line[i].x() - line[i - 1].x(), line[i].y() - line[i - 1].y());
        total += lengths[i];
        longest = std::max(longest, lengths[i]);
    }
    // Of the segments as long as the longest (within kEqualSegmentShare), the one nearest the
    // middle of the line: a street mapped in even steps is labelled halfway along.
    double along = 0.0;
    double bestOffCentre = -1.0;
    for (size_t i = 1; i < line.size(); ++i) {
        const double middle = along + lengths[i] / 2.0;
        along += lengths[i];
        if (lengths[i] <= 0.0 || lengths[i] < longest * (1.0 - kEqualSegmentShare)) {
            continue;
        }
        const double offCentre = std::abs(middle - total / 2.0);
        if (bestOffCentre >= 0.0 && offCentre >= bestOffCentre) {
            continue;
        }
        bestOffCentre = offCentre;
        placement.anchor =
            GeoPoint((line[i].x() + line[i - 1].x()) / 2.0, (line[i].y() + line[i - 1].y()) / 2.0);
        placement.angleTenthsDeg =
            ReadableAngleTenths(line[i].x() - line[i - 1].x(), line[i].y() - line[i - 1].y());
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
