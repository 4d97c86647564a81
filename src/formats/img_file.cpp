#include "formats/img_file.h"

#include <memory>

#include "formats/byte_cursor.h"
#include "platform/file_access.h"

namespace formats {
namespace {

// Version, name length.
constexpr int64_t kHeaderLeadBytes = 6;
// East, west, south, north.
constexpr int64_t kHeaderRectBytes = 16;

bool ReadHeaderFields(ByteCursor& cursor, QString& name, GeoRect& bounds) {
    uint16_t version = 0;
    uint32_t nameBytes = 0;
    if (!cursor.ReadU16(version) || version != kVlVersion || !cursor.ReadU32(nameBytes) ||
        !cursor.ReadUtf16(nameBytes, name)) {
        return false;
    }
    // The file keeps the rectangle as east, west, south, north.
    return cursor.ReadF32(bounds.east) && cursor.ReadF32(bounds.west) &&
           cursor.ReadF32(bounds.south) && cursor.ReadF32(bounds.north);
}

// A vertex count, then that many (latitude, longitude) pairs.
bool ReadVertices(ByteCursor& cursor, Shape& shape) {
    uint32_t count = 0;
    const char* bytes = nullptr;
    if (!cursor.ReadU32(count) || !cursor.HasRoomFor(count, kVlVertexBytes) ||
        !cursor.Take(size_t(count) * kVlVertexBytes, bytes)) {
        return false;
    }
    shape.latitudes.resize(count);
    shape.longitudes.resize(count);
    for (uint32_t i = 0; i < count; ++i) {
        const char* vertex = bytes + size_t(i) * kVlVertexBytes;
        shape.latitudes[i] = std::bit_cast<float>(ByteCursor::LoadLittleEndian<uint32_t>(vertex));
        shape.longitudes[i] =
            std::bit_cast<float>(ByteCursor::LoadLittleEndian<uint32_t>(vertex + 4));
    }
    return true;
}

bool ReadCoverage(ByteCursor& cursor, std::vector<std::unique_ptr<ShapePolygon>>& coverage) {
    uint32_t count = 0;
    if (!cursor.ReadU32(count) || !cursor.HasRoomFor(count, kVlCoverageMinBytes)) {
        return false;
    }
    coverage.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        auto ring = std::make_unique<ShapePolygon>();
        if (!ReadVertices(cursor, *ring)) {
            return false;
        }
        coverage.push_back(std::move(ring));
    }
    return true;
}

std::unique_ptr<Shape> MakeShape(uint32_t kind) {
    switch (kind) {
        case kShapeKindPoint:
            return std::make_unique<ShapePoint>();
        case kShapeKindPolyline:
            return std::make_unique<ShapePolyline>();
        case kShapeKindPolygon:
            return std::make_unique<ShapePolygon>();
        default:
            return nullptr;
    }
}

// One object record. A kind other than point, polyline or polygon fails the file: the format
// has no records a reader may skip, so such a word means the bytes are not a map.
std::unique_ptr<Shape> ReadShape(ByteCursor& cursor) {
    uint32_t kind = 0;
    uint32_t labelBytes = 0;
    QString label;
    if (!cursor.ReadU32(kind) || !cursor.ReadU32(labelBytes) ||
        !cursor.ReadUtf16(labelBytes, label)) {
        return nullptr;
    }
    std::unique_ptr<Shape> shape = MakeShape(kind);
    if (!shape) {
        return nullptr;
    }
    shape->label = std::move(label);
    const bool fieldsRead =
        cursor.ReadF32(shape->anchorLon) && cursor.ReadF32(shape->anchorLat) &&
        cursor.ReadI32(shape->labelAngleTenthsDeg) && cursor.ReadI32(shape->type) &&
        cursor.ReadI32(shape->subtype) && cursor.ReadF32(shape->bounds.west) &&
        cursor.ReadF32(shape->bounds.north) && cursor.ReadF32(shape->bounds.east) &&
        cursor.ReadF32(shape->bounds.south);
    if (!fieldsRead || !ReadVertices(cursor, *shape)) {
        return nullptr;
    }
    return shape;
}

// A level without objects is not kept. Levels of one or two objects are read like any other.
bool ReadLevels(ByteCursor& cursor, std::vector<std::unique_ptr<ShapeLevel>>& levels) {
    uint32_t levelCount = 0;
    if (!cursor.ReadU32(levelCount) || !cursor.HasRoomFor(levelCount, kVlLevelMinBytes)) {
        return false;
    }
    for (uint32_t i = 0; i < levelCount; ++i) {
        uint32_t cbits = 0;
        uint32_t objectCount = 0;
        if (!cursor.ReadU32(cbits) || !cursor.ReadU32(objectCount) ||
            !cursor.HasRoomFor(objectCount, kVlObjectMinBytes)) {
            return false;
        }
        if (objectCount == 0) {
            continue;
        }
        auto level = std::make_unique<ShapeLevel>();
        level->cbits = cbits;
        level->shapes.reserve(objectCount);
        for (uint32_t j = 0; j < objectCount; ++j) {
            std::unique_ptr<Shape> shape = ReadShape(cursor);
            if (!shape) {
                return false;
            }
            level->shapes.push_back(std::move(shape));
        }
        levels.push_back(std::move(level));
    }
    return true;
}

}  // namespace

bool ImgFile::Load(const QString& path) {
    Clear();
    if (!ShapeFile::Load(path)) {
        return false;
    }
    return ParseBuffer();
}

bool ImgFile::LoadFromBytes(QByteArray bytes) {
    Clear();
    fileBuffer = std::move(bytes);
    return ParseBuffer();
}

bool ImgFile::ParseBuffer() {
    ByteCursor cursor(fileBuffer);
    const bool parsed = ReadHeaderFields(cursor, name, bounds) && ReadCoverage(cursor, coverage) &&
                        ReadLevels(cursor, levels);
    if (!parsed) {
        Clear();
        return false;
    }
    currentLevel = 0;
    fileBuffer = QByteArray();
    return true;
}

bool ImgFile::LoadHeader(const QString& path) {
    Clear();
    platform::InputFile file;
    if (!file.Open(path)) {
        return false;
    }
    std::optional<QByteArray> lead = file.Read(kHeaderLeadBytes);
    if (!lead) {
        return false;
    }
    fileBuffer = std::move(*lead);
    if (fileBuffer.size() < kHeaderLeadBytes) {
        return true;  // ReadHeader rejects it
    }
    const uint32_t nameBytes = ByteCursor::LoadLittleEndian<uint32_t>(fileBuffer.constData() + 2);
    std::optional<QByteArray> rest = file.Read(int64_t(nameBytes) + kHeaderRectBytes);
    if (!rest) {
        fileBuffer = QByteArray();
        return false;
    }
    fileBuffer.append(*rest);
    return true;
}

bool ImgFile::ReadHeader() {
    ByteCursor cursor(fileBuffer);
    QString headerName;
    GeoRect headerBounds;
    const bool parsed = ReadHeaderFields(cursor, headerName, headerBounds);
    fileBuffer = QByteArray();
    if (!parsed) {
        return false;
    }
    name = std::move(headerName);
    bounds = headerBounds;
    return true;
}

bool ImgMapFile::Load(const QString& path) {
    return LoadFile(std::make_unique<ImgFile>(), path);
}

}  // namespace formats
