#pragma once

// Builds the ".vl" map of one box from the features: each level gets the objects meant for it,
// cut to the box, simplified to about one pixel of the closest zoom the level is drawn at,
// with small areas and short lines left out, labelled, and in drawing order over a background
// area that covers the box.

#include <QString>

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "formats/shape_model.h"
#include "mapmake/feature_set.h"

namespace mapmake {

// The screen the generalisation is made for: about 100 pixels per inch.
inline constexpr double kPixelsPerCm = 40.0;
// The closest zoom of the program, 0.1 km per cm, in metres per centimetre.
inline constexpr double kClosestMetresPerCm = 100.0;

// Pixels at the closest zoom of a level below which an area (square pixels) or a line (pixels
// long) is left out of the level.
inline constexpr double kMinAreaPixels = 4.0;
inline constexpr double kMinLinePixels = 1.0;
// An area is labelled when it covers this many square pixels; a line when it is longer than
// its text, at this many pixels a character.
inline constexpr double kLabelledAreaPixels = 1600.0;
inline constexpr double kPixelsPerCharacter = 6.0;
// Shields, which the program draws without testing them against other labels, keep this many
// pixels from any other shield and from another of the same road, at the widest zoom of the
// level.
inline constexpr double kShieldSpacingPixels = 48.0;
inline constexpr double kSameShieldSpacingPixels = 240.0;

// Point icons keep this many pixels from each other halfway (geometrically) between the closest
// and the widest zoom of the level: the size of an icon on a high-resolution screen, so that
// they crowd only towards the widest zoom.
inline constexpr double kIconSpacingPixels = 48.0;

// The background area's type.
inline constexpr int kBackgroundType = 75;

struct LevelPlan {
    int cbits = 0;
    // The closest zoom (metres per centimetre) at which the program draws this level.
    double metresPerCm = 0.0;
    // One pixel at that zoom, in degrees.
    double pixelDeg = 0.0;
    // One pixel at the widest zoom at which the level is drawn (where the next level takes
    // over), in degrees.
    double widestPixelDeg = 0.0;
};

// The closest zoom at which the program chooses a level of `cbits` (the level detail choice
// takes the coarsest level that has at least the cbits a zoom wants).
double ClosestMetresPerCm(int cbits);
// The plans of the levels, for a map whose scale is measured at `latitude`.
std::vector<LevelPlan> PlanLevels(std::span<const int> cbits, double latitude);

// The features that may reach into a box, by index.
struct Candidates {
    std::vector<uint32_t> points;
    std::vector<uint32_t> lines;
    std::vector<uint32_t> areas;

    bool Empty() const { return points.empty() && lines.empty() && areas.empty(); }
};
Candidates AllFeatures(const FeatureSet& features);
// Those of `from` whose box overlaps `box`.
Candidates Within(const FeatureSet& features, const Candidates& from, const GeoBox& box);

// About the bytes the most detailed level of a map of the box takes (a feature reaching out of
// the box counted by the share of its box inside), times the levels.
double EstimateBytes(const FeatureSet& features, const Candidates& candidates, const GeoBox& box,
                     std::span<const LevelPlan> levels);

// Objects per level of one map.
struct LevelCount {
    int cbits = 0;
    uint64_t points = 0;
    uint64_t lines = 0;
    uint64_t areas = 0;  // the background included

    uint64_t Objects() const { return points + lines + areas; }
};

struct BuiltMap {
    std::unique_ptr<formats::ShapeFile> file;
    std::vector<LevelCount> counts;
    // Objects other than the background areas, over all levels.
    uint64_t contentObjects = 0;
    // Areas whose geometry could not be cut to the box.
    uint64_t refusedAreas = 0;
};

// The map of `box` named `name`, with one level per plan: its bounding rectangle is the box,
// and so are its coverage polygon and the background area of each level.
BuiltMap BuildMap(const FeatureSet& features, const Candidates& candidates, const GeoBox& box,
                  std::span<const LevelPlan> levels, const QString& name);

}  // namespace mapmake
