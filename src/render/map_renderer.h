#pragma once

// The maps loaded at one moment and the frame that draws them: one entry per map file, one
// geographic box over all of them, the country map when zoomed out and the detailed maps from
// the catalogue when zoomed in, and the unloading of detailed maps that stopped contributing.
//
// Not thread-safe: the map window serialises its drawing thread and its interface thread
// around every call (including DrawAll, which may unload maps and switch the base map).

#include <QPoint>
#include <QString>

#include <memory>
#include <vector>

#include "formats/shape_model.h"
#include "render/map_layer.h"
#include "render/map_projection.h"
#include "render/zoom_view.h"

namespace paint {
class PaintContext;
}

namespace render {

class MapCatalogue;
class MapWindowView;

// One loaded map file.
struct MapEntry {
    // What the entry holds.
    static constexpr int kKindNone = 0;
    static constexpr int kKindVector = 3;  // ".vl"
    static constexpr int kKindGpx = 5;     // ".gpx"

    int missCount = 0;                // consecutive frames in which the entry drew nothing
    std::unique_ptr<MapLayer> layer;  // null when the file type has no layer
    MapProjection box;                // the map's own box; path and title "TEST" once loaded
    const MapWindowView* window = nullptr;
    int kind = kKindNone;
    // The path the entry was made for, loaded or not: a file that failed stays known.
    QString path;

    // What the layer's place on the canvas was last computed for: placing it again for the
    // same canvas and boxes (every frame while scrolling) changes nothing and is skipped.
    struct PlacedFor {
        int width = 0;
        int height = 0;
        float canvasBox[4] = {};
        float entryBox[4] = {};
        bool operator==(const PlacedFor&) const = default;
    };
    PlacedFor placedFor;
    bool placed = false;
};

// What the frame draws over the maps: the GPX files the user opened and the POIs. The main
// frame implements it.
class MapOverlays {
public:
    virtual ~MapOverlays() = default;
    // The GPX overlay entries, drawn after the maps without miss counting; borrowed.
    virtual std::vector<MapEntry*> GpxEntries() = 0;
    // The POIs, on a canvas of width × height turned about (centreX, centreY); none unless
    // the POI store draws them.
    virtual void DrawPois(paint::PaintContext& /*context*/, int /*centreX*/, int /*centreY*/,
                          int /*width*/, int /*height*/, const MapProjection& /*projection*/) {}
};

class MapRenderer {
public:
    // The entries kept in country mode use a level of more than this many cbits only after a
    // zoom in, when the detailed map takes over; in detail mode a map below kDetailCbits gives
    // way to the country map. The gap keeps one zoom from switching back and forth.
    static constexpr int kCountryToDetailCbits = 20;
    static constexpr int kDetailCbits = 18;
    // Frames without drawing after which a map is unloaded.
    static constexpr int kMaxMisses = 3;

    // The window and the catalogue are borrowed and outlive the renderer.
    MapRenderer(MapWindowView& window, const MapCatalogue* catalogue);
    ~MapRenderer();
    MapRenderer(const MapRenderer&) = delete;
    MapRenderer& operator=(const MapRenderer&) = delete;

    void Reset();
    // Replaces everything with one map: ".vl" loads it as the base map; any other extension
    // makes a base entry without a layer.
    void LoadFirstMap(const QString& path);
    // 0 when an entry for the path exists; 1 once added (as the base map when there was none).
    int AddMap(const QString& path);
    void LoadVectorLayer(MapEntry& entry, const QString& path);
    void LoadGpxLayer(MapEntry& entry, const QString& path);
    // Widens or narrows the box to the union of the entries' boxes, keeping the pixel density
    // and the scale.
    void Refit();
    // The area whose fit to the screen's work area is the pixel density at 100 %: the loaded
    // maps' box and, in detail mode, the box of every catalogued map, so that a region of many
    // tiles zooms (and zooms out as far) as one map of the whole region would.
    formats::GeoRect ReferenceArea() const;
    // The canvas pixel, not turned, of the reference area's north-west corner: (0, 0) when the
    // loaded maps' box is the whole reference area, up and to the left of it otherwise.
    QPoint ReferenceOrigin() const;
    void PlaceEntry(MapEntry& entry, int width, int height, const MapProjection& onto);
    void PlaceAll();
    bool DrawEntry(MapEntry& entry, paint::PaintContext& context, int width, int height,
                   const MapProjection& onto, LabelList& labels, float scaleKmPerCm);
    // One frame on the map image, whose viewport origin is minus the window's scroll offset.
    // False when the base map was switched: the window clears the image and draws again.
    bool DrawAll(paint::PaintContext& context);
    // Unloads one entry, never the last one, keeping the place under the window centre.
    void DeleteMap(int index);
    void SetScale(float kmPerCm);
    // SetScale from the canvas at 100 %, where a freshly loaded base map starts: the scale it
    // lands on depends only on the target and the reference area.
    void SetScaleFromBase(float kmPerCm);
    bool AnyEntryContains(float latitude, float longitude) const;
    // Each true when it switched the base map. SwitchToCountry keeps the detailed maps when the
    // catalogue has no country map; SwitchToDetail keeps the country map when no catalogued
    // map lies under the window centre.
    bool SwitchToCountry();
    bool SwitchToDetail();
    // Country mode with the catalogue's country map as the base map; false, with nothing
    // changed, when the catalogue has none.
    bool LoadCountryMap();

    // Hands the flag to every layer, now and when loaded.
    void SetNightMode(bool night);
    int NightMode() const { return nightMode; }
    int CountryMode() const { return countryMode; }
    void SetOverlays(MapOverlays* overlays) { overlays_ = overlays; }
    // How GPX layers read their files; without one they read GPX files (GpxMapFile).
    void SetGpxFileMaker(MapFileMaker maker) { gpxFileMaker_ = std::move(maker); }
    // Smooth edges for lines and areas; from the settings at construction.
    void SetAntialiasing(bool on) { antialiasing_ = on; }

    // Turns the picture (degrees), on the renderer's box and every entry's.
    void SetRotation(float degrees);

    int CanvasWidth() const { return view.current.right - view.current.left; }
    int CanvasHeight() const { return view.current.bottom - view.current.top; }
    // The position under the window's centre and the canvas pixel of a position (both with
    // the rotation about the canvas centre).
    GeoPoint GeoUnderWindowCentre() const;
    QPoint CanvasPointOf(float latitude, float longitude) const;

    // What the last DrawAll drew (the frame after a switch of the base map, when it switched).
    const FrameStats& LastFrame() const { return frame_; }

    int EntryCount() const { return int(entries.size()); }
    MapEntry& Entry(int index) { return *entries[size_t(index)]; }
    const MapEntry& Entry(int index) const { return *entries[size_t(index)]; }

    ZoomView view;
    MapProjection projection;

private:
    MapEntry& AppendEntry(const QString& path);
    void LoadLayer(MapEntry& entry, std::unique_ptr<MapLayer> layer, int kind, const QString& path);
    void LoadBaseMap(const QString& path, bool gpx);
    void MakeBaseEntryWithoutLayer(const QString& path);
    formats::GeoRect ReferenceAreaWith(const MapProjection& box) const;
    // The canvas of `box` at 100 %: its sides at the pixels per degree of the reference area.
    PixelRect BaseCanvasFor(const MapProjection& box) const;

    std::vector<std::unique_ptr<MapEntry>> entries;
    MapWindowView* window;
    const MapCatalogue* catalogue_;
    MapOverlays* overlays_ = nullptr;
    MapFileMaker gpxFileMaker_;
    FrameStats frame_;
    int nightMode = 0;
    int countryMode = 0;
    bool antialiasing_ = true;
};

}  // namespace render
