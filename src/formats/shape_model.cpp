#include "formats/shape_model.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>
#include <limits>

#include "formats/byte_cursor.h"
#include "platform/file_access.h"
#include "platform/trace.h"

namespace formats {
namespace {

struct CbitsStep {
    float resolutionBelow;  // metres per centimetre
    int cbits;
};

constexpr CbitsStep kCbitsSteps[] = {
    {300.0f, 24},   {500.0f, 22},    {1200.0f, 21},   {2000.0f, 20},
    {3000.0f, 19},  {5000.0f, 18},   {9000.0f, 17},   {20000.0f, 16},
    {50000.0f, 15}, {120000.0f, 14}, {300000.0f, 13}, {800000.0f, 12},
};
constexpr int kCoarsestCbits = 11;
// Garmin polygon type of the background area, which outlines what a map covers.
constexpr int32_t kBackgroundAreaType = 0x4B;

// Even-odd test of one ring. An edge counts when one end lies strictly south of the point and
// the other at or north of it, so a point on a vertex's latitude is counted on one side only.
bool RingContains(const ShapePolygon& ring, float latitude, float longitude) {
    const size_t count = ring.VertexCount();
    bool inside = false;
    for (size_t j = 0; j < count; ++j) {
        const size_t k = (j + 1 == count) ? 0 : j + 1;
        const float latJ = ring.Latitude(j);
        const float latK = ring.Latitude(k);
        const bool crosses =
            (latJ < latitude && latK >= latitude) || (latK < latitude && latJ >= latitude);
        if (crosses) {
            const float lonJ = ring.Longitude(j);
            const float edgeLon =
                lonJ + (latitude - latJ) / (latK - latJ) * (ring.Longitude(k) - lonJ);
            if (edgeLon < longitude) {
                inside = !inside;
            }
        }
    }
    return inside;
}

// Straight-line distance in degrees from (lat, lon) to the segment a–b, measured to the point of
// the segment nearest to the point's projection on the segment's line. A segment whose ends
// coincide is that one point.
double SegmentDistance(double lat, double lon, double latA, double lonA, double latB, double lonB) {
    const double dLat = latB - latA;
    const double dLon = lonB - lonA;
    const double lengthSquared = dLat * dLat + dLon * dLon;
    double t = 0.0;
    if (lengthSquared > 0.0) {
        t = ((lat - latA) * dLat + (lon - lonA) * dLon) / lengthSquared;
        t = std::clamp(t, 0.0, 1.0);
    }
    const double nearLat = latA + t * dLat - lat;
    const double nearLon = lonA + t * dLon - lon;
    return std::sqrt(nearLat * nearLat + nearLon * nearLon);
}

}  // namespace

Shape::~Shape() {
    FreeLabel();
}

char16_t* Shape::AllocateLabel(size_t units) {
    FreeLabel();
    if (units == 0) {
        return nullptr;
    }
    std::pmr::memory_resource* resource = vertexPairs.get_allocator().resource();
    labelText_ = static_cast<char16_t*>(resource->allocate(2 * units, alignof(char16_t)));
    labelLength_ = uint32_t(units);
    return labelText_;
}

// A label in file storage goes back with the storage as a whole.
void Shape::FreeLabel() {
    if (labelText_ && !inFileStorage_) {
        vertexPairs.get_allocator().resource()->deallocate(labelText_, 2 * size_t(labelLength_),
                                                           alignof(char16_t));
    }
    labelText_ = nullptr;
    labelLength_ = 0;
}

void Shape::SetLabel(QStringView text) {
    if (char16_t* units = AllocateLabel(size_t(text.size()))) {
        std::memcpy(units, text.utf16(), 2 * size_t(text.size()));
    }
}

void Shape::SetLabelUtf16Le(const char* bytes, size_t units) {
    if (char16_t* text = AllocateLabel(units)) {
        if constexpr (std::endian::native == std::endian::little) {
            std::memcpy(text, bytes, 2 * units);
        } else {
            for (size_t i = 0; i < units; ++i) {
                text[i] = LoadLittleEndian<char16_t>(bytes + 2 * i);
            }
        }
    }
}

void ShapeDeleter::operator()(Shape* shape) const {
    if (shape->inFileStorage_) {
        shape->~Shape();
    } else {
        delete shape;
    }
}

std::unique_ptr<ShapeStorage> ShapeStorage::Create(size_t bytes) {
    std::optional<platform::ByteBuffer> block = platform::ByteBuffer::Allocate(bytes);
    if (!block) {
        return nullptr;
    }
    return std::unique_ptr<ShapeStorage>(new ShapeStorage(std::move(*block)));
}

ShapeStorage::ShapeStorage(platform::ByteBuffer block)
    : block_(std::move(block)), resource_(block_.Data(), block_.Size()) {}

ShapeStorage::~ShapeStorage() = default;

double Shape::DistanceTo(float /*latitude*/, float /*longitude*/) const {
    return -1.0;
}

double ShapePolyline::DistanceTo(float latitude, float longitude) const {
    if (type > kLastRoadType) {
        return -1.0;
    }
    // The rectangle, grown by the search distance: a straight road along a parallel or a
    // meridian has a flat rectangle, and a position beside it must still find it.
    const double margin = kNearSegmentDegrees;
    if (longitude < bounds.west - margin || longitude > bounds.east + margin ||
        latitude < bounds.south - margin || latitude > bounds.north + margin) {
        return -1.0;
    }
    // The nearest segment, not the first one near enough: on a road drawn in short segments
    // the segment before the one under the point is often nearer than kNearSegmentDegrees too,
    // and its distance would make the road too far for FindRoadAt.
    const size_t count = VertexCount();
    double nearest = -1.0;
    for (size_t i = 1; i < count; ++i) {
        const double distance = SegmentDistance(latitude, longitude, Latitude(i - 1),
                                                Longitude(i - 1), Latitude(i), Longitude(i));
        if (distance < kNearSegmentDegrees && (nearest < 0.0 || distance < nearest)) {
            nearest = distance;
        }
    }
    return nearest;
}

void Widen(GeoRect& rect, const GeoRect& other) {
    rect.west = std::min(rect.west, other.west);
    rect.north = std::max(rect.north, other.north);
    rect.east = std::max(rect.east, other.east);
    rect.south = std::min(rect.south, other.south);
}

GeoRect VertexBounds(const Shape& shape) {
    GeoRect rect = kEmptyArea;
    for (size_t i = 0; i < shape.VertexCount(); ++i) {
        const float lat = shape.Latitude(i);
        const float lon = shape.Longitude(i);
        Widen(rect, GeoRect{lon, lat, lon, lat});
    }
    return rect;
}

void OrderForDrawing(ShapeLevel& level) {
    std::vector<ShapePtr<>> polygons;
    std::vector<ShapePtr<>> polylines;
    std::vector<ShapePtr<>> points;
    for (ShapePtr<>& shape : level.shapes) {
        switch (shape->Kind()) {
            case kShapeKindPolygon:
                polygons.push_back(std::move(shape));
                break;
            case kShapeKindPolyline:
                polylines.push_back(std::move(shape));
                break;
            default:
                points.push_back(std::move(shape));
                break;
        }
    }
    std::stable_sort(polygons.begin(), polygons.end(),
                     [](const auto& a, const auto& b) { return a->sortKey > b->sortKey; });
    std::stable_sort(polylines.begin(), polylines.end(),
                     [](const auto& a, const auto& b) { return a->type > b->type; });
    level.shapes.clear();
    level.shapes.reserve(polygons.size() + polylines.size() + points.size());
    for (auto* group : {&polygons, &polylines, &points}) {
        std::move(group->begin(), group->end(), std::back_inserter(level.shapes));
    }
}

int WantedCbits(float resolution) {
    for (const CbitsStep& step : kCbitsSteps) {
        if (resolution < step.resolutionBelow) {
            return step.cbits;
        }
    }
    return kCoarsestCbits;
}

ShapeFile::~ShapeFile() = default;

bool ShapeFile::Load(const QString& path) {
    std::optional<platform::ByteBuffer> bytes = platform::ReadWholeFile(path);
    if (!bytes) {
        return false;
    }
    fileBuffer = std::move(*bytes);
    return true;
}

void ShapeFile::ComputeBoundsAndCoverage() {
    bounds = kEmptyArea;
    for (const std::unique_ptr<ShapeLevel>& level : levels) {
        for (const ShapePtr<>& shape : level->shapes) {
            Widen(bounds, shape->bounds);
            if (shape->Kind() == kShapeKindPolygon && shape->type == kBackgroundAreaType) {
                // The level keeps the object; the coverage list gets its own ring.
                ShapePtr<ShapePolygon> ring = MakeShape<ShapePolygon>();
                ring->vertexPairs.assign(shape->vertexPairs.begin(), shape->vertexPairs.end());
                coverage.push_back(std::move(ring));
            }
        }
    }
}

int ShapeFile::SelectLevel(float resolution) {
    const int wanted = WantedCbits(resolution);
    currentLevel = 0;
    for (size_t i = levels.size(); i-- > 0;) {
        if (levels[i]->cbits >= uint32_t(wanted)) {
            currentLevel = uint32_t(i);
            break;
        }
    }
    return wanted;
}

bool ShapeFile::Contains(float latitude, float longitude) const {
    for (const ShapePtr<ShapePolygon>& ring : coverage) {
        if (RingContains(*ring, latitude, longitude)) {
            return true;
        }
    }
    return false;
}

const ShapeLevel* ShapeFile::CurrentLevel() const {
    return currentLevel < levels.size() ? levels[currentLevel].get() : nullptr;
}

Shape* ShapeFile::FindRoadAt(float latitude, float longitude, QString& name) const {
    const ShapeLevel* level = CurrentLevel();
    if (!level) {
        return nullptr;
    }
    double best = 2000.0;
    Shape* nearest = nullptr;
    for (const auto& shape : level->shapes) {
        if (shape->Kind() != kShapeKindPolyline) {
            continue;
        }
        const double distance = shape->DistanceTo(latitude, longitude);
        if (distance == -1.0) {
            continue;
        }
        platform::Trace("%s=%f=%f", qPrintable(shape->Label().toString()), distance, best);
        if (distance < best) {
            best = distance;
            nearest = shape.get();
        }
    }
    if (!nearest || best > kRoadFoundDegrees) {
        return nullptr;
    }
    name = nearest->Label().toString();
    return nearest;
}

void ShapeFile::Clear() {
    bounds = GeoRect{};
    name.clear();
    levels.clear();
    coverage.clear();
    storage.reset();  // after the shapes that live in it
    currentLevel = 0;
    fileBuffer.Free();
}

MapFile::~MapFile() = default;

bool MapFile::Load(const QString& /*path*/) {
    return false;
}

bool MapFile::LoadFile(std::unique_ptr<ShapeFile> file, const QString& path) {
    file_ = std::move(file);
    if (!file_->Load(path)) {
        return false;
    }
    east = file_->bounds.east;
    south = file_->bounds.south;
    west = file_->bounds.west;
    north = file_->bounds.north;
    return true;
}

int MapFile::ObjectCount() const {
    const ShapeLevel* level = file_ ? file_->CurrentLevel() : nullptr;
    return level ? int(level->shapes.size()) : 0;
}

Shape* MapFile::Object(int index) const {
    const ShapeLevel* level = file_ ? file_->CurrentLevel() : nullptr;
    if (!level || index < 0 || size_t(index) >= level->shapes.size()) {
        return nullptr;
    }
    return level->shapes[size_t(index)].get();
}

int MapFile::SelectLevel(float resolution) {
    return file_ ? file_->SelectLevel(resolution) : 0;
}

bool MapFile::Contains(float latitude, float longitude) const {
    return file_ && file_->Contains(latitude, longitude);
}

platform::ColorRef MapFile::LabelColour() const {
    return file_ ? file_->labelColour : 0;
}

platform::ColorRef MapFile::LabelBackColour() const {
    return file_ ? file_->labelBackColour : 0;
}

platform::LogFont* MapFile::LabelFont() const {
    return file_ ? &file_->labelFont : nullptr;
}

void MapFile::FontLarger() {
    // A font record from the settings may hold any height; it must not wrap.
    if (file_ && file_->labelFont.height >= std::numeric_limits<int32_t>::min() + 2) {
        file_->labelFont.height -= 2;
    }
}

void MapFile::FontSmaller() {
    if (file_) {
        if (file_->labelFont.height <= std::numeric_limits<int32_t>::max() - 2) {
            file_->labelFont.height += 2;
        }
        if (file_->labelFont.height > 0) {
            file_->labelFont.height = 1;
        }
    }
}

Shape* MapFile::FindRoadAt(float latitude, float longitude, QString& name) const {
    return file_ ? file_->FindRoadAt(latitude, longitude, name) : nullptr;
}

}  // namespace formats
