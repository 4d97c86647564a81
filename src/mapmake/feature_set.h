#pragma once

// The objects the map compiler keeps from its input, typed and in geographic coordinates, as
// the reader gathers them and before they are cut into tiles.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "mapmake/geometry.h"

namespace mapmake {

// A name or reference number as the features keep it: one copy of each distinct text for the
// whole run, shared by every feature that bears it, in the room of a pointer. A country's roads
// and places repeat a few thousand names over and over, and most features have none.
class SharedText {
public:
    SharedText() = default;
    SharedText(std::string_view text);
    SharedText(const char* text) : SharedText(std::string_view(text)) {}
    SharedText(const std::string& text) : SharedText(std::string_view(text)) {}

    const std::string& str() const;
    operator const std::string&() const { return str(); }
    bool empty() const { return text_ == nullptr; }
    size_t size() const { return str().size(); }
    void clear() { text_ = nullptr; }
    // Equal texts share their copy.
    bool operator==(const SharedText& other) const { return text_ == other.text_; }

private:
    const std::string* text_ = nullptr;
};

struct FeatureInfo {
    int type = 0;
    int subtype = 0;
    // Kept in every level of at least this many cbits and at most finestCbits.
    int coarsestCbits = 24;
    int finestCbits = 24;
    SharedText name;  // UTF-8; for a peak, its name and height
    SharedText ref;   // roads: the first of their reference numbers ("CG-1")

    bool operator==(const FeatureInfo&) const = default;
};

struct PointFeature {
    FeatureInfo info;
    GeoPoint at;
};

// A position as OpenStreetMap keeps it: longitude and latitude in 10^-7 degrees.
struct FixedPoint {
    int32_t lon = 0;
    int32_t lat = 0;
};
using FixedLine = std::vector<FixedPoint>;
inline constexpr double kFixedPerDegree = 1.0e7;

// Rounded to the nearest 10^-7 degree, and back to the same doubles as libosmium gives.
FixedLine ToFixed(const GeoLine& line);
GeoLine ToGeo(const FixedLine& line);

// The geometry of the region is held from reading to the last tile, so it is kept packed: in
// 10^-7 degrees, every point as the step from the point before, each coordinate a zigzag
// variable-length integer. The vertices of a way lie metres apart, so a point takes about 4
// bytes instead of 16 as doubles; all of a feature's rings share one allocation.
class PackedLine {
public:
    PackedLine() = default;
    explicit PackedLine(const FixedLine& line);

    size_t size() const { return points_; }
    bool empty() const { return points_ == 0; }
    FixedLine Unpack() const;
    GeoLine ToGeo() const;

private:
    std::vector<uint8_t> bytes_;
    uint32_t points_ = 0;
};

// Rings as in GeoPolygon: the outer one clockwise, the inner ones counter-clockwise, closed.
class PackedArea {
public:
    PackedArea() = default;
    // Rounded to the nearest 10^-7 degree.
    explicit PackedArea(const GeoMultiPolygon& area);

    // The points of all rings, each hole counted with one more for the seam that joins it to
    // its outer ring.
    size_t JoinedVertices() const { return joinedVertices_; }
    GeoMultiPolygon ToGeo() const;

private:
    std::vector<uint8_t> bytes_;
    uint32_t joinedVertices_ = 0;
};

struct LineFeature {
    FeatureInfo info;
    PackedLine line;
    GeoBox box;
    // The nodes at the two ends, where lines of the same road meet.
    int64_t firstNode = 0;
    int64_t lastNode = 0;
};

struct AreaFeature {
    FeatureInfo info;
    PackedArea area;
    GeoBox box;
    double squareMetres = 0.0;
};

// What was read from an input, for the summary.
struct ReadCounts {
    uint64_t nodes = 0;
    uint64_t ways = 0;
    uint64_t relations = 0;
    uint64_t multipolygons = 0;  // areas built from multipolygon relations
};

struct FeatureSet {
    std::vector<PointFeature> points;
    std::vector<LineFeature> lines;
    std::vector<AreaFeature> areas;
    // The area the input says it covers (the bounds of an extract), when it says so.
    std::optional<GeoBox> declaredBox;

    ReadCounts read;

    // The box around every feature; EmptyBox() when there is none.
    GeoBox DataBox() const;
    // What the maps cover: the declared box when there is one, else the data's box.
    GeoBox Extent() const;
    bool Empty() const { return points.empty() && lines.empty() && areas.empty(); }
};

GeoBox BoxOf(const GeoLine& line);
GeoBox BoxOf(const FixedLine& line);
GeoBox BoxOf(const GeoMultiPolygon& area);

}  // namespace mapmake
