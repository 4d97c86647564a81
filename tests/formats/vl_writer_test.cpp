#include "formats/vl_writer.h"

#include <gtest/gtest.h>

#include <QFile>

#include "temp_home.h"

namespace formats {
namespace {

// Little-endian bytes written out by hand, independent of the writer's own helpers.
QByteArray Word16(uint16_t v) {
    const char bytes[] = {char(v & 0xFF), char(v >> 8)};
    return QByteArray(bytes, 2);
}
QByteArray Word32(uint32_t v) {
    const char bytes[] = {char(v & 0xFF), char((v >> 8) & 0xFF), char((v >> 16) & 0xFF),
                          char(v >> 24)};
    return QByteArray(bytes, 4);
}
QByteArray Float(float f) {
    return Word32(std::bit_cast<uint32_t>(f));
}

TEST(WriteVl, LaysOutEveryItemInOrderWithoutPadding) {
    ShapeFile file;
    file.name = QStringLiteral("Mé");
    file.bounds = GeoRect{/*west*/ 1.0f, /*north*/ 4.0f, /*east*/ 2.0f, /*south*/ 3.0f};
    auto ring = MakeShape<ShapePolygon>();
    ring->AddVertex(3.0f, 1.0f);
    file.coverage.push_back(std::move(ring));
    auto level = std::make_unique<ShapeLevel>();
    level->cbits = 22;
    auto road = MakeShape<ShapePolyline>();
    road->label = QStringLiteral("A");
    road->anchorLon = 1.5f;
    road->anchorLat = 3.5f;
    road->labelAngleTenthsDeg = -900;
    road->type = 6;
    road->subtype = 7;
    road->bounds = GeoRect{1.25f, 3.75f, 1.75f, 3.25f};
    road->AddVertex(3.25f, 1.25f);
    road->AddVertex(3.75f, 1.75f);
    level->shapes.push_back(std::move(road));
    file.levels.push_back(std::move(level));
    file.levels.push_back(std::make_unique<ShapeLevel>());

    const QByteArray expected =
        Word16(1) + Word32(4) + QByteArray("M\0\xE9\0", 4) +     // version, name
        Float(2.0f) + Float(1.0f) + Float(3.0f) + Float(4.0f) +  // east west south north
        Word32(1) + Word32(1) + Float(3.0f) + Float(1.0f) +      // coverage
        Word32(2) + Word32(22) + Word32(1) +                     // levels, first level
        Word32(1) + Word32(2) + QByteArray("A\0", 2) +           // kind, label
        Float(1.5f) + Float(3.5f) + Word32(uint32_t(-900)) + Word32(6) + Word32(7) + Float(1.25f) +
        Float(3.75f) + Float(1.75f) + Float(3.25f) +  // west north east south
        Word32(2) + Float(3.25f) + Float(1.25f) + Float(3.75f) + Float(1.75f) + Word32(0) +
        Word32(0);  // the empty level
    EXPECT_EQ(WriteVl(file).toHex(' '), expected.toHex(' '));
}

TEST(WriteVlFile, ReplacesTheFileWhole) {
    TempHome home;
    ASSERT_TRUE(home.Write("a.vl", QByteArray(1000, 'x')));
    ShapeFile file;
    ASSERT_TRUE(WriteVlFile(file, home.File("a.vl")));
    QFile written(home.File("a.vl"));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), WriteVl(file));
    EXPECT_FALSE(WriteVlFile(file, home.File("no/such/folder/a.vl")));
}

}  // namespace
}  // namespace formats
