// The GPX reader on any bytes: it must never crash, must keep its promises on what it loads,
// and must read the same whether the content is parsed whole or cut into slices.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include <QByteArray>

#include "formats/gpx_file.h"
#include "same_shapes.h"

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

bool Inside(const formats::GeoRect& outer, const formats::GeoRect& inner) {
    return inner.west >= outer.west && inner.east <= outer.east && inner.south >= outer.south &&
           inner.north <= outer.north;
}

void CheckLoaded(const formats::GPXFile& file) {
    Check(file.levels.size() == 1 && file.levels.front()->cbits == formats::kGpxLevelCbits);
    Check(file.coverage.empty() && file.name.isEmpty() && file.currentLevel == 0);
    bool pointsBegun = false;
    for (const auto& shape : file.levels.front()->shapes) {
        Check(shape->vertexPairs.size() % 2 == 0);
        for (const float coordinate : shape->vertexPairs) {
            Check(std::isfinite(coordinate));
        }
        if (shape->Kind() == formats::kShapeKindPoint) {
            pointsBegun = true;
            Check(shape->type == formats::kGpxWaypointType && shape->VertexCount() == 1);
            Check(shape->anchorLat == shape->Latitude(0) &&
                  shape->anchorLon == shape->Longitude(0));
        } else {
            // Routes come before all points.
            Check(!pointsBegun && shape->Kind() == formats::kShapeKindPolyline);
            Check(shape->type == formats::kGpxRouteType && shape->Label().isEmpty());
        }
        if (shape->VertexCount() > 0) {
            Check(Inside(file.bounds, shape->bounds));
        } else {
            Check(shape->bounds == formats::kEmptyArea);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    formats::GPXFile whole;
    const bool wholeLoaded = whole.LoadFromBytes(bytes, formats::GpxParseOptions{0, true});
    if (wholeLoaded) {
        CheckLoaded(whole);
    } else {
        Check(whole.levels.empty());
    }
    for (size_t sliceBytes : {size_t(0), size_t(64)}) {
        formats::GPXFile sliced;
        Check(sliced.LoadFromBytes(bytes, formats::GpxParseOptions{sliceBytes, false}) ==
              wholeLoaded);
        Check(ShapeFileDifference(whole, sliced).empty());
    }
    return 0;
}
