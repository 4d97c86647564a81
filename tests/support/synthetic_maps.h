#pragma once

// Maps the tests and benchmarks build in memory and write with the ".vl" writer: a small demo
// region with one of every kind of object that the drawing styles tell apart, its country map,
// and a dense map with about as many objects as an OpenStreetMap extract of a small country.

#include <QDir>
#include <QString>

#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include "formats/shape_model.h"
#include "formats/vl_writer.h"

namespace testmaps {

struct LatLon {
    float lat;
    float lon;
};

inline formats::GeoRect BoundsOf(const std::vector<LatLon>& vertices) {
    formats::GeoRect box{vertices[0].lon, vertices[0].lat, vertices[0].lon, vertices[0].lat};
    for (const LatLon& v : vertices) {
        box.west = std::min(box.west, v.lon);
        box.east = std::max(box.east, v.lon);
        box.south = std::min(box.south, v.lat);
        box.north = std::max(box.north, v.lat);
    }
    return box;
}

// A shape of the given kind with its vertices, rectangle and label anchored at the first
// vertex (or at `anchor` when given).
template <typename ShapeType>
formats::ShapePtr<> MakeShape(int type, const std::vector<LatLon>& vertices,
                              const QString& label = QString(), int angleTenths = 0,
                              const LatLon* anchor = nullptr) {
    auto shape = formats::MakeShape<ShapeType>();
    shape->type = type;
    for (const LatLon& v : vertices) {
        shape->AddVertex(v.lat, v.lon);
    }
    shape->bounds = BoundsOf(vertices);
    shape->SetLabel(label);
    shape->labelAngleTenthsDeg = angleTenths;
    const LatLon at = anchor ? *anchor : vertices[0];
    shape->anchorLat = at.lat;
    shape->anchorLon = at.lon;
    return shape;
}

// A line's label sits halfway between its ends.
inline formats::ShapePtr<> Line(int type, const std::vector<LatLon>& vertices,
                                const QString& label = QString(), int angleTenths = 0) {
    const LatLon middle{(vertices.front().lat + vertices.back().lat) / 2,
                        (vertices.front().lon + vertices.back().lon) / 2};
    return MakeShape<formats::ShapePolyline>(type, vertices, label, angleTenths, &middle);
}

inline formats::ShapePtr<> Area(int type, const std::vector<LatLon>& vertices,
                                const QString& label = QString()) {
    return MakeShape<formats::ShapePolygon>(type, vertices, label);
}

inline formats::ShapePtr<> Point(int type, int subtype, LatLon at,
                                 const QString& label = QString()) {
    auto shape = MakeShape<formats::ShapePoint>(type, {at}, label);
    shape->subtype = subtype;
    return shape;
}

// A copy of a shape's file fields.
inline formats::ShapePtr<> Copy(const formats::Shape& shape) {
    formats::ShapePtr<> copy;
    switch (shape.Kind()) {
        case formats::kShapeKindPoint:
            copy = formats::MakeShape<formats::ShapePoint>();
            break;
        case formats::kShapeKindPolyline:
            copy = formats::MakeShape<formats::ShapePolyline>();
            break;
        default:
            copy = formats::MakeShape<formats::ShapePolygon>();
            break;
    }
    copy->vertexPairs.assign(shape.vertexPairs.begin(), shape.vertexPairs.end());
    copy->bounds = shape.bounds;
    copy->SetLabel(shape.Label());
    copy->anchorLat = shape.anchorLat;
    copy->anchorLon = shape.anchorLon;
    copy->labelAngleTenthsDeg = shape.labelAngleTenthsDeg;
    copy->type = shape.type;
    copy->subtype = shape.subtype;
    return copy;
}

inline std::vector<LatLon> Box(float south, float west, float north, float east) {
    return {{north, west}, {north, east}, {south, east}, {south, west}};
}

// A map file with the rectangle as its one coverage polygon.
inline std::unique_ptr<formats::ShapeFile> EmptyMap(const QString& name, float south, float west,
                                                    float north, float east) {
    auto file = std::make_unique<formats::ShapeFile>();
    file->name = name;
    file->bounds = formats::GeoRect{west, north, east, south};
    auto coverage = formats::MakeShape<formats::ShapePolygon>();
    for (const LatLon& v : Box(south, west, north, east)) {
        coverage->AddVertex(v.lat, v.lon);
    }
    file->coverage.push_back(std::move(coverage));
    return file;
}

inline formats::ShapeLevel& AddLevel(formats::ShapeFile& file, uint32_t cbits) {
    file.levels.push_back(std::make_unique<formats::ShapeLevel>());
    file.levels.back()->cbits = cbits;
    return *file.levels.back();
}

// The demo region: 0.25° × 0.2° around Andorra la Vella.
inline constexpr float kDemoSouth = 42.40f;
inline constexpr float kDemoWest = 1.40f;
inline constexpr float kDemoNorth = 42.60f;
inline constexpr float kDemoEast = 1.65f;
// Places the tests look at.
inline constexpr LatLon kDemoLakeCentre{42.44f, 1.60f};
inline constexpr LatLon kDemoRoadPoint{42.5063f, 1.5218f};  // on the main road
inline constexpr LatLon kDemoForestCentre{42.57f, 1.44f};

inline std::unique_ptr<formats::ShapeFile> DemoDetailMap() {
    auto file = EmptyMap("Demo", kDemoSouth, kDemoWest, kDemoNorth, kDemoEast);
    formats::ShapeLevel& detail = AddLevel(*file, 24);
    detail.shapes.push_back(Area(75, Box(kDemoSouth, kDemoWest, kDemoNorth, kDemoEast)));
    detail.shapes.push_back(Area(80, Box(42.54f, 1.41f, 42.59f, 1.47f), "Bosc"));
    detail.shapes.push_back(Area(20, Box(42.52f, 1.55f, 42.55f, 1.58f), "Parc"));
    detail.shapes.push_back(Area(60, Box(42.42f, 1.58f, 42.46f, 1.62f), "Estany"));
    detail.shapes.push_back(
        Line(31, {{42.40f, 1.50f}, {42.47f, 1.51f}, {42.60f, 1.53f}}, "Gran Valira", 850));
    detail.shapes.push_back(Line(20, {{42.48f, 1.40f}, {42.48f, 1.65f}}));
    for (int i = 0; i < 6; ++i) {
        const float lon = 1.43f + 0.04f * float(i);
        detail.shapes.push_back(Line(6, {{42.41f, lon}, {42.59f, lon}}, "Carrer", 900));
    }
    detail.shapes.push_back(Line(4, {{42.45f, 1.40f}, {42.45f, 1.65f}}, "Carretera"));
    detail.shapes.push_back(
        Line(1, {{kDemoRoadPoint.lat, 1.40f}, {kDemoRoadPoint.lat, 1.65f}}, "Avinguda Meritxell"));
    detail.shapes.push_back(Line(2, {{42.41f, 1.46f}, {42.59f, 1.46f}}, ".A1"));
    detail.shapes.push_back(Point(1, 0, {42.51f, 1.53f}, "Andorra la Vella"));
    formats::ShapeLevel& coarse = AddLevel(*file, 21);
    coarse.shapes.push_back(Area(75, Box(kDemoSouth, kDemoWest, kDemoNorth, kDemoEast)));
    coarse.shapes.push_back(Area(60, Box(42.42f, 1.58f, 42.46f, 1.62f)));
    coarse.shapes.push_back(
        Line(1, {{kDemoRoadPoint.lat, 1.40f}, {kDemoRoadPoint.lat, 1.65f}}, "Avinguda Meritxell"));
    return file;
}

// The country map around the demo region: 2° × 1.2°.
inline std::unique_ptr<formats::ShapeFile> DemoCountryMap() {
    auto file = EmptyMap("Country", 41.9f, 0.5f, 43.1f, 2.5f);
    formats::ShapeLevel& level = AddLevel(*file, 17);
    level.shapes.push_back(Area(75, Box(41.9f, 0.5f, 43.1f, 2.5f)));
    level.shapes.push_back(Area(60, Box(42.42f, 1.58f, 42.46f, 1.62f)));
    level.shapes.push_back(Line(1, {{42.5063f, 0.5f}, {42.5063f, 2.5f}}, "N-145"));
    level.shapes.push_back(Point(1, 0, {42.51f, 1.53f}, "Andorra la Vella"));
    return file;
}

// A data home with the demo region and its country map in Maps; false when a file cannot be
// written.
inline bool WriteDemoHome(const QString& home) {
    if (!QDir().mkpath(home + "/Maps/Demo")) {
        return false;
    }
    return formats::WriteVlFile(*DemoDetailMap(), home + "/Maps/Demo/Demo.vl") &&
           formats::WriteVlFile(*DemoCountryMap(), home + "/Maps/Country.vl");
}

// A dense map over the Andorra extract's box, as many objects as its ways: a street grid of
// wavy polylines of every road class, blocks of buildings, forests and lakes, rivers, POIs, and
// labels on about half of them. Deterministic.
inline std::unique_ptr<formats::ShapeFile> DenseMap(int gridLines = 140, int blocksPerSide = 90) {
    constexpr float kSouth = 42.324f;
    constexpr float kWest = 1.291f;
    constexpr float kNorth = 42.782f;
    constexpr float kEast = 1.825f;
    auto file = EmptyMap("Dense", kSouth, kWest, kNorth, kEast);
    formats::ShapeLevel& level = AddLevel(*file, 24);
    uint32_t seed = 20240601u;
    auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return float(seed >> 8) / float(1u << 24);
    };
    level.shapes.push_back(Area(75, Box(kSouth, kWest, kNorth, kEast)));
    static constexpr int kAreaTypes[] = {80, 20, 60, 12, 1, 3, 26, 11, 25, 76, 19};
    const float blockLat = (kNorth - kSouth) / float(blocksPerSide);
    const float blockLon = (kEast - kWest) / float(blocksPerSide);
    for (int row = 0; row < blocksPerSide; ++row) {
        for (int column = 0; column < blocksPerSide; ++column) {
            const float south = kSouth + blockLat * (float(row) + 0.2f * next());
            const float west = kWest + blockLon * (float(column) + 0.2f * next());
            const float north = south + blockLat * (0.4f + 0.4f * next());
            const float east = west + blockLon * (0.4f + 0.4f * next());
            std::vector<LatLon> ring;
            constexpr int kRingVertices = 12;
            for (int k = 0; k < kRingVertices; ++k) {
                const float a = 6.2831855f * float(k) / float(kRingVertices);
                ring.push_back({(south + north) / 2 + (north - south) / 2 * std::sin(a),
                                (west + east) / 2 + (east - west) / 2 * std::cos(a)});
            }
            const int type = kAreaTypes[(row * 7 + column * 3) % std::size(kAreaTypes)];
            level.shapes.push_back(Area(type, ring, (row + column) % 5 == 0 ? "Bloc" : ""));
        }
    }
    static constexpr int kRoadTypes[] = {6, 6, 6, 5, 4, 3, 2, 1, 10, 11, 20, 31, 24};
    auto wavy = [&](bool alongLatitude, float at, int index) {
        std::vector<LatLon> vertices;
        constexpr int kSegments = 80;
        const float phase = next() * 6.0f;
        for (int k = 0; k <= kSegments; ++k) {
            const float t = float(k) / float(kSegments);
            const float wobble = 0.002f * std::sin(phase + t * 25.0f);
            vertices.push_back(alongLatitude ? LatLon{at + wobble, kWest + (kEast - kWest) * t}
                                             : LatLon{kSouth + (kNorth - kSouth) * t, at + wobble});
        }
        const int type = kRoadTypes[index % std::size(kRoadTypes)];
        QString label;
        if (index % 2 == 0) {
            label = QString("Carrer %1").arg(index);
        } else if (index % 9 == 1) {
            label = QString(".CG%1").arg(index % 7);  // a road number on a shield
        }
        return Line(type, vertices, label, alongLatitude ? 0 : 900);
    };
    for (int i = 0; i < gridLines; ++i) {
        level.shapes.push_back(
            wavy(true, kSouth + (kNorth - kSouth) * (float(i) + 0.5f) / float(gridLines), i));
        level.shapes.push_back(
            wavy(false, kWest + (kEast - kWest) * (float(i) + 0.5f) / float(gridLines), i + 1));
    }
    // Short streets, as most of an extract's ways are.
    for (int i = 0; i < blocksPerSide * blocksPerSide; ++i) {
        const float lat = kSouth + (kNorth - kSouth) * next();
        const float lon = kWest + (kEast - kWest) * next();
        std::vector<LatLon> vertices;
        for (int k = 0; k < 10; ++k) {
            vertices.push_back({lat + 0.0005f * float(k) * next(), lon + 0.0008f * float(k)});
        }
        level.shapes.push_back(Line(6, vertices, i % 3 == 0 ? "Carrer" : ""));
    }
    for (int i = 0; i < blocksPerSide * 10; ++i) {
        level.shapes.push_back(Point(
            1 + i % 100, 0, {kSouth + (kNorth - kSouth) * next(), kWest + (kEast - kWest) * next()},
            i % 4 == 0 ? "Punt" : ""));
    }
    // Coarser levels, as a map compiler keeps them for zooming out: at 21 cbits the long
    // roads and a quarter of the areas, at 19 the main roads, railways and rivers and a
    // sixteenth of the areas.
    formats::ShapeLevel& medium = AddLevel(*file, 21);
    formats::ShapeLevel& coarse = AddLevel(*file, 19);
    const formats::ShapeLevel& detail = *file->levels[0];
    int areas = 0;
    for (const auto& shape : detail.shapes) {
        if (shape->Kind() == formats::kShapeKindPolygon) {
            if (areas % 4 == 0) {
                medium.shapes.push_back(Copy(*shape));
            }
            if (areas % 16 == 0) {
                coarse.shapes.push_back(Copy(*shape));
            }
            ++areas;
        } else if (shape->Kind() == formats::kShapeKindPolyline && shape->VertexCount() > 20) {
            medium.shapes.push_back(Copy(*shape));
            const int type = shape->type;
            if (type <= 4 || type == 20 || type == 31) {
                coarse.shapes.push_back(Copy(*shape));
            }
        }
    }
    return file;
}

}  // namespace testmaps
