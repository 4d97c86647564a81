#include "render/map_window_model.h"

#include <QSet>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "paint/paint_context.h"

namespace render {

MapWindowModel::MapWindowModel(const QString& programFolder, const platform::ScreenMetrics& screen,
                               const platform::SettingsStore* settings)
    : screen_(screen),
      settings_(settings),
      highResolution_(
          platform::LargeScreenFlag(screen.workArea.width(), screen.workArea.height()) != 0),
      catalogue_(programFolder),
      renderer_(*this, &catalogue_) {}

MapWindowModel::~MapWindowModel() = default;

void MapWindowModel::Resize(int width, int height) {
    client_ = QSize(width, height);
    anchor_ = QPoint(width / 2, (height / 3) * 2);
    renderer_.view.Update();
}

bool MapWindowModel::LoadMapAt(float latitude, float longitude) {
    const int index = catalogue_.FindMapAt(latitude, longitude);
    if (index == -1) {
        return false;
    }
    renderer_.LoadFirstMap(catalogue_.Record(index).path);
    return true;
}

void MapWindowModel::ApplyScale(float kmPerCm) {
    askedScaleKmPerCm_ = kmPerCm;
    if (renderer_.EntryCount() > 0) {
        renderer_.view.Update();
        renderer_.SetScale(kmPerCm);
        pendingScaleKmPerCm_ = kmPerCm;
    }
}

void MapWindowModel::SetHeading(float headingDeg) {
    renderer_.SetRotation(headingDeg);
}

void MapWindowModel::SetPosition(float latitude, float longitude, float speedKmh,
                                 float headingDeg) {
    // A view that opened where no map was (a first start far from the maps) takes the map under
    // the first position that has one, at the scale asked for.
    if (renderer_.EntryCount() == 0 && LoadMapAt(latitude, longitude) && askedScaleKmPerCm_) {
        ApplyScale(*askedScaleKmPerCm_);
    }
    if (speedKmh > kTurnSpeedKmh) {
        SetHeading(headingDeg);
    }
    scroll_ = SubtractPixels(renderer_.CanvasPointOf(latitude, longitude), anchor_);
    bool added = ScrollToPosition();
    // The scale of a new view was set with the map under the position alone, whose canvas is
    // sized less exactly than that of the maps around it. Set from 100 % again with them, it
    // lands where it would on one map of the whole region.
    for (int repeat = 0; added && pendingScaleKmPerCm_ && repeat < kMaxScaleRepeats; ++repeat) {
        renderer_.SetScaleFromBase(*pendingScaleKmPerCm_);
        scroll_ = SubtractPixels(renderer_.CanvasPointOf(latitude, longitude), anchor_);
        added = ScrollToPosition();
    }
    pendingScaleKmPerCm_.reset();
    RequestRedraw();
}

void MapWindowModel::CentreOn(float latitude, float longitude) {
    renderer_.view.Update();
    scroll_ = SubtractPixels(renderer_.CanvasPointOf(latitude, longitude),
                             QPoint(client_.width() / 2, client_.height() / 2));
}

bool MapWindowModel::ZoomIn(int step) {
    return ZoomAboutAnchor(true, step);
}

bool MapWindowModel::ZoomOut(int step) {
    return ZoomAboutAnchor(false, step);
}

bool MapWindowModel::ZoomAboutAnchor(bool in, int step) {
    pendingScaleKmPerCm_.reset();
    const GeoPoint under = renderer_.projection.ScreenToGeoRotated(
        AddPixels(scroll_, anchor_), renderer_.CanvasWidth(), renderer_.CanvasHeight());
    const bool zoomed = in ? renderer_.view.ZoomIn(step) : renderer_.view.ZoomOut(step);
    renderer_.PlaceAll();
    const QPoint point = SubtractPixels(renderer_.CanvasPointOf(under.lat, under.lon), anchor_);
    // Not left of or above the north-west corner of the area the maps cover together: the
    // canvas origin when one map covers it all, and where it would be on such a map when the
    // loaded tiles are only some of the region's.
    const QPoint origin = renderer_.ReferenceOrigin();
    scroll_ = QPoint(std::max(origin.x(), point.x()), std::max(origin.y(), point.y()));
    ScrollToPosition();
    RequestRedraw();
    return zoomed;
}

std::vector<QPoint> MapWindowModel::PointsToCover() const {
    const int width = client_.width();
    const int height = client_.height();
    std::vector<QPoint> points{scroll_, AddPixels(scroll_, QPoint(0, height)),
                               AddPixels(scroll_, QPoint(width, 0)),
                               AddPixels(scroll_, QPoint(width, height))};
    // The corners find every map larger than the window. Smaller ones, such as the tiles of a
    // region, are found by a grid over the window whose points lie no farther apart than the
    // smallest catalogued map is wide and high on the canvas: each such map under the window
    // holds one of them.
    const MapCatalogue::Spans smallest = catalogue_.SmallestSpans();
    const MapProjection& box = renderer_.projection;
    if (!(smallest.lat > 0.0f) || !(box.latSpan > 0.0f) || !(box.lonSpan > 0.0f)) {
        return points;
    }
    float stepX = smallest.lon * float(renderer_.CanvasWidth()) / box.lonSpan;
    float stepY = smallest.lat * float(renderer_.CanvasHeight()) / box.latSpan;
    if (!box.IsUpright()) {
        // Turned, a map may lie any way across the grid; it still holds a circle as wide as its
        // narrower side, and a square grid of that width ÷ √2 has a point in every such circle.
        stepX = stepY = std::min(stepX, stepY) / std::sqrt(2.0f);
    }
    if (!(stepX < float(width)) && !(stepY < float(height))) {
        return points;
    }
    const int columns = int(std::ceil(float(width) / std::max(stepX, kMinGridStepPx)));
    const int rows = int(std::ceil(float(height) / std::max(stepY, kMinGridStepPx)));
    points.reserve(points.size() + size_t(columns + 1) * size_t(rows + 1));
    for (int row = 0; row <= rows; ++row) {
        const int y = int(int64_t{height} * row / rows);
        for (int column = 0; column <= columns; ++column) {
            const bool corner = (row == 0 || row == rows) && (column == 0 || column == columns);
            if (!corner) {
                points.push_back(
                    AddPixels(scroll_, QPoint(int(int64_t{width} * column / columns), y)));
            }
        }
    }
    return points;
}

bool MapWindowModel::ScrollToPosition() {
    // Outside every catalogued map's box FindMapAt finds nothing; most of a zoomed-out window
    // may lie there.
    const formats::GeoRect catalogued = catalogue_.CoveredArea();
    std::vector<QString> paths;
    QSet<QString> listed;
    for (const QPoint& point : PointsToCover()) {
        const GeoPoint geo = renderer_.projection.ScreenToGeoRotated(point, renderer_.CanvasWidth(),
                                                                     renderer_.CanvasHeight());
        if (geo.lat > catalogued.north || geo.lat < catalogued.south || geo.lon > catalogued.east ||
            geo.lon < catalogued.west || renderer_.AnyEntryContains(geo.lat, geo.lon)) {
            continue;
        }
        const int index = catalogue_.FindMapAt(geo.lat, geo.lon);
        if (index != -1) {
            const QString& path = catalogue_.Record(index).path;
            if (!listed.contains(path)) {
                listed.insert(path);
                paths.push_back(path);
            }
        }
    }
    if (paths.empty()) {
        return false;
    }
    const GeoPoint centre = renderer_.GeoUnderWindowCentre();
    bool added = false;
    for (const QString& path : paths) {
        added = renderer_.AddMap(path) == 1 || added;
    }
    if (!added) {
        return false;
    }
    CentreOn(centre.lat, centre.lon);
    ScrollToPosition();
    RequestRedraw();
    return true;
}

bool MapWindowModel::Render(paint::PaintContext& context, platform::ColorRef background) {
    const platform::Rect client{0, 0, client_.width(), client_.height()};
    context.SetViewportOrigin(QPoint(0, 0));
    context.FillRect(client, background);
    context.SetViewportOrigin(SubtractPixels(QPoint(0, 0), scroll_));
    bool drawn = renderer_.DrawAll(context);
    if (!drawn) {
        // The base map changed, and with it the canvas and the scroll offset.
        context.SetViewportOrigin(QPoint(0, 0));
        context.FillRect(client, background);
        context.SetViewportOrigin(SubtractPixels(QPoint(0, 0), scroll_));
        drawn = renderer_.DrawAll(context);
    }
    context.SetViewportOrigin(QPoint(0, 0));
    return drawn;
}

}  // namespace render
