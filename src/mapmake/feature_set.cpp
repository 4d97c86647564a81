#include "mapmake/feature_set.h"

#include <cmath>
#include <mutex>
#include <unordered_set>

namespace mapmake {
namespace {

void WidenWith(GeoBox& box, const GeoPoint& point) {
    Widen(box, GeoBox(point, point));
}

GeoPoint ToGeo(const FixedPoint& point) {
    return GeoPoint(double(point.lon) / kFixedPerDegree, double(point.lat) / kFixedPerDegree);
}

template <typename Points>
FixedLine ToFixedPoints(const Points& points) {
    FixedLine fixed;
    fixed.reserve(points.size());
    for (const GeoPoint& point : points) {
        fixed.push_back({int32_t(std::lround(point.x() * kFixedPerDegree)),
                         int32_t(std::lround(point.y() * kFixedPerDegree))});
    }
    return fixed;
}

template <typename Points>
Points ToGeoPoints(const FixedLine& line) {
    Points geo;
    geo.reserve(line.size());
    for (const FixedPoint& point : line) {
        geo.push_back(ToGeo(point));
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

FixedMultiPolygon ToFixed(const GeoMultiPolygon& area) {
    FixedMultiPolygon fixed;
    fixed.reserve(area.size());
    for (const GeoPolygon& polygon : area) {
        FixedPolygon& part = fixed.emplace_back();
        part.outer = ToFixedPoints(polygon.outer());
        part.inners.reserve(polygon.inners().size());
        for (const auto& inner : polygon.inners()) {
            part.inners.push_back(ToFixedPoints(inner));
        }
    }
    return fixed;
}

GeoMultiPolygon ToGeo(const FixedMultiPolygon& area) {
    GeoMultiPolygon geo;
    geo.reserve(area.size());
    for (const FixedPolygon& part : area) {
        GeoPolygon& polygon = geo.emplace_back();
        polygon.outer() = ToGeoPoints<GeoPolygon::ring_type>(part.outer);
        polygon.inners().reserve(part.inners.size());
        for (const FixedLine& inner : part.inners) {
            polygon.inners().push_back(ToGeoPoints<GeoPolygon::ring_type>(inner));
        }
    }
    return geo;
}

// The outer rings hold the inner ones.
GeoBox BoxOf(const FixedMultiPolygon& area) {
    GeoBox box = EmptyBox();
    for (const FixedPolygon& polygon : area) {
        for (const FixedPoint& point : polygon.outer) {
            WidenWith(box, ToGeo(point));
        }
    }
    return box;
}

GeoBox BoxOf(const FixedLine& line) {
    GeoBox box = EmptyBox();
    for (const FixedPoint& point : line) {
        WidenWith(box, ToGeo(point));
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
