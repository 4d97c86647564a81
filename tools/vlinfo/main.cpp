// vlinfo: what a ".vl" map or a GPX file holds, and what the map catalogue of a data home lists.
//
//   vlinfo FILE.vl [--json]
//   vlinfo FILE.gpx [--json]
//   vlinfo --catalogue HOME [--at LAT,LON] [--json]
//
// The catalogue form runs the same build as the program (so it also writes HOME/Maps/maps.dat).
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <charconv>
#include <cstdio>
#include <optional>
#include <string>

#include "formats/gpx_file.h"
#include "formats/img_file.h"
#include "platform/folder_listing.h"
#include "platform/program_folder.h"
#include "render/map_catalogue.h"

namespace {

constexpr int kExitLoadFailed = 1;
constexpr int kExitUsage = 2;

// The shortest text that reads back as the same float, whatever the locale.
std::string FloatText(float value) {
    char text[32];
    const auto result = std::to_chars(text, text + sizeof(text), value);
    return std::string(text, result.ptr);
}

// The float as a JSON number with the same shortest digits.
QJsonValue FloatJson(float value) {
    return QJsonValue(QByteArray::fromStdString(FloatText(value)).toDouble());
}

void Print(const std::string& line) {
    std::fputs((line + '\n').c_str(), stdout);
}

std::string BoundsLine(const formats::GeoRect& bounds) {
    return "bounds: west " + FloatText(bounds.west) + " north " + FloatText(bounds.north) +
           " east " + FloatText(bounds.east) + " south " + FloatText(bounds.south);
}

void PrintJson(const QJsonObject& object) {
    std::fputs(QJsonDocument(object).toJson(QJsonDocument::Indented).constData(), stdout);
}

struct LevelCounts {
    uint32_t cbits = 0;
    int points = 0;
    int polylines = 0;
    int polygons = 0;
};

LevelCounts CountLevel(const formats::ShapeLevel& level) {
    LevelCounts counts;
    counts.cbits = level.cbits;
    for (const auto& shape : level.shapes) {
        switch (shape->Kind()) {
            case formats::kShapeKindPoint:
                ++counts.points;
                break;
            case formats::kShapeKindPolyline:
                ++counts.polylines;
                break;
            default:
                ++counts.polygons;
                break;
        }
    }
    return counts;
}

int DescribeMap(const QString& path, bool json) {
    formats::ImgFile file;
    if (!file.Load(path)) {
        std::fprintf(stderr, "vlinfo: %s is not a readable .vl map\n", qPrintable(path));
        return kExitLoadFailed;
    }
    if (json) {
        QJsonArray levels;
        for (const auto& level : file.levels) {
            const LevelCounts counts = CountLevel(*level);
            levels.append(QJsonObject{{"cbits", qint64(counts.cbits)},
                                      {"points", counts.points},
                                      {"polylines", counts.polylines},
                                      {"polygons", counts.polygons}});
        }
        PrintJson(QJsonObject{{"name", file.name},
                              {"west", FloatJson(file.bounds.west)},
                              {"north", FloatJson(file.bounds.north)},
                              {"east", FloatJson(file.bounds.east)},
                              {"south", FloatJson(file.bounds.south)},
                              {"coverage", int(file.coverage.size())},
                              {"levels", levels}});
        return 0;
    }
    Print("name: " + file.name.toStdString());
    Print(BoundsLine(file.bounds));
    Print("coverage polygons: " + std::to_string(file.coverage.size()));
    for (size_t i = 0; i < file.levels.size(); ++i) {
        const LevelCounts counts = CountLevel(*file.levels[i]);
        Print("level " + std::to_string(i) + ": cbits " + std::to_string(counts.cbits) + ", " +
              std::to_string(counts.points) + " points, " + std::to_string(counts.polylines) +
              " polylines, " + std::to_string(counts.polygons) + " polygons");
    }
    return 0;
}

// A GPX file as the program reads it: its waypoints, its routes with their points, and the
// rectangle around them (west 180, north -90, east -180, south 90 when it holds nothing).
int DescribeGpx(const QString& path, bool json) {
    formats::GPXFile file;
    if (!file.Load(path)) {
        std::fprintf(stderr, "vlinfo: %s is not a readable GPX file\n", qPrintable(path));
        return kExitLoadFailed;
    }
    int waypoints = 0;
    int routes = 0;
    qint64 routePoints = 0;
    for (const auto& shape : file.levels.front()->shapes) {
        if (shape->Kind() == formats::kShapeKindPoint) {
            ++waypoints;
        } else {
            ++routes;
            routePoints += qint64(shape->VertexCount());
        }
    }
    if (json) {
        PrintJson(QJsonObject{{"waypoints", waypoints},
                              {"routes", routes},
                              {"routePoints", routePoints},
                              {"west", FloatJson(file.bounds.west)},
                              {"north", FloatJson(file.bounds.north)},
                              {"east", FloatJson(file.bounds.east)},
                              {"south", FloatJson(file.bounds.south)}});
        return 0;
    }
    Print("waypoints: " + std::to_string(waypoints));
    Print("routes: " + std::to_string(routes));
    Print("route points: " + std::to_string(routePoints));
    Print(BoundsLine(file.bounds));
    return 0;
}

struct GeoPosition {
    float lat = 0.0f;
    float lon = 0.0f;
};

std::optional<GeoPosition> ParsePosition(const QString& text) {
    const QStringList parts = text.split(QLatin1Char(','));
    bool latOk = false;
    bool lonOk = false;
    if (parts.size() != 2) {
        return std::nullopt;
    }
    const GeoPosition position{parts[0].trimmed().toFloat(&latOk),
                               parts[1].trimmed().toFloat(&lonOk)};
    if (!latOk || !lonOk) {
        return std::nullopt;
    }
    return position;
}

int DescribeCatalogue(const QString& home, std::optional<GeoPosition> at, bool json) {
    if (!platform::ListFolder(home)) {
        std::fprintf(stderr, "vlinfo: %s is not a folder\n", qPrintable(home));
        return kExitLoadFailed;
    }
    render::MapCatalogue catalogue(home);
    catalogue.Build();
    const int found = at ? catalogue.FindMapAt(at->lat, at->lon) : -1;
    if (json) {
        QJsonArray records;
        for (int i = 0; i < catalogue.Count(); ++i) {
            const render::MapRecord& record = catalogue.Record(i);
            records.append(QJsonObject{{"path", record.path},
                                       {"north", FloatJson(record.north)},
                                       {"south", FloatJson(record.south)},
                                       {"west", FloatJson(record.west)},
                                       {"east", FloatJson(record.east)},
                                       {"diagonalKm", FloatJson(record.diagonalKm)}});
        }
        QJsonObject object{{"records", records}, {"country", catalogue.CountryMapPath()}};
        if (at) {
            object.insert("at", found);
        }
        PrintJson(object);
        return 0;
    }
    for (int i = 0; i < catalogue.Count(); ++i) {
        const render::MapRecord& record = catalogue.Record(i);
        Print("record " + std::to_string(i) + ": " + record.path.toStdString() + " north " +
              FloatText(record.north) + " south " + FloatText(record.south) + " west " +
              FloatText(record.west) + " east " + FloatText(record.east) + " diagonalKm " +
              FloatText(record.diagonalKm));
    }
    Print("country: " + catalogue.CountryMapPath().toStdString());
    if (at) {
        Print("at: " + std::to_string(found));
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("vlinfo");
    QCoreApplication::setApplicationVersion(VELMORA_VERSION);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Shows what a .vl map or a GPX file holds, or builds and lists the map catalogue of a "
        "data home.");
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption jsonOption("json", "Print JSON.");
    const QCommandLineOption catalogueOption(
        "catalogue", "Build the catalogue of HOME/Maps (writes HOME/Maps/maps.dat).", "HOME");
    const QCommandLineOption atOption(
        "at", "With --catalogue: the record FindMapAt gives for a position.", "LAT,LON");
    parser.addOptions({jsonOption, catalogueOption, atOption});
    parser.addPositionalArgument("FILE", "The .vl map or .gpx file to describe.",
                                 "[FILE.vl|FILE.gpx]");
    parser.process(app);

    const bool json = parser.isSet(jsonOption);
    const QStringList files = parser.positionalArguments();
    if (parser.isSet(catalogueOption)) {
        std::optional<GeoPosition> at;
        if (parser.isSet(atOption)) {
            at = ParsePosition(parser.value(atOption));
            if (!at) {
                std::fprintf(stderr, "vlinfo: --at wants LAT,LON, for example 42.5,1.52\n");
                return kExitUsage;
            }
        }
        if (!files.isEmpty()) {
            std::fprintf(stderr, "vlinfo: give either FILE or --catalogue HOME\n");
            return kExitUsage;
        }
        return DescribeCatalogue(platform::DataHomeFromOption(parser.value(catalogueOption)), at,
                                 json);
    }
    if (files.size() != 1 || parser.isSet(atOption)) {
        std::fprintf(stderr,
                     "vlinfo: give one FILE.vl or FILE.gpx, or --catalogue HOME (see --help)\n");
        return kExitUsage;
    }
    if (files.first().endsWith(QLatin1String(".gpx"), Qt::CaseInsensitive)) {
        return DescribeGpx(files.first(), json);
    }
    return DescribeMap(files.first(), json);
}
