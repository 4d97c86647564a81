#pragma once

// The object model every vector file reader fills: a loaded file (ShapeFile) holds its name,
// bounding rectangle, coverage polygons and detail levels; each level holds its map objects
// (points, polylines, polygons) in file order. MapFile is the wrapper through which the map
// layers use one loaded file.

#include <QBrush>
#include <QByteArray>
#include <QPen>
#include <QPoint>
#include <QString>
#include <QStringView>

#include <array>
#include <cstdint>
#include <memory>
#include <memory_resource>
#include <optional>
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
// for the screen, and its label anchor on the canvas. Made on the first draw, with room for ten
// vertices more than the shape has; recomputed for each canvas, reused while it scrolls.
struct ShapePointBuffers {
    std::vector<QPoint> canvasPoints;
    std::vector<QPoint> screenPoints;
    QPoint canvasAnchor;
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
    // A copy of an array lives on the heap, whatever the original's storage.
    VertexAllocator select_on_container_copy_construction() const { return VertexAllocator(); }
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
    // The vertices and the label take their memory from resource.
    explicit Shape(std::pmr::memory_resource* resource = std::pmr::get_default_resource())
        : vertexPairs(resource) {}
    virtual ~Shape();
    Shape(const Shape&) = delete;
    Shape& operator=(const Shape&) = delete;

    virtual int Kind() const = 0;
    // Distance in degrees (longitude unscaled) from the point to the shape when it is a road
    // the point lies close to; -1.0 otherwise.
    virtual double DistanceTo(float latitude, float longitude) const;

    size_t VertexCount() const { return vertexPairs.size() / 2; }
    float Latitude(size_t vertex) const { return vertexPairs[2 * vertex]; }
    float Longitude(size_t vertex) const { return vertexPairs[2 * vertex + 1]; }
    void AddVertex(float latitude, float longitude) {
        vertexPairs.push_back(latitude);
        vertexPairs.push_back(longitude);
    }

    // The label lives with the shape (in its file's storage for a shape read from a file);
    // whoever keeps it longer than the shape takes a copy with toString().
    QStringView Label() const { return QStringView(labelText_, qsizetype(labelLength_)); }
    void SetLabel(QStringView text);
    // The same from `units` UTF-16 code units stored little-endian at bytes.
    void SetLabelUtf16Le(const char* bytes, size_t units);

    // The latitude and longitude of each vertex in turn, in decimal degrees, north and east
    // positive: the two arrays of the model kept as one, as the file keeps them.
    VertexArray vertexPairs;
    GeoRect bounds;

private:
    char16_t* AllocateLabel(size_t units);
    void FreeLabel();

    friend class ShapeStorage;
    friend struct ShapeDeleter;
    char16_t* labelText_ = nullptr;
    uint32_t labelLength_ = 0;  // UTF-16 code units
    bool inFileStorage_ = false;

public:
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
    int32_t drawn = 1;
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
    // Roads are the type codes up to this one.
    static constexpr int32_t kLastRoadType = 12;
    // A segment closer than this (degrees) answers DistanceTo.
    static constexpr double kNearSegmentDegrees = 0.0005;

    int Kind() const override { return kShapeKindPolyline; }
    // Only roads answer, and only for a point inside the bounding rectangle grown by
    // kNearSegmentDegrees: the distance to the nearest segment when it is nearer than that.
    double DistanceTo(float latitude, float longitude) const override;

    // Made by the drawing for the present zoom; a line without an inner pen is drawn once.
    std::optional<QPen> outerPen;
    std::optional<QPen> innerPen;
};

class ShapePolygon : public Shape {
public:
    using Shape::Shape;
    int Kind() const override { return kShapeKindPolygon; }

    // Made by the drawing for the present zoom. Without an outline pen the area is outlined
    // with whatever pen the drawing surface holds.
    std::optional<QPen> outlinePen;
    std::optional<QBrush> fillBrush;
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
        void* place = resource_.Allocate(sizeof(T), alignof(T));
        T* shape = new (place) T(&resource_);
        shape->inFileStorage_ = true;
        return ShapePtr<T>(shape);
    }

private:
    // Hands out the block in order, each piece aligned as asked, and takes nothing back: a
    // pointer bump, since a reader asks for a shape, a label and a vertex array per object.
    // Should the block fall short, the heap serves the rest.
    class BlockResource final : public std::pmr::memory_resource {
    public:
        BlockResource(char* data, size_t size) : next_(data), end_(data + size) {}

        void* Allocate(size_t bytes, size_t alignment) {
            const size_t padding = size_t(-reinterpret_cast<uintptr_t>(next_)) & (alignment - 1);
            const size_t room = size_t(end_ - next_);
            if (next_ && padding <= room && bytes <= room - padding) {
                void* place = next_ + padding;
                next_ += padding + bytes;
                return place;
            }
            return overflow_.allocate(bytes, alignment);
        }

    private:
        void* do_allocate(size_t bytes, size_t alignment) override {
            return Allocate(bytes, alignment);
        }
        void do_deallocate(void*, size_t, size_t) override {}
        bool do_is_equal(const std::pmr::memory_resource& other) const noexcept override {
            return this == &other;
        }

        char* next_;
        char* end_;
        std::pmr::monotonic_buffer_resource overflow_{std::pmr::new_delete_resource()};
    };

    explicit ShapeStorage(platform::ByteBuffer block);
    static constexpr size_t Rounded(size_t bytes) { return (bytes + 15) / 16 * 16; }

    platform::ByteBuffer block_;
    BlockResource resource_;
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

// A loaded map file. The base class reads a whole file into memory for readers that parse a
// buffer; ImgFile reads its format through a moving window instead.
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

    // The nearest road of the current level to the point, with its label copied into name;
    // null (name unchanged) when no road is within kRoadFoundDegrees.
    static constexpr double kRoadFoundDegrees = 0.0003;
    Shape* FindRoadAt(float latitude, float longitude, QString& name) const;

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

    // The label colours and font of the loaded file: 0 and null without one.
    platform::ColorRef LabelColour() const;
    platform::ColorRef LabelBackColour() const;
    platform::LogFont* LabelFont() const;
    // The label font's height, -2 (larger) or +2 (smaller); a positive height after shrinking
    // becomes 1.
    void FontLarger();
    void FontSmaller();
    // ShapeFile::FindRoadAt of the loaded file; null without one.
    Shape* FindRoadAt(float latitude, float longitude, QString& name) const;

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
