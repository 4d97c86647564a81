#include "render/gpx_overlay_entries.h"

#include "formats/ticked_gpx_files.h"

namespace render {

int GpxOverlayEntries::LoadOverlaySet(MapRenderer& renderer, const QString& programFolder,
                                      const platform::SettingsStore& settings) {
    entries_.clear();
    for (const formats::TickedGpxFile& ticked : formats::TickedGpxFiles(programFolder, settings)) {
        auto entry = std::make_unique<MapEntry>();
        entry->path = ticked.path;
        renderer.LoadGpxLayer(*entry, ticked.path);
        entries_.push_back(std::move(entry));
    }
    return Count();
}

std::vector<MapEntry*> GpxOverlayEntries::GpxEntries() {
    std::vector<MapEntry*> entries;
    entries.reserve(entries_.size());
    for (const auto& entry : entries_) {
        entries.push_back(entry.get());
    }
    return entries;
}

}  // namespace render
