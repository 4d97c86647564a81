#include "mapmake/feature_set.h"

#include <algorithm>
#include <cmath>
#include <mutex>
#include <unordered_set>

#include "mapmake/varint.h"

namespace mapmake {
namespace {

void WidenWith(GeoBox& box, const GeoPoint& point) {
    Widen(box, GeoBox(point, point));
}

FixedPoint ToFixed(const GeoPoint& point) {
    return {int32_t(std::lround(point.x() * kFixedPerDegree)),
            int32_t(std::lround(point.y() * kFixedPerDegree))};
}

GeoPoint GeoOf(const FixedPoint& point) {
    return GeoPoint(double(point.lon) / kFixedPerDegree, double(point.lat) / kFixedPerDegree);
}

template <typename Points>
FixedLine ToFixedPoints(const Points& points) {
    FixedLine fixed;
    fixed.reserve(points.size());
    for (const GeoPoint& point : points) {
        fixed.push_back(ToFixed(point));
    }
    return fixed;
}

template <typename Points>
Points ToGeoPoints(const FixedLine& line) {
    Points geo;
    geo.reserve(line.size());
    for (const FixedPoint& point : line) {
        geo.push_back(GeoOf(point));
    }
    return geo;
}

}  // namespace

SharedText::SharedText(std::string_view text) {
    if (text.empty()) {
        return;
    }
    // Kept for the life of the process: a compilation's distinct names take a few megabytes
    // at most, and features of any run may still point at them.
    static std::mutex mutex;
    static std::unordered_set<std::string>* texts = new std::unordered_set<std::string>;
    const std::lock_guard<std::mutex> lock(mutex);
    text_ = &*texts->emplace(text).first;
}

const std::string& SharedText::str() const {
    static const std::string empty;
    return text_ ? *text_ : empty;
}

FixedLine ToFixed(const GeoLine& line) {
    return ToFixedPoints(line);
}

GeoLine ToGeo(const FixedLine& line) {
    return ToGeoPoints<GeoLine>(line);
}

namespace {

// The steps of a packed geometry, written and read in the same order.
class StepWriter {
public:
    void Count(size_t count) {
        uint8_t bytes[10];
        bytes_.insert(bytes_.end(), bytes, PutVarint(bytes, count));
    }
    void Point(FixedPoint point) {
        uint8_t bytes[10];
        bytes_.insert(bytes_.end(), bytes, PutStep(bytes, lon_, lat_, point.lon, point.lat));
        lon_ = point.lon;
        lat_ = point.lat;
    }
    const std::vector<uint8_t>& Bytes() const { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
    int64_t lon_ = 0;
    int64_t lat_ = 0;
};

class StepReader {
public:
    explicit StepReader(const PackedBytes& bytes) : in_(bytes.data()) {}
    size_t Count() {
        uint64_t count = 0;
        in_ = GetVarint(in_, count);
        return size_t(count);
    }
    FixedPoint Point() {
        in_ = GetStep(in_, lon_, lat_);
        return {int32_t(lon_), int32_t(lat_)};
    }

private:
    const uint8_t* in_;
    int64_t lon_ = 0;
    int64_t lat_ = 0;
};

template <typename Points>
void WriteRing(StepWriter& writer, const Points& ring) {
    writer.Count(ring.size());
    for (const GeoPoint& point : ring) {
        writer.Point(ToFixed(point));
    }
}

template <typename Points>
void ReadRing(StepReader& reader, Points& ring) {
    const size_t count = reader.Count();
    ring.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        ring.push_back(GeoOf(reader.Point()));
    }
}

}  // namespace

FixedBox::FixedBox(const GeoBox& box)
    : min_(ToFixed(box.min_corner())), max_(ToFixed(box.max_corner())) {}

FixedBox::operator GeoBox() const {
    return GeoBox(GeoOf(min_), GeoOf(max_));
}

PackedBytes::PackedBytes(const std::vector<uint8_t>& bytes, uint32_t count)
    : bytes_(bytes.empty() ? nullptr : new uint8_t[bytes.size()]),
      size_(uint32_t(bytes.size())),
      count_(count) {
    std::copy(bytes.begin(), bytes.end(), bytes_.get());
}

PackedBytes::PackedBytes(const PackedBytes& other)
    : bytes_(other.size_ == 0 ? nullptr : new uint8_t[other.size_]),
      size_(other.size_),
      count_(other.count_) {
    std::copy(other.data(), other.data() + size_, bytes_.get());
}

PackedBytes& PackedBytes::operator=(const PackedBytes& other) {
    if (this != &other) {
        *this = PackedBytes(other);
    }
    return *this;
}

PackedLine::PackedLine(const FixedLine& line) {
    StepWriter writer;
    for (const FixedPoint& point : line) {
        writer.Point(point);
    }
    bytes_ = PackedBytes(writer.Bytes(), uint32_t(line.size()));
}

FixedLine PackedLine::Unpack() const {
    FixedLine line;
    line.reserve(size());
    StepReader reader(bytes_);
    for (size_t i = 0; i < size(); ++i) {
        line.push_back(reader.Point());
    }
    return line;
}

GeoLine PackedLine::ToGeo() const {
    GeoLine line;
    line.reserve(size());
    StepReader reader(bytes_);
    for (size_t i = 0; i < size(); ++i) {
        line.push_back(GeoOf(reader.Point()));
    }
    return line;
}

PackedArea::PackedArea(const GeoMultiPolygon& area) {
    StepWriter writer;
    writer.Count(area.size());
    uint32_t joinedVertices = 0;
    for (const GeoPolygon& polygon : area) {
        WriteRing(writer, polygon.outer());
        joinedVertices += uint32_t(polygon.outer().size());
        writer.Count(polygon.inners().size());
        for (const auto& inner : polygon.inners()) {
            WriteRing(writer, inner);
            joinedVertices += uint32_t(inner.size() + 1);
        }
    }
    bytes_ = PackedBytes(writer.Bytes(), joinedVertices);
}

GeoMultiPolygon PackedArea::ToGeo() const {
    GeoMultiPolygon area;
    if (bytes_.empty()) {
        return area;
    }
    StepReader reader(bytes_);
    area.resize(reader.Count());
    for (GeoPolygon& polygon : area) {
        ReadRing(reader, polygon.outer());
        polygon.inners().resize(reader.Count());
        for (auto& inner : polygon.inners()) {
            ReadRing(reader, inner);
        }
    }
    return area;
}

GeoBox BoxOf(const FixedLine& line) {
    GeoBox box = EmptyBox();
    for (const FixedPoint& point : line) {
        WidenWith(box, GeoOf(point));
    }
    return box;
}

GeoBox BoxOf(const GeoLine& line) {
    GeoBox box = EmptyBox();
    for (const GeoPoint& point : line) {
        WidenWith(box, point);
    }
    return box;
}

// The outer rings hold the inner ones.
GeoBox BoxOf(const GeoMultiPolygon& area) {
    GeoBox box = EmptyBox();
    for (const GeoPolygon& polygon : area) {
        for (const GeoPoint& point : polygon.outer()) {
            WidenWith(box, point);
        }
    }
    return box;
}

GeoBox FeatureSet::DataBox() const {
    GeoBox box = EmptyBox();
    for (const PointFeature& point : points) {
        WidenWith(box, point.at);
    }
    for (const LineFeature& line : lines) {
        Widen(box, line.box);
    }
    for (const AreaFeature& area : areas) {
        Widen(box, area.box);
    }
    return box;
}

GeoBox FeatureSet::Extent() const {
    return declaredBox ? *declaredBox : DataBox();
}

}  // namespace mapmake
