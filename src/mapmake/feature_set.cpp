#include "mapmake/feature_set.h"

#include <cmath>

namespace mapmake {
namespace {

void WidenWith(GeoBox& box, const GeoPoint& point) {
    Widen(box, GeoBox(point, point));
}

GeoPoint ToGeo(const FixedPoint& point) {
    return GeoPoint(double(point.lon) / kFixedPerDegree, double(point.lat) / kFixedPerDegree);
}

}  // namespace

FixedLine ToFixed(const GeoLine& line) {
    FixedLine fixed;
    fixed.reserve(line.size());
    for (const GeoPoint& point : line) {
        fixed.push_back({int32_t(std::lround(point.x() * kFixedPerDegree)),
                         int32_t(std::lround(point.y() * kFixedPerDegree))});
    }
    return fixed;
}

GeoLine ToGeo(const FixedLine& line) {
    GeoLine geo;
    geo.reserve(line.size());
    for (const FixedPoint& point : line) {
        geo.push_back(ToGeo(point));
    }
    return geo;
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
