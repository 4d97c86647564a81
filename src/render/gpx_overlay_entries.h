#pragma once

// The GPX overlay set as the map drawing sees it: one map entry per GPX file of the routes
// folder that the user has ticked (in the POI manager), its GPX layer loaded through the
// renderer, drawn over the maps in every frame without miss counting.
//
// The entries belong to the set; the renderer borrows them for each frame through
// MapOverlays::GpxEntries, so a reload and a frame must not run at the same time (the map
// window's lock serialises them).

#include <QString>

#include <memory>
#include <vector>

#include "render/map_renderer.h"

namespace platform {
class SettingsStore;
}

namespace render {

class GpxOverlayEntries : public MapOverlays {
public:
    // Empties the set, then makes an entry for every ticked ".gpx" file of the routes folder of
    // `programFolder` and loads its GPX layer with the renderer's LoadGpxLayer. An entry whose
    // file fails to load stays in the set (kind 0) and draws nothing. Returns the number of
    // entries.
    int LoadOverlaySet(MapRenderer& renderer, const QString& programFolder,
                       const platform::SettingsStore& settings);
    void Clear() { entries_.clear(); }

    int Count() const { return int(entries_.size()); }
    const MapEntry& Entry(int index) const { return *entries_[size_t(index)]; }

    // MapOverlays
    std::vector<MapEntry*> GpxEntries() override;

private:
    std::vector<std::unique_ptr<MapEntry>> entries_;
};

}  // namespace render
