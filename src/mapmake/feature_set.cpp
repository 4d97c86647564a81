#include "mapmake/feature_set.h"

namespace mapmake {
namespace {

void WidenWith(GeoBox& box, const GeoPoint& point) {
    Widen(box, GeoBox(point, point));
}

}  // namespace

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
