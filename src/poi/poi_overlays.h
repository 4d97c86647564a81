#pragma once

#include <vector>

#include "render/map_renderer.h"

namespace render {
class GpxOverlayEntries;
}

namespace poi {

class PoiStore;

// What the map frame draws over the maps: the ticked GPX files, then the POIs on top. Both are
// borrowed (either may be null) and must outlive the renderer's use of this object:
//   poi::PoiOverlays overlays(&gpxEntries, &poiStore);
//   renderer.SetOverlays(&overlays);
class PoiOverlays : public render::MapOverlays {
public:
    PoiOverlays(render::GpxOverlayEntries* gpx, const PoiStore* pois) : gpx_(gpx), pois_(pois) {}

    std::vector<render::MapEntry*> GpxEntries() override;
    void DrawPois(platform::PaintContext& context, int centreX, int centreY, int width, int height,
                  const render::MapProjection& projection) override;

private:
    render::GpxOverlayEntries* gpx_;
    const PoiStore* pois_;
};

}  // namespace poi
