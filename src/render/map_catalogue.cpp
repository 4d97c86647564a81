#include "render/map_catalogue.h"

#include <algorithm>

#include "formats/byte_cursor.h"
#include "formats/byte_writer.h"
#include "formats/img_file.h"
#include "platform/file_access.h"
#include "platform/folder_listing.h"
#include "platform/program_folder.h"
#include "platform/trace.h"
#include "render/geo_math.h"

namespace render {
namespace {

// Version and count.
constexpr int64_t kCatalogueHeaderBytes = 8;

// The extension as the platform's path splitter gives it: from the last '.' of the name on.
bool HasMapExtension(const QString& name) {
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot >= 0 && QStringView(name).mid(dot) == QLatin1String(".vl");
}

}  // namespace

void MapRecord::Encode(formats::ByteWriter& out) const {
    Q_ASSERT(PathFits(path));
    out.WriteUtf16(path);
    out.WriteZeros(kPathBytes - 2 * path.size());
    out.WriteF32(north);
    out.WriteF32(south);
    out.WriteF32(west);
    out.WriteF32(east);
    out.WriteF32(diagonalKm);
    out.WriteU32(created.Low());
    out.WriteU32(created.High());
}

std::optional<MapRecord> MapRecord::Decode(const char* bytes) {
    formats::ByteCursor cursor(bytes, kByteSize);
    const char* pathBytes = nullptr;
    cursor.Take(kPathBytes, pathBytes);
    MapRecord record;
    record.path = formats::DecodeUtf16Le(pathBytes, kPathBytes / 2);
    // 260 characters without a terminator: no record ever written looks like this, and the
    // path could not be written back.
    if (!PathFits(record.path)) {
        return std::nullopt;
    }
    uint32_t low = 0;
    uint32_t high = 0;
    cursor.ReadF32(record.north);
    cursor.ReadF32(record.south);
    cursor.ReadF32(record.west);
    cursor.ReadF32(record.east);
    cursor.ReadF32(record.diagonalKm);
    cursor.ReadU32(low);
    cursor.ReadU32(high);
    record.created = platform::FileTime::FromWords(low, high);
    return record;
}

MapCatalogue::MapCatalogue(QString programFolder) : programFolder_(std::move(programFolder)) {}

MapCatalogue::~MapCatalogue() = default;

QString MapCatalogue::MapsFolder() const {
    return programFolder_ + QLatin1String(platform::kMapsTail);
}

QString MapCatalogue::CataloguePath() const {
    return programFolder_ + QLatin1String(platform::kCatalogueTail);
}

void MapCatalogue::Build() {
    Load();
    DropMissing();
    Scan(MapsFolder());
    Save();
}

void MapCatalogue::Load() {
    platform::InputFile file;
    if (!file.Open(CataloguePath())) {
        return;
    }
    char header[kCatalogueHeaderBytes];
    if (file.ReadInto(header, kCatalogueHeaderBytes) != kCatalogueHeaderBytes) {
        return;
    }
    formats::ByteCursor cursor(header, sizeof(header));
    int32_t version = 0;
    int32_t count = 0;
    cursor.ReadI32(version);
    cursor.ReadI32(count);
    if (version != version_ || count <= 0) {
        return;
    }
    // Only the records the count names, and no more than the file holds.
    std::optional<platform::ByteBuffer> records = file.Read(int64_t(count) * MapRecord::kByteSize);
    if (records) {
        AddRecords(records->Data(), records->Size(), count);
    }
}

void MapCatalogue::LoadFromBytes(const QByteArray& bytes) {
    formats::ByteCursor cursor(bytes);
    int32_t version = 0;
    int32_t count = 0;
    if (cursor.ReadI32(version) && version == version_ && cursor.ReadI32(count)) {
        AddRecords(bytes.constData() + kCatalogueHeaderBytes,
                   size_t(bytes.size() - kCatalogueHeaderBytes), count);
    }
}

void MapCatalogue::AddRecords(const char* data, size_t size, int32_t count) {
    formats::ByteCursor cursor(data, size);
    for (int32_t i = 0; i < count; ++i) {
        const char* recordBytes = nullptr;
        if (!cursor.Take(MapRecord::kByteSize, recordBytes)) {
            return;  // cut inside a record: that record and anything after it are lost
        }
        std::optional<MapRecord> record = MapRecord::Decode(recordBytes);
        if (record && !paths_.contains(record->path)) {
            Append(std::make_unique<MapRecord>(std::move(*record)));
        }
    }
}

void MapCatalogue::DropMissing() {
    std::erase_if(records_, [this](const std::unique_ptr<MapRecord>& record) {
        if (platform::CanOpenForReading(record->path)) {
            return false;
        }
        platform::Trace("Drop map %s", record->path.toLocal8Bit().constData());
        paths_.remove(record->path);
        return true;
    });
}

void MapCatalogue::Scan(const QString& folder) {
    const std::optional<std::vector<platform::FolderEntry>> entries = platform::ListFolder(folder);
    if (!entries) {
        return;
    }
    for (const platform::FolderEntry& entry : *entries) {
        const QString path = folder + QLatin1Char('/') + entry.name;
        if (entry.attributes == platform::kAttrDirectory) {
            Scan(path);
        } else if ((entry.attributes & platform::kAttrDirectory) == 0 &&
                   HasMapExtension(entry.name)) {
            AddFile(path, entry.created);
        }
    }
}

void MapCatalogue::AddFile(const QString& path, platform::FileTime created) {
    if (paths_.contains(path)) {
        return;
    }
    if (path.contains(QLatin1String("Country.vl"))) {
        countryMapPath_ = path;
        return;
    }
    if (!MapRecord::PathFits(path)) {
        platform::Trace("Map path too long %s", path.toLocal8Bit().constData());
        return;
    }
    formats::ImgFile reader;
    if (!reader.LoadHeader(path) || !reader.ReadHeader()) {
        return;
    }
    auto record = std::make_unique<MapRecord>();
    record->path = path;
    record->north = reader.bounds.north;
    record->south = reader.bounds.south;
    record->west = reader.bounds.west;
    record->east = reader.bounds.east;
    record->created = created;
    record->diagonalKm =
        float(GeoMath{}.Distance(record->north, record->west, record->south, record->east));
    Append(std::move(record));
}

void MapCatalogue::Append(std::unique_ptr<MapRecord> record) {
    paths_.insert(record->path);
    records_.push_back(std::move(record));
}

QByteArray MapCatalogue::SaveBytes() const {
    formats::ByteWriter out;
    out.Reserve(kCatalogueHeaderBytes + qsizetype(records_.size()) * MapRecord::kByteSize);
    out.WriteI32(version_);
    out.WriteI32(int32_t(records_.size()));
    for (const std::unique_ptr<MapRecord>& record : records_) {
        record->Encode(out);
    }
    return out.Take();
}

bool MapCatalogue::Save() const {
    return platform::WriteFileInPlace(CataloguePath(), SaveBytes());
}

int MapCatalogue::FindMapAt(float latitude, float longitude) const {
    int best = -1;
    float bestDiagonalKm = 1e8f;
    for (size_t i = 0; i < records_.size(); ++i) {
        const MapRecord& record = *records_[i];
        const bool inside = latitude <= record.north && longitude <= record.east &&
                            latitude >= record.south && longitude >= record.west;
        if (inside && record.diagonalKm < bestDiagonalKm) {
            best = int(i);
            bestDiagonalKm = record.diagonalKm;
        }
    }
    return best;
}

formats::GeoRect MapCatalogue::CoveredArea() const {
    formats::GeoRect area = formats::kEmptyArea;
    for (const std::unique_ptr<MapRecord>& record : records_) {
        formats::Widen(area,
                       formats::GeoRect{record->west, record->north, record->east, record->south});
    }
    return area;
}

MapCatalogue::Spans MapCatalogue::SmallestSpans() const {
    Spans smallest;
    for (const std::unique_ptr<MapRecord>& record : records_) {
        const float lat = record->north - record->south;
        const float lon = record->east - record->west;
        if (!(lat > 0.0f) || !(lon > 0.0f)) {
            continue;
        }
        smallest.lat = smallest.lat > 0.0f ? std::min(smallest.lat, lat) : lat;
        smallest.lon = smallest.lon > 0.0f ? std::min(smallest.lon, lon) : lon;
    }
    return smallest;
}

}  // namespace render
