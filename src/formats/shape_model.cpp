#include "formats/shape_model.h"

#include <cstring>

#include "formats/byte_cursor.h"
#include "platform/file_access.h"

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
        for (size_t i = 0; i < units; ++i) {
            text[i] = LoadLittleEndian<char16_t>(bytes + 2 * i);
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
    : block_(std::move(block)),
      resource_(block_.Size() > 0 ? block_.Data() : nullptr, block_.Size(),
                std::pmr::new_delete_resource()) {}

ShapeStorage::~ShapeStorage() = default;

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

}  // namespace formats
