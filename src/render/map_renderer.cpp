#include "render/map_renderer.h"

#include <QFileInfo>

#include <cmath>

#include "paint/paint_context.h"
#include "platform/settings_store.h"
#include "platform/trace.h"
#include "render/map_catalogue.h"
#include "render/map_window_view.h"

namespace render {
namespace {

enum class FileType { kVector, kGpx, kOther };

FileType TypeOf(const QString& path) {
    const QString suffix = QFileInfo(path).suffix();
    if (suffix.compare(QLatin1String("vl"), Qt::CaseInsensitive) == 0) {
        return FileType::kVector;
    }
    if (suffix.compare(QLatin1String("gpx"), Qt::CaseInsensitive) == 0) {
        return FileType::kGpx;
    }
    return FileType::kOther;
}

// A side of a base canvas: the integer part of `value`, at least one pixel; `keep` when there is
// no extent to compute it from.
int BaseSide(float value, int keep) {
    if (std::isnan(value)) {
        return keep;
    }
    if (!(value >= 1.0f)) {
        return 1;
    }
    return FloorToPixel(value);
}

formats::GeoRect AreaOf(const MapProjection& box) {
    return formats::GeoRect{box.left, box.top, box.right, box.bottom};
}

}  // namespace

MapRenderer::MapRenderer(MapWindowView& window, const MapCatalogue* catalogue)
    : window(&window), catalogue_(catalogue) {
    view.window = &window;
    view.projection = &projection;
    if (const platform::SettingsStore* settings = window.Settings()) {
        antialiasing_ = settings->Get(platform::settings::kAntialiasing) != 0;
    }
}

MapRenderer::~MapRenderer() {
    Reset();
}

void MapRenderer::Reset() {
    entries.clear();
    view.current = PixelRect{};
    view.base = PixelRect{};
    view.zoomPercentX = 100;
    view.zoomPercentY = 100;
    projection.Clear();
}

MapEntry& MapRenderer::AppendEntry(const QString& path) {
    auto entry = std::make_unique<MapEntry>();
    entry->window = window;
    entry->path = path;
    entries.push_back(std::move(entry));
    return *entries.back();
}

void MapRenderer::LoadFirstMap(const QString& path) {
    Reset();
    if (TypeOf(path) == FileType::kVector) {
        LoadBaseMap(path, false);
    } else {
        MakeBaseEntryWithoutLayer(path);
    }
}

void MapRenderer::MakeBaseEntryWithoutLayer(const QString& path) {
    AppendEntry(path);
}

void MapRenderer::LoadBaseMap(const QString& path, bool gpx) {
    MapEntry& entry = AppendEntry(path);
    if (gpx) {
        LoadGpxLayer(entry, path);
    } else {
        LoadVectorLayer(entry, path);
    }
    const MapProjection& box = entry.box;
    projection.SetBounds(box.path, box.title, box.top, box.left, box.bottom, box.right);
    const PixelRect base =
        entry.kind != MapEntry::kKindNone ? BaseCanvasFor(projection) : PixelRect{};
    view.Reset(base.Width(), base.Height(), window->Screen());
    PlaceEntry(entry, CanvasWidth(), CanvasHeight(), projection);
    if (!gpx && entry.layer) {
        entry.layer->SetNightMode(nightMode != 0);
    }
}

int MapRenderer::AddMap(const QString& path) {
    for (const auto& entry : entries) {
        if (entry->box.path == path || entry->path == path) {
            return 0;
        }
    }
    const FileType type = TypeOf(path);
    if (entries.empty()) {
        if (type == FileType::kOther) {
            MakeBaseEntryWithoutLayer(path);
        } else {
            LoadBaseMap(path, type == FileType::kGpx);
        }
        return 1;
    }
    MapEntry& entry = AppendEntry(path);
    if (type == FileType::kVector) {
        LoadVectorLayer(entry, path);
        entry.layer->SetNightMode(nightMode != 0);
    } else if (type == FileType::kGpx) {
        LoadGpxLayer(entry, path);
    }
    Refit();
    return 1;
}

void MapRenderer::LoadVectorLayer(MapEntry& entry, const QString& path) {
    LoadLayer(entry, std::make_unique<DrawMapVector>(), MapEntry::kKindVector, path);
}

void MapRenderer::LoadGpxLayer(MapEntry& entry, const QString& path) {
    LoadLayer(entry, std::make_unique<DrawMapGPX>(gpxFileMaker_), MapEntry::kKindGpx, path);
}

// A layer that fails to load stays with the entry, which keeps kind 0 and an empty box.
void MapRenderer::LoadLayer(MapEntry& entry, std::unique_ptr<MapLayer> layer, int kind,
                            const QString& path) {
    entry.layer = std::move(layer);
    entry.placed = false;
    if (!entry.layer->Load(path, *window)) {
        return;
    }
    entry.kind = kind;
    entry.box.Clear();
    entry.box.SetBounds(path, QStringLiteral("TEST"), entry.layer->South(), entry.layer->West(),
                        entry.layer->North(), entry.layer->East());
}

void MapRenderer::Refit() {
    const float scale = view.scale;
    const int percentX = view.zoomPercentX;
    const int percentY = view.zoomPercentY;
    const bool hadCanvas = view.base.Width() > 0 && view.base.Height() > 0;
    const formats::GeoRect referenceBefore = ReferenceArea();
    float north = -90.0f;
    float south = 90.0f;
    float east = -180.0f;
    float west = 180.0f;
    bool anyLoaded = false;
    for (const auto& entry : entries) {
        // An entry that loaded nothing has no box; its zeros would pull the union to (0, 0).
        if (entry->kind == MapEntry::kKindNone) {
            continue;
        }
        anyLoaded = true;
        const MapProjection& box = entry->box;
        north = std::max({north, box.top, box.bottom});
        south = std::min({south, box.top, box.bottom});
        east = std::max({east, box.left, box.right});
        west = std::min({west, box.left, box.right});
    }
    if (!anyLoaded) {
        return;
    }
    projection.SetBounds(projection.path, projection.title, north, west, south, east);
    const PixelRect base = BaseCanvasFor(projection);
    view.Reset(base.Width(), base.Height(), window->Screen());
    if (hadCanvas && ReferenceArea() == referenceBefore) {
        // The same pixels per degree at 100 %: the same percentages keep the canvas's density
        // exactly, and with it the zoom steps, where stepping back to the scale from 100 %
        // could land a step away from it.
        view.zoomPercentX = percentX;
        view.zoomPercentY = percentY;
        view.ApplyPercent();
    } else if (scale > 0.0f) {
        view.ZoomToScale(scale);
    }
    PlaceAll();
}

formats::GeoRect MapRenderer::ReferenceArea() const {
    return ReferenceAreaWith(projection);
}

formats::GeoRect MapRenderer::ReferenceAreaWith(const MapProjection& box) const {
    formats::GeoRect area = AreaOf(box);
    // The country map covers the whole area already.
    if (!countryMode && catalogue_ && catalogue_->Count() > 0) {
        formats::Widen(area, catalogue_->CoveredArea());
    }
    return area;
}

QPoint MapRenderer::ReferenceOrigin() const {
    const formats::GeoRect area = ReferenceArea();
    return projection.GeoToScreen(area.north, area.west, CanvasWidth(), CanvasHeight());
}

// As a layer sizes its own base canvas: the reference area's longer side (in degrees) gets the
// work area's side, and a degree of latitude as many pixels as one of longitude. A box that is
// the whole reference area gets exactly the canvas its own layer would.
PixelRect MapRenderer::BaseCanvasFor(const MapProjection& box) const {
    const formats::GeoRect reference = ReferenceAreaWith(box);
    const float referenceLat = reference.north - reference.south;
    const float referenceLon = reference.east - reference.west;
    const QSize work = window->Screen().workArea;
    int width = work.width();
    int height = work.height();
    if (referenceLat > referenceLon) {
        const float side = float(height);
        width = BaseSide(side / referenceLat * box.lonSpan, width);
        if (box.latSpan != referenceLat) {
            height = BaseSide(side / referenceLat * box.latSpan, height);
        }
    } else {
        const float side = float(width);
        height = BaseSide(side / referenceLon * box.latSpan, height);
        if (box.lonSpan != referenceLon) {
            width = BaseSide(side / referenceLon * box.lonSpan, width);
        }
    }
    return PixelRect{0, 0, width, height};
}

void MapRenderer::PlaceEntry(MapEntry& entry, int width, int height, const MapProjection& onto) {
    if (entry.kind == MapEntry::kKindNone || !entry.layer || !entry.layer->IsLoaded()) {
        return;
    }
    const MapEntry::PlacedFor key{
        width,
        height,
        {onto.top, onto.left, onto.latSpan, onto.lonSpan},
        {entry.box.top, entry.box.left, entry.box.bottom, entry.box.right}};
    if (entry.placed && key == entry.placedFor) {
        return;
    }
    entry.placed = true;
    entry.placedFor = key;
    const QPoint northWest = onto.GeoToScreen(entry.box.top, entry.box.left, width, height);
    const QPoint southEast = onto.GeoToScreen(entry.box.bottom, entry.box.right, width, height);
    ZoomView& layerView = entry.layer->View();
    // Position of the north-west corner, extent to the south-east corner.
    layerView.current = PixelRect{northWest.x(), northWest.y(), southEast.x(), southEast.y()};
    layerView.Update();
}

void MapRenderer::PlaceAll() {
    for (const auto& entry : entries) {
        PlaceEntry(*entry, CanvasWidth(), CanvasHeight(), projection);
    }
}

bool MapRenderer::DrawEntry(MapEntry& entry, paint::PaintContext& context, int width, int height,
                            const MapProjection& onto, LabelList& labels, float scaleKmPerCm) {
    if (entry.kind == MapEntry::kKindNone || !entry.layer || !entry.layer->IsLoaded()) {
        return false;
    }
    PlaceEntry(entry, width, height, onto);
    entry.layer->SetFrameStats(&frame_);
    return entry.layer->Draw(*window, context, width, height, onto, 0, labels, scaleKmPerCm);
}

bool MapRenderer::DrawAll(paint::PaintContext& context) {
    if (entries.empty()) {
        return false;
    }
    platform::Trace("Draw Maps %d", int(entries.size()));
    context.SetAntialiasing(antialiasing_);
    frame_.Clear();
    LabelList labels;
    // By index: an unloaded entry moves the later ones down, and the count is read again.
    for (size_t i = 0; i < entries.size(); ++i) {
        MapEntry& entry = *entries[i];
        if (DrawEntry(entry, context, CanvasWidth(), CanvasHeight(), projection, labels,
                      view.scale)) {
            entry.missCount = 0;
        } else if (++entry.missCount > kMaxMisses) {
            DeleteMap(int(i));
        }
    }
    if (overlays_) {
        for (MapEntry* overlay : overlays_->GpxEntries()) {
            if (overlay) {
                DrawEntry(*overlay, context, CanvasWidth(), CanvasHeight(), projection, labels,
                          view.scale);
            }
        }
        overlays_->DrawPois(context, CanvasWidth() / 2, CanvasHeight() / 2, CanvasWidth(),
                            CanvasHeight(), projection);
    }
    labels.clear();

    if (countryMode) {
        const MapLayer* base = entries.empty() ? nullptr : entries[0]->layer.get();
        if (base && base->IsLoaded() && base->Cbits() > kCountryToDetailCbits && SwitchToDetail()) {
            return false;
        }
        return true;
    }
    for (const auto& entry : entries) {
        if (!entry->layer || entry->layer->Cbits() < kDetailCbits) {
            return !SwitchToCountry();
        }
    }
    return true;
}

void MapRenderer::DeleteMap(int index) {
    if (entries.size() <= 1 || index < 0 || size_t(index) >= entries.size()) {
        return;
    }
    const GeoPoint centre = GeoUnderWindowCentre();
    platform::Trace("Delete map %s", qPrintable(entries[size_t(index)]->path));
    entries.erase(entries.begin() + index);
    Refit();
    view.Update();
    const QPoint point = CanvasPointOf(centre.lat, centre.lon);
    const QSize client = window->ClientSize();
    window->SetScrollOffset(SubtractPixels(point, QPoint(client.width() / 2, client.height() / 2)));
    window->LoadMapsForCorners();
    window->RequestRedraw();
}

void MapRenderer::SetScale(float kmPerCm) {
    view.ZoomToScale(kmPerCm);
    PlaceAll();
}

void MapRenderer::SetScaleFromBase(float kmPerCm) {
    view.zoomPercentX = 100;
    view.zoomPercentY = 100;
    view.ApplyPercent();
    SetScale(kmPerCm);
}

bool MapRenderer::AnyEntryContains(float latitude, float longitude) const {
    for (const auto& entry : entries) {
        if (entry->layer && entry->layer->IsLoaded() &&
            entry->layer->Contains(latitude, longitude)) {
            return true;
        }
    }
    return false;
}

bool MapRenderer::LoadCountryMap() {
    if (!catalogue_ || catalogue_->CountryMapPath().isEmpty()) {
        return false;
    }
    countryMode = 1;
    LoadFirstMap(catalogue_->CountryMapPath());
    return true;
}

bool MapRenderer::SwitchToCountry() {
    if (!catalogue_ || catalogue_->CountryMapPath().isEmpty()) {
        return false;
    }
    const float scale = view.scale;
    const GeoPoint centre = GeoUnderWindowCentre();
    LoadCountryMap();
    view.Update();
    SetScale(scale);
    window->CentreOn(centre.lat, centre.lon);
    return true;
}

bool MapRenderer::SwitchToDetail() {
    const float scale = view.scale;
    const GeoPoint centre = GeoUnderWindowCentre();
    const int index = catalogue_ ? catalogue_->FindMapAt(centre.lat, centre.lon) : -1;
    if (index == -1) {
        return false;
    }
    countryMode = 0;
    LoadFirstMap(catalogue_->Record(index).path);
    view.Update();
    SetScale(scale);
    window->CentreOn(centre.lat, centre.lon);
    return true;
}

void MapRenderer::SetNightMode(bool night) {
    nightMode = night ? 1 : 0;
    for (const auto& entry : entries) {
        if (entry->layer) {
            entry->layer->SetNightMode(night);
        }
    }
}

void MapRenderer::SetRotation(float degrees) {
    projection.SetRotation(degrees);
    for (const auto& entry : entries) {
        entry->box.SetRotation(degrees);
    }
}

GeoPoint MapRenderer::GeoUnderWindowCentre() const {
    const QPoint scroll = window->ScrollOffset();
    const QSize client = window->ClientSize();
    return projection.ScreenToGeoRotated(
        AddPixels(scroll, QPoint(client.width() / 2, client.height() / 2)), CanvasWidth(),
        CanvasHeight());
}

QPoint MapRenderer::CanvasPointOf(float latitude, float longitude) const {
    const int width = CanvasWidth();
    const int height = CanvasHeight();
    return projection.GeoToScreenRotated(latitude, longitude, width / 2, height / 2, width, height);
}

}  // namespace render
