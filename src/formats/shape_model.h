#pragma once

// The object model every vector file reader fills: a loaded file (ShapeFile) holds its name,
// bounding rectangle, coverage polygons and detail levels; each level holds its map objects
// (points, polylines, polygons) in file order. MapFile is the wrapper through which the map
// layers use one loaded file.

#include <QByteArray>
#include <QPoint>
#include <QString>

#include <array>
#include <cstdint>
#include <memory>
#include <memory_resource>
#include <vector>

#include "platform/byte_buffer.h"
#include "platform/color.h"
#include "platform/log_font.h"

namespace formats {

// A rectangle in decimal degrees, in the order the model keeps it.
struct GeoRect {
    float west = 0.0f;
    float north = 0.0f;
    float east = 0.0f;
    float south = 0.0f;

    bool operator==(const GeoRect&) const = default;
};

// Where a rectangle widened from vertices or other rectangles starts: west 180, north -90,
// east -180, south 90. Left so, it describes an empty area.
inline constexpr GeoRect kEmptyArea{180.0f, -90.0f, -180.0f, 90.0f};

// Widens `rect` to take in `other` (least west and south, greatest north and east).
void Widen(GeoRect& rect, const GeoRect& other);

// What Shape::Kind() reports; also the kind word of a ".vl" object record.
inline constexpr int kShapeKindPoint = 0;
inline constexpr int kShapeKindPolyline = 1;
inline constexpr int kShapeKindPolygon = 2;

// Pixel positions a shape keeps for drawing: its vertices on the unrotated canvas and turned
// for the screen. Made on the first draw, with room for ten vertices more than the shape has.
struct ShapePointBuffers {
    std::vector<QPoint> canvasPoints;
    std::vector<QPoint> screenPoints;
};

class Shape;
class ShapeStorage;

// The allocator of vertex arrays: memory from a resource (a file's storage or the heap), and a
// resize that leaves new floats uninitialised, since a reader overwrites them at once.
template <typename T>
class VertexAllocator : public std::pmr::polymorphic_allocator<T> {
public:
    using std::pmr::polymorphic_allocator<T>::polymorphic_allocator;
    template <typename U>
    struct rebind {
        using other = VertexAllocator<U>;
    };
    template <typename U>
    void construct(U* place) noexcept {
        ::new (static_cast<void*>(place)) U;
    }
    template <typename U, typename... Args>
    void construct(U* place, Args&&... args) {
        std::pmr::polymorphic_allocator<T>::construct(place, std::forward<Args>(args)...);
    }
};

using VertexArray = std::vector<float, VertexAllocator<float>>;

// Frees a shape made on the heap; a shape made in its file's storage is only destroyed, its
// memory going back with the storage as a whole.
struct ShapeDeleter {
    void operator()(Shape* shape) const;
};

// How levels and coverage hold their shapes.
template <typename T = Shape>
using ShapePtr = std::unique_ptr<T, ShapeDeleter>;

// A shape on the heap, for readers that build their model piece by piece and for tests.
template <typename T>
ShapePtr<T> MakeShape() {
    return ShapePtr<T>(new T());
}

class Shape {
public:
    // The vertices take their memory from resource.
    explicit Shape(std::pmr::memory_resource* resource = std::pmr::get_default_resource())
        : vertexPairs(resource) {}
    virtual ~Shape();
    Shape(const Shape&) = delete;
    Shape& operator=(const Shape&) = delete;

    virtual int Kind() const = 0;

    size_t VertexCount() const { return vertexPairs.size() / 2; }
    float Latitude(size_t vertex) const { return vertexPairs[2 * vertex]; }
    float Longitude(size_t vertex) const { return vertexPairs[2 * vertex + 1]; }
    void AddVertex(float latitude, float longitude) {
        vertexPairs.push_back(latitude);
        vertexPairs.push_back(longitude);
    }

    // The latitude and longitude of each vertex in turn, in decimal degrees, north and east
    // positive: the two arrays of the model kept as one, as the file keeps them.
    VertexArray vertexPairs;
    GeoRect bounds;
    QString label;  // may be empty
    // Where the label is placed.
    float anchorLon = 0.0f;
    float anchorLat = 0.0f;
    // Direction of the label in tenths of a degree, counter-clockwise as the font escapement;
    // 0 for a horizontal label.
    int32_t labelAngleTenthsDeg = 0;
    int32_t type = 0;     // Garmin object type (polygon 0x4B is the background area)
    int32_t subtype = 0;  // Garmin object subtype, for points

    // Kept by the map layers and by shape drawing; no reader sets them.
    std::array<QPoint, 4> screenCorners{};  // bounding rectangle NW, NE, SW, SE on the canvas
    bool drawn = true;

private:
    // Beside the drawn flag, where it costs no room: a map holds hundreds of thousands of shapes.
    friend class ShapeStorage;
    friend struct ShapeDeleter;
    bool inFileStorage_ = false;

public:
    platform::ColorRef colour = 0xFFE4FF;
    int32_t night = 0;
    double sortKey = 0.0;  // the GPX reader orders polygons by it
    std::unique_ptr<ShapePointBuffers> pointBuffers;
};

class ShapePoint : public Shape {
public:
    using Shape::Shape;
    int Kind() const override { return kShapeKindPoint; }
};

class ShapePolyline : public Shape {
public:
    using Shape::Shape;
    int Kind() const override { return kShapeKindPolyline; }
};

class ShapePolygon : public Shape {
public:
    using Shape::Shape;
    int Kind() const override { return kShapeKindPolygon; }
};

// The memory of the shapes read from one file and of their vertex arrays: one block reserved
// large enough for the file, handed out in order and given back as a whole. Only the pages the
// shapes use become resident. Shapes made in it must not outlive it.
class ShapeStorage {
public:
    // Empty when the memory cannot be had.
    static std::unique_ptr<ShapeStorage> Create(size_t bytes);
    ~ShapeStorage();
    ShapeStorage(const ShapeStorage&) = delete;
    ShapeStorage& operator=(const ShapeStorage&) = delete;

    // At most the bytes a shape of type T takes from the storage with its vertices.
    template <typename T>
    static constexpr size_t BytesFor(size_t vertexCount) {
        return Rounded(sizeof(T)) + Rounded(8 * vertexCount);
    }

    std::pmr::memory_resource* Resource() { return &resource_; }

    template <typename T>
    ShapePtr<T> NewShape() {
        void* place = resource_.allocate(sizeof(T), alignof(T));
        T* shape = new (place) T(&resource_);
        shape->inFileStorage_ = true;
        return ShapePtr<T>(shape);
    }

private:
    ShapeStorage(platform::ByteBuffer block);
    static constexpr size_t Rounded(size_t bytes) { return (bytes + 15) / 16 * 16; }

    platform::ByteBuffer block_;
    // Should the block fall short, the heap serves the rest.
    std::pmr::monotonic_buffer_resource resource_;
};

// One detail level: the objects meant for one range of zoom resolutions.
struct ShapeLevel {
    // The array of shapes takes its memory from resource.
    explicit ShapeLevel(std::pmr::memory_resource* resource = std::pmr::get_default_resource())
        : shapes(resource) {}

    uint32_t cbits = 0;  // coordinate bits; more bits, more detail
    std::pmr::vector<ShapePtr<>> shapes;
};

// The cbits a zoom resolution (metres per centimetre) wants from a map file.
int WantedCbits(float resolution);

// The rectangle of a shape's vertices; kEmptyArea for a shape without vertices.
GeoRect VertexBounds(const Shape& shape);

// Puts a level's objects in drawing order: the polygons by sort key, greatest first, then the
// polylines by type code, greatest first, then the points in the order they had. Objects of
// equal key keep their order.
void OrderForDrawing(ShapeLevel& level);

// A loaded map file. The base class reads a file into memory; the readers derived from it
// parse that buffer into the model.
class ShapeFile {
public:
    ShapeFile() = default;
    virtual ~ShapeFile();
    ShapeFile(const ShapeFile&) = delete;
    ShapeFile& operator=(const ShapeFile&) = delete;

    // Reads the whole of path into the file buffer. False when the file cannot be opened or
    // read, or no buffer can be had for it.
    virtual bool Load(const QString& path);

    // Makes current the coarsest level that is still detailed enough for the resolution (files
    // list their levels from the most detailed to the coarsest), or level 0 when none is;
    // returns the cbits the resolution wants.
    int SelectLevel(float resolution);
    // True when the point lies inside one of the coverage polygons.
    bool Contains(float latitude, float longitude) const;

    // The level SelectLevel chose; null when the file has no levels.
    const ShapeLevel* CurrentLevel() const;

    // Drops the name, rectangle, coverage and levels.
    void Clear();

    // Sets the bounding rectangle from the rectangles of all objects of all levels (kEmptyArea
    // without objects) and makes every background area (polygon type 0x4B) a coverage polygon.
    void ComputeBoundsAndCoverage();

    // Holds the shapes read from the file; declared before the levels so that it goes after
    // them.
    std::unique_ptr<ShapeStorage> storage;
    // Label colours and font; the map drawing sets them from the settings.
    platform::ColorRef labelColour = 0x000000;
    platform::ColorRef labelBackColour = 0xFFFFFF;
    GeoRect bounds;
    QString name;  // the map's name from the file; empty for GPX
    platform::LogFont labelFont;
    std::vector<std::unique_ptr<ShapeLevel>> levels;  // in file order
    std::vector<ShapePtr<ShapePolygon>> coverage;
    uint32_t currentLevel = 0;

protected:
    // The file's bytes; held only while a Load runs.
    platform::ByteBuffer fileBuffer;
};

// The object through which a map layer uses one loaded file: it owns the ShapeFile and keeps a
// copy of its bounding rectangle. Without a loaded file every query answers 0, null or false.
class MapFile {
public:
    MapFile() = default;
    virtual ~MapFile();
    MapFile(const MapFile&) = delete;
    MapFile& operator=(const MapFile&) = delete;

    // The base class reads no file format.
    virtual bool Load(const QString& path);

    // Objects of the current level.
    int ObjectCount() const;
    // Null when index is not below ObjectCount().
    Shape* Object(int index) const;
    int SelectLevel(float resolution);
    bool Contains(float latitude, float longitude) const;

    ShapeFile* File() const { return file_.get(); }

    // The file's bounding rectangle as it was when the file loaded.
    float east = 0.0f;
    float south = 0.0f;
    float west = 0.0f;
    float north = 0.0f;

protected:
    // Holds `file` in place of the file held so far (which goes before `file` reads), loads it
    // from path and on success copies its bounding rectangle. A file that fails to load stays
    // held, empty.
    bool LoadFile(std::unique_ptr<ShapeFile> file, const QString& path);

    std::unique_ptr<ShapeFile> file_;
};

}  // namespace formats
