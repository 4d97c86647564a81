#include "mapmake/map_compiler.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "formats/vl_writer.h"
#include "mapmake/line_merger.h"
#include "mapmake/osm_reader.h"
#include "mapmake/type_table.h"
#include "platform/file_access.h"

namespace mapmake {
namespace {

constexpr double kBytesPerMb = 1.0e6;
// Tiles are not split below this side (about 200 m) nor deeper than this.
constexpr double kMinTileDegrees = 0.002;
constexpr int kMaxTileDepth = 16;
// An estimate this many times the limit splits a box before its map is built.
constexpr double kSureSplitFactor = 3.0;

const char* const kInputEndings[] = {".osm.pbf", ".osm.bz2", ".osm.gz", ".pbf", ".osm"};

void Report(const Progress& progress, const char* phase, double fraction) {
    if (progress) {
        progress(phase, fraction);
    }
}

void AddCounts(std::vector<LevelCount>& sum, const std::vector<LevelCount>& add) {
    if (sum.empty()) {
        sum = add;
        return;
    }
    for (size_t i = 0; i < sum.size() && i < add.size(); ++i) {
        sum[i].points += add[i].points;
        sum[i].lines += add[i].lines;
        sum[i].areas += add[i].areas;
    }
}

QString MapTitle(const QString& name, const QString& attribution) {
    return attribution.isEmpty() ? name : name + QLatin1Char(' ') + attribution;
}

bool CanWriteInto(const QString& folder) {
    if (!QDir().mkpath(folder)) {
        return false;
    }
    QTemporaryFile probe(folder + QLatin1String("/.vlmake-XXXXXX"));
    return probe.open();
}

// Tiles of an earlier run under the same name, which a new tiling would not all replace.
void RemoveOldTiles(const QString& folder, const QString& name) {
    QDir dir(folder);
    const QStringList old =
        dir.entryList({name + QLatin1String("_*.vl"), QLatin1String("*.part")}, QDir::Files);
    for (const QString& file : old) {
        dir.remove(file);
    }
}

// The quadtree of detailed tiles.
class Tiler {
public:
    Tiler(const FeatureSet& features, std::vector<LevelPlan> plans, double limitBytes,
          QString folder, QString name, QString title, const Progress& progress,
          CompileSummary& summary)
        : features_(features),
          plans_(std::move(plans)),
          limitBytes_(limitBytes),
          folder_(std::move(folder)),
          name_(std::move(name)),
          title_(std::move(title)),
          progress_(progress),
          summary_(summary) {}

    // False with error set when a tile cannot be written.
    bool Run(const GeoBox& extent, const Candidates& all, QString& error) {
        totalArea_ = std::max(Area(extent), 1e-12);
        if (!Tile(extent, all, 0, 0, 0, error)) {
            return false;
        }
        return NameTiles(error);
    }

private:
    struct Leaf {
        int depth = 0;
        uint32_t row = 0;
        uint32_t col = 0;
        QString partPath;
    };

    bool Tile(const GeoBox& box, const Candidates& candidates, int depth, uint32_t row,
              uint32_t col, QString& error) {
        if (candidates.Empty()) {
            Done(box);
            return true;
        }
        const double side = std::min(box.max_corner().x() - box.min_corner().x(),
                                     box.max_corner().y() - box.min_corner().y());
        const bool canSplit = depth < kMaxTileDepth && side / 2.0 >= kMinTileDegrees;
        // The estimate only spares building maps that are sure to be too large: a map that may
        // fit is built and measured, since a few large tiles serve the program better than
        // many small ones (it loads neighbours only for the corners of the window).
        if (canSplit &&
            EstimateBytes(features_, candidates, box, plans_) > kSureSplitFactor * limitBytes_) {
            return Split(box, candidates, depth, row, col, error);
        }
        BuiltMap built = BuildMap(features_, candidates, box, plans_, title_);
        if (built.contentObjects == 0) {
            Done(box);
            return true;
        }
        const QByteArray bytes = formats::WriteVl(*built.file);
        if (canSplit && double(bytes.size()) > limitBytes_) {
            return Split(box, candidates, depth, row, col, error);
        }
        if (double(bytes.size()) > limitBytes_) {
            summary_.warnings.append(
                QString("a tile of %1 MB is over the limit: it cannot be split further")
                    .arg(double(bytes.size()) / kBytesPerMb, 0, 'f', 2));
        }
        Leaf leaf{depth, row, col,
                  QString("%1/%2_%3_%4_%5.part").arg(folder_, name_).arg(depth).arg(row).arg(col)};
        if (!platform::WriteWholeFile(leaf.partPath, bytes)) {
            error = QString("cannot write %1").arg(leaf.partPath);
            return false;
        }
        leaves_.push_back(leaf);
        AddCounts(summary_.tileLevels, built.counts);
        summary_.refusedAreas += built.refusedAreas;
        summary_.bytes += uint64_t(bytes.size());
        summary_.largestTileBytes = std::max(summary_.largestTileBytes, uint64_t(bytes.size()));
        Done(box);
        return true;
    }

    bool Split(const GeoBox& box, const Candidates& candidates, int depth, uint32_t row,
               uint32_t col, QString& error) {
        const double west = box.min_corner().x();
        const double south = box.min_corner().y();
        const double east = box.max_corner().x();
        const double north = box.max_corner().y();
        const double midLon = (west + east) / 2.0;
        const double midLat = (south + north) / 2.0;
        const struct {
            GeoBox box;
            uint32_t row;
            uint32_t col;
        } children[] = {
            {GeoBox(GeoPoint(west, midLat), GeoPoint(midLon, north)), 2 * row, 2 * col},
            {GeoBox(GeoPoint(midLon, midLat), GeoPoint(east, north)), 2 * row, 2 * col + 1},
            {GeoBox(GeoPoint(west, south), GeoPoint(midLon, midLat)), 2 * row + 1, 2 * col},
            {GeoBox(GeoPoint(midLon, south), GeoPoint(east, midLat)), 2 * row + 1, 2 * col + 1},
        };
        for (const auto& child : children) {
            if (!Tile(child.box, Within(features_, candidates, child.box), depth + 1, child.row,
                      child.col, error)) {
                return false;
            }
        }
        return true;
    }

    void Done(const GeoBox& box) {
        doneArea_ += Area(box);
        Report(progress_, "tiles", std::min(1.0, doneArea_ / totalArea_));
    }

    // Rows and columns in the grid of the smallest tiles.
    bool NameTiles(QString& error) {
        int deepest = 0;
        for (const Leaf& leaf : leaves_) {
            deepest = std::max(deepest, leaf.depth);
        }
        std::sort(leaves_.begin(), leaves_.end(), [deepest](const Leaf& a, const Leaf& b) {
            const int shiftA = deepest - a.depth;
            const int shiftB = deepest - b.depth;
            return std::make_pair(a.row << shiftA, a.col << shiftA) <
                   std::make_pair(b.row << shiftB, b.col << shiftB);
        });
        for (const Leaf& leaf : leaves_) {
            const int shift = deepest - leaf.depth;
            const QString file =
                QString("%1_%2_%3.vl").arg(name_).arg(leaf.row << shift).arg(leaf.col << shift);
            const QString path = folder_ + QLatin1Char('/') + file;
            QFile::remove(path);
            if (!QFile::rename(leaf.partPath, path)) {
                error = QString("cannot write %1").arg(path);
                return false;
            }
            summary_.files.append(name_ + QLatin1Char('/') + file);
            ++summary_.tiles;
        }
        return true;
    }

    const FeatureSet& features_;
    const std::vector<LevelPlan> plans_;
    const double limitBytes_;
    const QString folder_;
    const QString name_;
    const QString title_;
    const Progress& progress_;
    CompileSummary& summary_;
    std::vector<Leaf> leaves_;
    double totalArea_ = 1.0;
    double doneArea_ = 0.0;
};

// The features a country map keeps: those of levels it has, and of the points only the places:
// from that far a point of interest would only hide the roads.
Candidates CountryFeatures(const FeatureSet& features) {
    const int coarsestLevel = kCountryLevels[0];
    Candidates all = AllFeatures(features);
    const auto drop = [coarsestLevel](const auto& list) {
        return [&list, coarsestLevel](uint32_t i) {
            return list[i].info.coarsestCbits > coarsestLevel;
        };
    };
    std::erase_if(all.points,
                  [&features](uint32_t i) { return !IsPlaceType(features.points[i].info.type); });
    std::erase_if(all.points, drop(features.points));
    std::erase_if(all.lines, drop(features.lines));
    std::erase_if(all.areas, drop(features.areas));
    return all;
}

bool WriteAttribution(const QString& path, const QString& attribution) {
    const QString text = QString(
                             "Map data %1, under the Open Database Licence (ODbL) 1.0:\n"
                             "https://www.openstreetmap.org/copyright\n")
                             .arg(attribution);
    return platform::WriteWholeFile(path, text.toUtf8());
}

}  // namespace

QString MapName(const CompileOptions& options) {
    if (!options.name.isEmpty()) {
        return options.name;
    }
    QString name = QFileInfo(options.input).fileName();
    for (const char* ending : kInputEndings) {
        if (name.endsWith(QLatin1String(ending), Qt::CaseInsensitive)) {
            name.chop(qsizetype(std::strlen(ending)));
            break;
        }
    }
    return name;
}

bool CompileMaps(const CompileOptions& options, const Progress& progress, CompileSummary& summary,
                 QString& error) {
    QElapsedTimer timer;
    timer.start();
    const QString name = MapName(options);
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name.startsWith(QLatin1Char('.')) ||
        name.contains(QLatin1String("Country.vl"))) {
        error = QString("'%1' cannot name the maps: give --name NAME").arg(name);
        return false;
    }
    summary.name = name;
    const std::string inputPath = options.input.toLocal8Bit().toStdString();
    const InputFormat format = FormatOfName(inputPath);
    if (format == InputFormat::kUnknown) {
        error = QString("%1: unknown format (give a .osm.pbf, .osm, .osm.gz or .osm.bz2 file)")
                    .arg(options.input);
        return false;
    }
    if (!platform::CanOpenForReading(options.input)) {
        error = QString("cannot read %1").arg(options.input);
        return false;
    }
    const QString tileFolder = options.outDir + QLatin1Char('/') + name;
    if (!CanWriteInto(options.outDir) || !CanWriteInto(tileFolder)) {
        error = QString("cannot write into %1").arg(options.outDir);
        return false;
    }

    FeatureSet features;
    std::string readError;
    if (!ReadOsm(inputPath, format, features, progress, readError)) {
        std::replace(readError.begin(), readError.end(), '\n', ' ');
        error = QString("cannot read %1: %2").arg(options.input, QString::fromStdString(readError));
        return false;
    }
    summary.read = features.read;
    summary.points = features.points.size();
    summary.areas = features.areas.size();
    summary.linesRead = features.lines.size();
    MergeLines(features.lines);
    summary.lines = features.lines.size();

    const GeoBox extent = features.Extent();
    if (IsEmpty(extent) || Area(extent) <= 0.0) {
        error = QString("%1 holds nothing the maps show").arg(options.input);
        return false;
    }
    const double latitude = (extent.min_corner().y() + extent.max_corner().y()) / 2.0;

    RemoveOldTiles(tileFolder, name);
    Report(progress, "country map", 0.0);
    const QString countryFile = name + QLatin1String("Country.vl");
    BuiltMap country =
        BuildMap(features, CountryFeatures(features), extent, PlanLevels(kCountryLevels, latitude),
                 MapTitle(name + QLatin1String(" Country"), options.attribution));
    const QByteArray countryBytes = formats::WriteVl(*country.file);
    if (!platform::WriteWholeFile(options.outDir + QLatin1Char('/') + countryFile, countryBytes)) {
        error = QString("cannot write %1/%2").arg(options.outDir, countryFile);
        return false;
    }
    summary.files.append(countryFile);
    summary.countryLevels = country.counts;
    summary.refusedAreas += country.refusedAreas;
    summary.bytes += uint64_t(countryBytes.size());
    country.file.reset();
    Report(progress, "country map", 1.0);

    Tiler tiler(features, PlanLevels(kTileLevels, latitude), options.tileMb * kBytesPerMb,
                tileFolder, name, MapTitle(name, options.attribution), progress, summary);
    if (!tiler.Run(extent, AllFeatures(features), error)) {
        return false;
    }
    if (!options.attribution.isEmpty()) {
        const QString attributionFile = name + QLatin1String("_attribution.txt");
        if (!WriteAttribution(options.outDir + QLatin1Char('/') + attributionFile,
                              options.attribution)) {
            error = QString("cannot write %1/%2").arg(options.outDir, attributionFile);
            return false;
        }
        summary.files.append(attributionFile);
    }
    if (summary.refusedAreas > 0) {
        summary.warnings.append(QString("%1 area pieces with invalid geometry were left out")
                                    .arg(summary.refusedAreas));
    }
    summary.seconds = double(timer.nsecsElapsed()) / 1e9;
    return true;
}

}  // namespace mapmake
