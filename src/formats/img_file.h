#pragma once

// The program's own vector map format, ".vl": little-endian, no padding. A header (version,
// name, bounding rectangle), the coverage polygons, then the detail levels with their object
// records.

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

#include "formats/byte_window.h"
#include "formats/shape_model.h"

namespace formats {

inline constexpr uint16_t kVlVersion = 1;

// Smallest sizes in bytes of the counted parts: a vertex (latitude, longitude), a coverage
// polygon (its vertex count), a level (cbits, object count) and an object record without label
// and vertices (kind, label length, five words, rectangle, vertex count).
inline constexpr size_t kVlVertexBytes = 8;
inline constexpr size_t kVlCoverageMinBytes = 4;
inline constexpr size_t kVlLevelMinBytes = 8;
inline constexpr size_t kVlObjectMinBytes = 48;

// A ".vl" map file read into the shape model. Every count and length is checked against the
// end of the file: a file that does not parse leaves nothing of itself behind.
class ImgFile : public ShapeFile {
public:
    // Reads and parses the whole file; false when it cannot be read or does not parse. The file
    // is read through a window of ByteWindow::kDefaultWindowBytes, so that it is never held
    // whole besides its model.
    bool Load(const QString& path) override;
    // The same on bytes already in memory, passed through a window of windowBytes.
    bool LoadFromBytes(const QByteArray& bytes,
                       size_t windowBytes = ByteWindow::kDefaultWindowBytes);

    // Fills the file buffer with the header alone (version, name, rectangle), reading no more
    // of the file than that; ReadHeader then parses it. Used by the map catalogue.
    bool LoadHeader(const QString& path);
    // Parses the name and bounding rectangle from the file buffer, which it then frees; false
    // (buffer freed) for another version or a header cut short.
    bool ReadHeader();

private:
    bool Parse(ByteWindow& window);
};

// The MapFile of ".vl" maps.
class ImgMapFile : public MapFile {
public:
    // Replaces any file held before. On failure the failed ImgFile stays held (empty) and
    // false is returned; on success the bounding rectangle is copied.
    bool Load(const QString& path) override;
};

}  // namespace formats
