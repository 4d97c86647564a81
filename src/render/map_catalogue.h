#pragma once

#include <QByteArray>
#include <QSet>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "formats/shape_model.h"
#include "platform/system_time.h"

namespace formats {
class ByteWriter;
}

namespace render {

// One catalogued detailed map: its file and the box it covers. Also the 548-byte record of
// maps.dat: the path as UTF-16LE in 520 bytes, zero-terminated (zeros after the terminator),
// then north, south, west, east and diagonalKm as floats and the creation FILETIME, low word
// first.
struct MapRecord {
    static constexpr int kByteSize = 548;
    static constexpr int kPathBytes = 520;
    // 260 UTF-16 code units of room, one of them for the terminator.
    static constexpr int kMaxPathUnits = 259;

    QString path;
    float north = 0.0f;
    float south = 0.0f;
    float west = 0.0f;
    float east = 0.0f;
    float diagonalKm = 0.0f;     // great-circle distance from (north, west) to (south, east)
    platform::FileTime created;  // kept and written back, not otherwise used

    bool operator==(const MapRecord&) const = default;

    // A longer path is never cut short to fit: its map is not catalogued.
    static bool PathFits(const QString& path) { return path.size() <= kMaxPathUnits; }

    // Appends the 548 bytes of this record; its path must fit.
    void Encode(formats::ByteWriter& out) const;
    // The record in 548 bytes; empty when the path has no terminator within its 520 bytes.
    static std::optional<MapRecord> Decode(const char* bytes);
};

// The detailed maps under the data home's Maps folder and the path of the country map, kept in
// Maps/maps.dat so that a start-up reads one small file instead of every map. A map file is one
// whose name ends in ".vl" exactly; one whose path contains "Country.vl" is the country map and
// never a record. A file is read once, for its header, when it is first found.
class MapCatalogue {
public:
    static constexpr int32_t kVersion = 4;

    // The catalogue of programFolder + "/Maps", kept in programFolder + "/Maps/maps.dat".
    explicit MapCatalogue(QString programFolder);
    ~MapCatalogue();
    MapCatalogue(const MapCatalogue&) = delete;
    MapCatalogue& operator=(const MapCatalogue&) = delete;

    // The whole rebuild: Load, DropMissing, Scan of the Maps folder, Save.
    void Build();
    // Adds the records of maps.dat that are not catalogued yet. A missing file or another
    // version adds nothing.
    void Load();
    // The same from the bytes of a maps.dat file. A negative count adds nothing; a count past
    // the end of the bytes adds the whole records that are there.
    void LoadFromBytes(const QByteArray& bytes);
    // Drops the records whose file cannot be opened for reading any more.
    void DropMissing();
    // Adds the map files in folder and, recursively, in its plain sub-folders (not hidden, not
    // read-only, not symbolic links).
    void Scan(const QString& folder);
    // Adds one file unless it is already catalogued; records the country map; skips a file
    // whose header does not read or whose path does not fit a record.
    void AddFile(const QString& path, platform::FileTime created);
    // Writes maps.dat over the old one without truncating it: a shorter catalogue leaves the
    // old tail, which readers ignore. False when it cannot be written.
    bool Save() const;
    // The bytes Save writes.
    QByteArray SaveBytes() const;

    // Index of the record whose box contains the point (edges included) with the smallest
    // diagonal, the earlier record on equal diagonals; -1 when no box contains it.
    int FindMapAt(float latitude, float longitude) const;

    // The box of all records together; formats::kEmptyArea when there are none.
    formats::GeoRect CoveredArea() const;
    // The least latitude span and, on its own, the least longitude span of the records
    // (degrees), leaving out records without extent; both 0 when no record has any.
    struct Spans {
        float lat = 0.0f;
        float lon = 0.0f;
    };
    Spans SmallestSpans() const;

    int Count() const { return int(records_.size()); }
    const MapRecord& Record(int index) const { return *records_[size_t(index)]; }
    // Empty until a country map is found; the last one the scan meets wins.
    const QString& CountryMapPath() const { return countryMapPath_; }
    int32_t Version() const { return version_; }

    QString MapsFolder() const;
    QString CataloguePath() const;

private:
    // count records of 548 bytes from data, as far as size allows.
    void AddRecords(const char* data, size_t size, int32_t count);
    void Append(std::unique_ptr<MapRecord> record);

    QString programFolder_;
    std::vector<std::unique_ptr<MapRecord>> records_;
    int32_t version_ = kVersion;
    QString countryMapPath_;
    QSet<QString> paths_;  // the paths of records_, for the catalogued-already test
};

}  // namespace render
