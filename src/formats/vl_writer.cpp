#include "formats/vl_writer.h"

#include <algorithm>

#include "formats/byte_writer.h"
#include "formats/img_file.h"
#include "platform/file_access.h"

namespace formats {
namespace {

void WriteText(ByteWriter& out, const QString& text) {
    out.WriteU32(uint32_t(text.size()) * 2);
    out.WriteUtf16(text);
}

void WriteVertices(ByteWriter& out, const Shape& shape) {
    const size_t count = shape.VertexCount();
    out.WriteU32(uint32_t(count));
    for (size_t i = 0; i < count; ++i) {
        out.WriteF32(shape.Latitude(i));
        out.WriteF32(shape.Longitude(i));
    }
}

void WriteShape(ByteWriter& out, const Shape& shape) {
    out.WriteU32(uint32_t(shape.Kind()));
    WriteText(out, shape.label);
    out.WriteF32(shape.anchorLon);
    out.WriteF32(shape.anchorLat);
    out.WriteI32(shape.labelAngleTenthsDeg);
    out.WriteI32(shape.type);
    out.WriteI32(shape.subtype);
    out.WriteF32(shape.bounds.west);
    out.WriteF32(shape.bounds.north);
    out.WriteF32(shape.bounds.east);
    out.WriteF32(shape.bounds.south);
    WriteVertices(out, shape);
}

qsizetype ShapeBytes(const Shape& shape) {
    return qsizetype(kVlObjectMinBytes) + 2 * shape.label.size() +
           qsizetype(kVlVertexBytes * shape.VertexCount());
}

}  // namespace

QByteArray WriteVl(const ShapeFile& file) {
    // Version, name length, rectangle, coverage count and level count.
    qsizetype expected = 30 + 2 * file.name.size();
    for (const auto& ring : file.coverage) {
        expected += qsizetype(kVlCoverageMinBytes + kVlVertexBytes * ring->VertexCount());
    }
    for (const auto& level : file.levels) {
        expected += qsizetype(kVlLevelMinBytes);
        for (const auto& shape : level->shapes) {
            expected += ShapeBytes(*shape);
        }
    }
    ByteWriter out;
    out.Reserve(expected);

    out.WriteU16(kVlVersion);
    WriteText(out, file.name);
    out.WriteF32(file.bounds.east);
    out.WriteF32(file.bounds.west);
    out.WriteF32(file.bounds.south);
    out.WriteF32(file.bounds.north);

    out.WriteU32(uint32_t(file.coverage.size()));
    for (const auto& ring : file.coverage) {
        WriteVertices(out, *ring);
    }
    out.WriteU32(uint32_t(file.levels.size()));
    for (const auto& level : file.levels) {
        out.WriteU32(level->cbits);
        out.WriteU32(uint32_t(level->shapes.size()));
        for (const auto& shape : level->shapes) {
            WriteShape(out, *shape);
        }
    }
    return out.Take();
}

bool WriteVlFile(const ShapeFile& file, const QString& path) {
    return platform::WriteWholeFile(path, WriteVl(file));
}

}  // namespace formats
