#include "formats/img_file.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "formats/byte_cursor.h"
#include "formats/byte_window.h"
#include "platform/file_access.h"

namespace formats {
namespace {

// Version, name length.
constexpr int64_t kHeaderLeadBytes = 6;
// East, west, south, north.
constexpr int64_t kHeaderRectBytes = 16;

float FloatAt(const char* bytes) {
    return std::bit_cast<float>(LoadLittleEndian<uint32_t>(bytes));
}
int32_t IntAt(const char* bytes) {
    return std::bit_cast<int32_t>(LoadLittleEndian<uint32_t>(bytes));
}

template <typename Reader>
bool ReadHeaderFields(Reader& reader, QString& name, GeoRect& bounds) {
    uint16_t version = 0;
    uint32_t nameBytes = 0;
    if (!reader.ReadU16(version) || version != kVlVersion || !reader.ReadU32(nameBytes) ||
        !reader.ReadUtf16(nameBytes, name)) {
        return false;
    }
    // The file keeps the rectangle as east, west, south, north.
    return reader.ReadF32(bounds.east) && reader.ReadF32(bounds.west) &&
           reader.ReadF32(bounds.south) && reader.ReadF32(bounds.north);
}

// Storage enough for the model of any body of `bodyBytes` bytes after a coverage count of
// ringCount: every object record takes at least kVlObjectMinBytes of the file and every
// polygon at least the size of its vertex count; each costs one shape and one pointer in its
// level, and its vertices and label cost the storage no more than the file, give or take their
// rounding.
// The storage is reserved, not touched, so only what the model uses becomes resident.
size_t StorageBound(uint32_t ringCount, uint64_t bodyBytes) {
    const uint64_t shapeBytes =
        std::max({ShapeStorage::BytesFor<ShapePoint>(1), ShapeStorage::BytesFor<ShapePolyline>(1),
                  ShapeStorage::BytesFor<ShapePolygon>(1)}) +
        sizeof(ShapePtr<>);
    return size_t((ringCount + bodyBytes / kVlObjectMinBytes) * shapeBytes + bodyBytes);
}

// `count` (latitude, longitude) pairs; the file and the model keep them alike, as pairs of
// floats.
bool ReadVertices(ByteWindow& window, uint32_t count, Shape& shape) {
    const char* vertices = nullptr;
    if (!window.HasRoomFor(count, kVlVertexBytes) ||
        !window.Take(size_t(count) * kVlVertexBytes, vertices)) {
        return false;
    }
    if (count == 0) {
        return true;
    }
    shape.vertexPairs.resize(2 * size_t(count));
    float* pairs = shape.vertexPairs.data();
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(pairs, vertices, size_t(count) * kVlVertexBytes);
    } else {
        for (size_t i = 0; i < 2 * size_t(count); ++i) {
            pairs[i] = FloatAt(vertices + 4 * i);
        }
    }
    return true;
}

// A vertex count, then that many vertices.
bool ReadCountedVertices(ByteWindow& window, Shape& shape) {
    uint32_t count = 0;
    return window.ReadU32(count) && ReadVertices(window, count, shape);
}

// A kind other than point, polyline or polygon fails the file: the format has no records a
// reader may skip, so such a word means the bytes are not a map.
ShapePtr<> NewShape(ShapeStorage& storage, uint32_t kind) {
    switch (kind) {
        case kShapeKindPoint:
            return storage.NewShape<ShapePoint>();
        case kShapeKindPolyline:
            return storage.NewShape<ShapePolyline>();
        case kShapeKindPolygon:
            return storage.NewShape<ShapePolygon>();
        default:
            return nullptr;
    }
}

// Kind and label length: the words that size the rest of an object record.
constexpr size_t kObjectLeadBytes = 8;
// Anchor longitude and latitude, label angle, type, subtype, then west, north, east, south and
// the vertex count: the fixed words between an object's label and its vertices.
constexpr size_t kObjectWordsBytes = 40;
static_assert(kObjectLeadBytes + kObjectWordsBytes == kVlObjectMinBytes);

// An object record in three reads: its lead, then its label with the fixed words, then its
// vertices.
ShapePtr<> ReadObject(ByteWindow& window, ShapeStorage& storage) {
    const char* lead = nullptr;
    if (!window.Take(kObjectLeadBytes, lead)) {
        return nullptr;
    }
    const uint32_t labelBytes = LoadLittleEndian<uint32_t>(lead + 4);
    ShapePtr<> shape = NewShape(storage, LoadLittleEndian<uint32_t>(lead));
    const char* label = nullptr;
    if (!shape || !window.Take(size_t(labelBytes) + kObjectWordsBytes, label)) {
        return nullptr;
    }
    if (labelBytes > 1) {  // an odd last byte belongs to no UTF-16 unit
        shape->SetLabelUtf16Le(label, Utf16LeLength(label, labelBytes / 2));
    }
    const char* words = label + labelBytes;
    shape->anchorLon = FloatAt(words);
    shape->anchorLat = FloatAt(words + 4);
    shape->labelAngleTenthsDeg = IntAt(words + 8);
    shape->type = IntAt(words + 12);
    shape->subtype = IntAt(words + 16);
    shape->bounds =
        GeoRect{FloatAt(words + 20), FloatAt(words + 24), FloatAt(words + 28), FloatAt(words + 32)};
    const uint32_t vertexCount = LoadLittleEndian<uint32_t>(words + 36);
    return ReadVertices(window, vertexCount, *shape) ? std::move(shape) : nullptr;
}

bool ReadRings(ByteWindow& window, uint32_t count, ShapeFile& file) {
    file.coverage.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        ShapePtr<ShapePolygon> ring = file.storage->NewShape<ShapePolygon>();
        if (!ReadCountedVertices(window, *ring)) {
            return false;
        }
        file.coverage.push_back(std::move(ring));
    }
    return true;
}

// A level without objects is not kept. Levels of one or two objects are read like any other.
bool ReadLevels(ByteWindow& window, ShapeFile& file) {
    uint32_t levelCount = 0;
    if (!window.ReadU32(levelCount) || !window.HasRoomFor(levelCount, kVlLevelMinBytes)) {
        return false;
    }
    for (uint32_t i = 0; i < levelCount; ++i) {
        uint32_t cbits = 0;
        uint32_t objectCount = 0;
        if (!window.ReadU32(cbits) || !window.ReadU32(objectCount) ||
            !window.HasRoomFor(objectCount, kVlObjectMinBytes)) {
            return false;
        }
        if (objectCount == 0) {
            continue;
        }
        auto level = std::make_unique<ShapeLevel>(file.storage->Resource());
        level->cbits = cbits;
        level->shapes.reserve(objectCount);
        for (uint32_t j = 0; j < objectCount; ++j) {
            ShapePtr<> shape = ReadObject(window, *file.storage);
            if (!shape) {
                return false;
            }
            level->shapes.push_back(std::move(shape));
        }
        file.levels.push_back(std::move(level));
    }
    return true;
}

}  // namespace

bool ImgFile::Load(const QString& path) {
    Clear();
    platform::InputFile file;
    if (!file.Open(path)) {
        return false;
    }
    ByteWindow window([&file](char* into, int64_t length) { return file.ReadInto(into, length); },
                      uint64_t(file.Size()));
    return Parse(window);
}

bool ImgFile::LoadFromBytes(const QByteArray& bytes, size_t windowBytes) {
    Clear();
    size_t offset = 0;
    ByteWindow window(
        [&bytes, &offset](char* into, int64_t length) {
            std::memcpy(into, bytes.constData() + offset, size_t(length));
            offset += size_t(length);
            return length;
        },
        uint64_t(bytes.size()), windowBytes);
    return Parse(window);
}

// A file that does not parse is cleared: nothing of it stays allocated.
bool ImgFile::Parse(ByteWindow& window) {
    uint32_t ringCount = 0;
    const bool parsed =
        ReadHeaderFields(window, name, bounds) && window.ReadU32(ringCount) &&
        window.HasRoomFor(ringCount, kVlCoverageMinBytes) &&
        (storage = ShapeStorage::Create(StorageBound(ringCount, window.Remaining()))) &&
        ReadRings(window, ringCount, *this) && ReadLevels(window, *this);
    if (!parsed) {
        Clear();
        return false;
    }
    currentLevel = 0;
    return true;
}

bool ImgFile::LoadHeader(const QString& path) {
    Clear();
    platform::InputFile file;
    if (!file.Open(path)) {
        return false;
    }
    char lead[kHeaderLeadBytes];
    const int64_t leadRead = file.ReadInto(lead, kHeaderLeadBytes);
    if (leadRead < 0) {
        return false;
    }
    // The rest of the header as the name length gives it, never more than the file holds; a
    // short header is left for ReadHeader to reject.
    int64_t restBytes = 0;
    if (leadRead == kHeaderLeadBytes) {
        const uint32_t nameBytes = LoadLittleEndian<uint32_t>(lead + 2);
        restBytes = std::min(int64_t(nameBytes) + kHeaderRectBytes, file.Size() - leadRead);
    }
    std::optional<platform::ByteBuffer> header =
        platform::ByteBuffer::Allocate(size_t(leadRead + restBytes));
    if (!header) {
        return false;
    }
    if (leadRead == 0) {
        fileBuffer = std::move(*header);  // an empty file, for ReadHeader to reject
        return true;
    }
    std::memcpy(header->Data(), lead, size_t(leadRead));
    const int64_t restRead = file.ReadInto(header->Data() + leadRead, restBytes);
    if (restRead < 0) {
        return false;
    }
    header->Truncate(size_t(leadRead + restRead));
    fileBuffer = std::move(*header);
    return true;
}

bool ImgFile::ReadHeader() {
    ByteCursor cursor(fileBuffer.Data(), fileBuffer.Size());
    QString headerName;
    GeoRect headerBounds;
    const bool parsed = ReadHeaderFields(cursor, headerName, headerBounds);
    fileBuffer.Free();
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
