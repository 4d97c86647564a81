// vlrender: the map view the program would show, rendered headless into a PNG picture.
//
//   vlrender --home HOME --center LAT,LON --scale KM_PER_CM --size WxH [--heading DEG]
//            [--night] [--screen WxH@WMMxHMM] [--bench N] [--json] OUT.png
//
// It builds the catalogue of HOME (writing HOME/Maps/maps.dat), loads the map under the centre
// as the map window does at start-up (the country map when no detailed map covers it), sets
// the scale, puts the centre at the anchor point turned to the heading, loads the maps under
// the visible corners and renders one frame, with the GPX files ticked in the home's settings
// drawn over the maps, the ticked POI files of HOME/POI over them, and the point icons of
// HOME/images/POI.bmp (the built-in strip when the home has none). With --bench N it renders N more
// frames and prints {"frames":N,"medianMs":…,"minMs":…,"maxMs":…,"prepareMs":…}. With --json it
// prints what the picture shows as one JSON line: the scale the view landed on and the maps drawn
// ({"scaleKmPerCm":…,"maps":[…]}) and what the frame drew ({"shapes":{"points":…,"lines":…,
// "areas":…},"icons":…,"labels":{"placed":…,"dropped":…},"shields":…,"iconCoverPercent":…}).
#include <QCommandLineParser>
#include <QGuiApplication>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <optional>
#include <vector>

#include "platform/c_format.h"
#include "platform/folder_listing.h"
#include "platform/program_folder.h"
#include "platform/screen_metrics.h"
#include "platform/settings_store.h"
#include "poi/poi_overlays.h"
#include "poi/poi_store.h"
#include "render/frame_stats.h"
#include "render/gpx_overlay_entries.h"
#include "render/image_buffer.h"
#include "render/map_window_model.h"
#include "render/poi_icons.h"

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
// Frames a --bench run may ask for.
constexpr int kMaxBenchFrames = 100000;
constexpr int kMaxSide = 16384;

struct Options {
    QString home;
    float lat = 0.0f;
    float lon = 0.0f;
    float scaleKmPerCm = 0.0f;
    int width = 0;
    int height = 0;
    float headingDeg = 0.0f;
    bool night = false;
    platform::ScreenMetrics screen;
    int benchFrames = 0;
    bool json = false;
    QString out;
};

int Usage(const char* message) {
    std::fprintf(stderr, "vlrender: %s (see --help)\n", message);
    return kExitUsage;
}

std::optional<std::pair<float, float>> ParsePair(const QString& text) {
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 2) {
        return std::nullopt;
    }
    bool firstOk = false;
    bool secondOk = false;
    const float first = parts[0].trimmed().toFloat(&firstOk);
    const float second = parts[1].trimmed().toFloat(&secondOk);
    if (!firstOk || !secondOk) {
        return std::nullopt;
    }
    return std::make_pair(first, second);
}

double MillisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

double PrepareMs(render::MapRenderer& renderer) {
    double total = 0.0;
    for (int i = 0; i < renderer.EntryCount(); ++i) {
        if (const render::MapLayer* layer = renderer.Entry(i).layer.get()) {
            total += layer->LastPrepareMs();
        }
    }
    return total;
}

void PrintBench(const std::vector<double>& frameMs, double prepareMs) {
    std::vector<double> sorted = frameMs;
    std::sort(sorted.begin(), sorted.end());
    const size_t n = sorted.size();
    const double median = n % 2 == 1 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2.0;
    const std::string line = platform::FormatC(
        "{\"frames\":%d,\"medianMs\":%.3f,\"minMs\":%.3f,\"maxMs\":%.3f,\"prepareMs\":%.3f}\n",
        int(n), median, sorted.front(), sorted.back(), prepareMs);
    std::fputs(line.c_str(), stdout);
}

// {"scaleKmPerCm":…,"maps":[paths of the maps that drew in the last frame, in drawing order]}
QJsonObject ViewJson(render::MapRenderer& renderer) {
    QJsonArray maps;
    for (int i = 0; i < renderer.EntryCount(); ++i) {
        const render::MapEntry& entry = renderer.Entry(i);
        if (entry.kind != render::MapEntry::kKindNone && entry.missCount == 0) {
            maps.append(entry.path);
        }
    }
    return QJsonObject{{"scaleKmPerCm", double(renderer.view.scale)}, {"maps", maps}};
}

// What the frame drew, for --json.
void AddFrameCounts(const render::FrameStats& frame, int width, int height, QJsonObject& json) {
    json["shapes"] =
        QJsonObject{{"points", frame.points}, {"lines", frame.lines}, {"areas", frame.areas}};
    json["icons"] = int(frame.icons.size());
    json["labels"] = QJsonObject{{"placed", frame.labelsPlaced}, {"dropped", frame.labelsDropped}};
    json["shields"] = frame.shields;
    json["iconCoverPercent"] = render::IconCoverPercent(frame, width, height);
}

int Render(const Options& options) {
    if (!platform::ListFolder(options.home)) {
        std::fprintf(stderr, "vlrender: %s is not a folder\n", qPrintable(options.home));
        return kExitFailed;
    }
    const std::unique_ptr<platform::SettingsStore> settings =
        platform::SettingsStore::OpenForHome(options.home);
    if (!render::LoadPoiIcons(options.home)) {
        render::LoadBuiltInPoiIcons();
    }
    // Declared before the window, so that the renderer never holds them dangling.
    render::GpxOverlayEntries gpxOverlays;
    poi::PoiStore pois(options.home, settings.get());
    pois.Reload();
    poi::PoiOverlays overlays(&gpxOverlays, &pois);
    render::MapWindowModel window(options.home, options.screen, settings.get());
    render::MapRenderer& renderer = window.Renderer();
    renderer.SetNightMode(options.night);
    gpxOverlays.LoadOverlaySet(renderer, options.home, *settings);
    renderer.SetOverlays(&overlays);
    window.Catalogue().Build();
    window.Resize(options.width, options.height);
    if (!window.LoadMapAt(options.lat, options.lon) && !renderer.LoadCountryMap()) {
        std::fprintf(stderr, "vlrender: no map in %s/Maps covers %s\n", qPrintable(options.home),
                     platform::FormatC("%.6f,%.6f", options.lat, options.lon).c_str());
        return kExitFailed;
    }
    window.ApplyScale(options.scaleKmPerCm);
    window.SetHeading(options.headingDeg);
    window.SetPosition(options.lat, options.lon, 0.0f, options.headingDeg);

    render::ImageBuffer image;
    if (!image.Create(options.width, options.height)) {
        std::fprintf(stderr, "vlrender: no picture of %dx%d pixels can be made\n", options.width,
                     options.height);
        return kExitFailed;
    }
    const platform::ColorRef background =
        options.night ? render::kMapBackgroundNight : render::kMapBackgroundDay;
    window.Render(image.Context(), background);
    const double prepareMs = PrepareMs(renderer);

    if (options.benchFrames > 0) {
        std::vector<double> frameMs;
        frameMs.reserve(size_t(options.benchFrames));
        for (int i = 0; i < options.benchFrames; ++i) {
            const auto start = std::chrono::steady_clock::now();
            window.Render(image.Context(), background);
            frameMs.push_back(MillisecondsSince(start));
        }
        PrintBench(frameMs, prepareMs);
    }
    if (options.json) {
        QJsonObject json = ViewJson(renderer);
        AddFrameCounts(renderer.LastFrame(), options.width, options.height, json);
        std::fputs(QJsonDocument(json).toJson(QJsonDocument::Compact).append('\n').constData(),
                   stdout);
    }
    const QImage picture = image.Image().copy();
    if (!picture.save(options.out, "PNG")) {
        std::fprintf(stderr, "vlrender: %s cannot be written\n", qPrintable(options.out));
        return kExitFailed;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName("vlrender");
    QCoreApplication::setApplicationVersion(VELMORA_VERSION);

    QCommandLineParser parser;
    parser.setApplicationDescription("Renders the map view of a data home into a PNG picture.");
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption homeOption("home", "The data home whose Maps folder is shown.",
                                        "HOME");
    const QCommandLineOption centerOption("center", "The position shown at the anchor point.",
                                          "LAT,LON");
    const QCommandLineOption scaleOption("scale", "Kilometres of ground per centimetre.",
                                         "KM_PER_CM");
    const QCommandLineOption sizeOption("size", "The window size in pixels.", "WxH");
    const QCommandLineOption headingOption("heading", "Direction of travel, up on the picture.",
                                           "DEG", "0");
    const QCommandLineOption nightOption("night", "Night colours.");
    const QCommandLineOption screenOption(
        "screen", "The screen to behave like (default: the window size at 96 dpi).", "WxH@WMMxHMM");
    const QCommandLineOption benchOption("bench", "Render N more frames and print their times.",
                                         "N");
    const QCommandLineOption jsonOption(
        "json", "Print the scale, the maps drawn and what the frame drew as JSON.");
    parser.addOptions({homeOption, centerOption, scaleOption, sizeOption, headingOption,
                       nightOption, screenOption, benchOption, jsonOption});
    parser.addPositionalArgument("OUT.png", "The picture to write.");
    parser.process(app);

    Options options;
    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 1) {
        return Usage("give one OUT.png");
    }
    options.out = positional.first();
    if (!parser.isSet(homeOption) || !parser.isSet(centerOption) || !parser.isSet(scaleOption) ||
        !parser.isSet(sizeOption)) {
        return Usage("--home, --center, --scale and --size are needed");
    }
    options.home = platform::DataHomeFromOption(parser.value(homeOption));
    const std::optional<std::pair<float, float>> centre = ParsePair(parser.value(centerOption));
    if (!centre || std::abs(centre->first) > 90.0f || std::abs(centre->second) > 180.0f) {
        return Usage("--center wants LAT,LON in degrees, for example 42.5063,1.5218");
    }
    options.lat = centre->first;
    options.lon = centre->second;
    bool ok = false;
    options.scaleKmPerCm = parser.value(scaleOption).toFloat(&ok);
    if (!ok || !(options.scaleKmPerCm > 0.0f)) {
        return Usage("--scale wants kilometres per centimetre above 0, for example 0.5");
    }
    const QStringList size = parser.value(sizeOption).split(QLatin1Char('x'));
    bool widthOk = false;
    bool heightOk = false;
    if (size.size() == 2) {
        options.width = size[0].toInt(&widthOk);
        options.height = size[1].toInt(&heightOk);
    }
    if (!widthOk || !heightOk || options.width < 1 || options.height < 1 ||
        options.width > kMaxSide || options.height > kMaxSide) {
        return Usage("--size wants WxH in pixels, for example 800x480");
    }
    options.headingDeg = parser.value(headingOption).toFloat(&ok);
    if (!ok || !std::isfinite(options.headingDeg)) {
        return Usage("--heading wants degrees, for example 37");
    }
    options.night = parser.isSet(nightOption);
    options.json = parser.isSet(jsonOption);
    const std::optional<platform::ScreenMetrics> screen = platform::ScreenMetrics::Parse(
        parser.isSet(screenOption) ? parser.value(screenOption) : parser.value(sizeOption));
    if (!screen) {
        return Usage("--screen wants WxH or WxH@WMMxHMM, for example 240x320@53x71");
    }
    options.screen = *screen;
    if (parser.isSet(benchOption)) {
        options.benchFrames = parser.value(benchOption).toInt(&ok);
        if (!ok || options.benchFrames < 1 || options.benchFrames > kMaxBenchFrames) {
            return Usage("--bench wants a number of frames from 1 to 100000");
        }
    }
    options.json = parser.isSet(jsonOption);
    return Render(options);
}
