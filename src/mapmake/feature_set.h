#pragma once

// The objects the map compiler keeps from its input, typed and in geographic coordinates, as
// the reader gathers them and before they are cut into tiles.

#include <cstdint>
#include <memory>
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

// Type codes and subtypes are below 0x100 and levels at most 24 bits: small integers keep a
// feature's description in 24 bytes with its two texts.
struct FeatureInfo {
    int16_t type = 0;
    int16_t subtype = 0;
    // Kept in every level of at least this many cbits and at most finestCbits.
    int8_t coarsestCbits = 24;
    int8_t finestCbits = 24;
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

// A feature's box in 10^-7 degrees, in half the room of a GeoBox. Boxes of features read from
// OpenStreetMap lie on that grid, so they convert both ways without change.
class FixedBox {
public:
    FixedBox() = default;
    explicit FixedBox(const GeoBox& box);
    operator GeoBox() const;

private:
    FixedPoint min_;
    FixedPoint max_;
};

// The bytes of a packed geometry, and a count that goes with them, in 16 bytes: allocated
// exactly, copied whole.
class PackedBytes {
public:
    PackedBytes() = default;
    PackedBytes(const std::vector<uint8_t>& bytes, uint32_t count);
    PackedBytes(const PackedBytes& other);
    PackedBytes& operator=(const PackedBytes& other);
    PackedBytes(PackedBytes&&) noexcept = default;
    PackedBytes& operator=(PackedBytes&&) noexcept = default;

    const uint8_t* data() const { return bytes_.get(); }
    bool empty() const { return size_ == 0; }
    uint32_t count() const { return count_; }

private:
    std::unique_ptr<uint8_t[]> bytes_;
    uint32_t size_ = 0;
    uint32_t count_ = 0;
};

// The geometry of the region is held from reading to the last tile, so it is kept packed: in
// 10^-7 degrees, every point as the step from the point before, each coordinate a zigzag
// variable-length integer. The vertices of a way lie metres apart, so a point takes about 4
// bytes instead of 16 as doubles; all of a feature's rings share one allocation.
class PackedLine {
public:
    PackedLine() = default;
    explicit PackedLine(const FixedLine& line);

    size_t size() const { return bytes_.count(); }
    bool empty() const { return size() == 0; }
    FixedLine Unpack() const;
    GeoLine ToGeo() const;

private:
    PackedBytes bytes_;  // counting the points
};

// Rings as in GeoPolygon: the outer one clockwise, the inner ones counter-clockwise, closed.
class PackedArea {
public:
    PackedArea() = default;
    // Rounded to the nearest 10^-7 degree.
    explicit PackedArea(const GeoMultiPolygon& area);

    // The points of all rings, each hole counted with one more for the seam that joins it to
    // its outer ring.
    size_t JoinedVertices() const { return bytes_.count(); }
    GeoMultiPolygon ToGeo() const;

private:
    PackedBytes bytes_;  // counting the joined vertices
};

struct LineFeature {
    FeatureInfo info;
    PackedLine line;
    FixedBox box;
    // The nodes at the two ends, where lines of the same road meet.
    int64_t firstNode = 0;
    int64_t lastNode = 0;
};

struct AreaFeature {
    FeatureInfo info;
    PackedArea area;
    FixedBox box;
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
