#include "poi/poi_overlays.h"

#include "poi/poi_store.h"
#include "render/gpx_overlay_entries.h"

namespace poi {

std::vector<render::MapEntry*> PoiOverlays::GpxEntries() {
    return gpx_ ? gpx_->GpxEntries() : std::vector<render::MapEntry*>{};
}

void PoiOverlays::DrawPois(platform::PaintContext& context, int centreX, int centreY, int width,
                           int height, const render::MapProjection& projection) {
    if (pois_) {
        pois_->Draw(context, centreX, centreY, width, height, projection);
    }
}

}  // namespace poi
