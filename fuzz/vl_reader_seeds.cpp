// Seeds for vl_reader_fuzz: small maps from the writer, with every kind of object, empty and
// tiny levels, labels with and without NUL, coverage polygons.
#include <QString>

#include <cstdio>

#include "formats/vl_writer.h"

namespace {

template <typename T>
formats::ShapePtr<T> Shape(int32_t type, const QString& label, int vertices) {
    formats::ShapePtr<T> shape = formats::MakeShape<T>();
    shape->type = type;
    shape->subtype = type / 3;
    shape->label = label;
    shape->labelAngleTenthsDeg = 450;
    shape->anchorLat = 42.5f;
    shape->anchorLon = 1.5f;
    shape->bounds = formats::GeoRect{1.4f, 42.6f, 1.6f, 42.4f};
    for (int i = 0; i < vertices; ++i) {
        shape->AddVertex(42.4f + 0.01f * float(i), 1.4f + 0.02f * float(i % 7));
    }
    return shape;
}

void Write(const formats::ShapeFile& file, const QString& folder, const char* name) {
    if (!formats::WriteVlFile(file, folder + "/" + name)) {
        std::fprintf(stderr, "cannot write seed %s\n", name);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s CORPUS\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);

    formats::ShapeFile empty;
    Write(empty, folder, "seed-empty.vl");

    formats::ShapeFile map;
    map.name = QStringLiteral("Andorra la Vella");
    map.bounds = formats::GeoRect{1.4f, 42.6f, 1.6f, 42.4f};
    map.coverage.push_back(Shape<formats::ShapePolygon>(0, QString(), 4));
    map.coverage.push_back(Shape<formats::ShapePolygon>(0, QString(), 0));
    const uint32_t cbits[] = {24, 22, 20, 18};
    for (int l = 0; l < 4; ++l) {
        auto level = std::make_unique<formats::ShapeLevel>();
        level->cbits = cbits[l];
        for (int i = 0; i < (l == 3 ? 0 : 1 + 2 * l); ++i) {
            level->shapes.push_back(Shape<formats::ShapePoint>(0x2F00 + i, "Fuel", 1));
            level->shapes.push_back(
                Shape<formats::ShapePolyline>(i + 1, ".CG" + QString::number(i), 5));
            level->shapes.push_back(Shape<formats::ShapePolygon>(0x4B, QString(), 6));
        }
        map.levels.push_back(std::move(level));
    }
    Write(map, folder, "seed-map.vl");

    formats::ShapeFile labels;
    labels.name = QString::fromUtf16(u"Nom\0bre", 7);
    auto level = std::make_unique<formats::ShapeLevel>();
    level->cbits = 24;
    level->shapes.push_back(Shape<formats::ShapePoint>(1, QString::fromUtf16(u"\0x", 2), 1));
    level->shapes.push_back(Shape<formats::ShapePolyline>(2, QStringLiteral("Carrer Major ☃"), 2));
    labels.levels.push_back(std::move(level));
    Write(labels, folder, "seed-labels.vl");
    return 0;
}
