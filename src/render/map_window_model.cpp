#include "render/map_window_model.h"

#include <algorithm>
#include <array>
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
    if (renderer_.EntryCount() > 0) {
        renderer_.view.Update();
        renderer_.SetScale(kmPerCm);
    }
}

void MapWindowModel::SetHeading(float headingDeg) {
    renderer_.SetRotation(headingDeg);
}

void MapWindowModel::SetPosition(float latitude, float longitude, float speedKmh,
                                 float headingDeg) {
    if (speedKmh > kTurnSpeedKmh) {
        SetHeading(headingDeg);
    }
    scroll_ = SubtractPixels(renderer_.CanvasPointOf(latitude, longitude), anchor_);
    ScrollToPosition();
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
    const GeoPoint under = renderer_.projection.ScreenToGeoRotated(
        AddPixels(scroll_, anchor_), renderer_.CanvasWidth(), renderer_.CanvasHeight());
    const bool zoomed = in ? renderer_.view.ZoomIn(step) : renderer_.view.ZoomOut(step);
    renderer_.PlaceAll();
    const QPoint point = SubtractPixels(renderer_.CanvasPointOf(under.lat, under.lon), anchor_);
    scroll_ = QPoint(std::max(0, point.x()), std::max(0, point.y()));
    ScrollToPosition();
    RequestRedraw();
    return zoomed;
}

bool MapWindowModel::ScrollToPosition() {
    const int width = client_.width();
    const int height = client_.height();
    const std::array<QPoint, 4> corners{scroll_, AddPixels(scroll_, QPoint(0, height)),
                                        AddPixels(scroll_, QPoint(width, 0)),
                                        AddPixels(scroll_, QPoint(width, height))};
    std::vector<QString> paths;
    for (const QPoint& corner : corners) {
        const GeoPoint geo = renderer_.projection.ScreenToGeoRotated(
            corner, renderer_.CanvasWidth(), renderer_.CanvasHeight());
        if (renderer_.AnyEntryContains(geo.lat, geo.lon)) {
            continue;
        }
        const int index = catalogue_.FindMapAt(geo.lat, geo.lon);
        if (index != -1) {
            paths.push_back(catalogue_.Record(index).path);
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
