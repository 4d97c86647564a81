#pragma once

// The GPX overlay set: the GPX files of the routes folder that the user has ticked for display
// (in the POI manager), loaded and ready to be drawn over the maps.
//
// How the map drawing uses it: after LoadOverlaySet, Overlays() lists one GpxOverlay per ticked
// file, in file name order. Each holds its GpxMapFile, which is always there: a file that did
// not load (loaded false) stays in the set and draws nothing, since its MapFile then has no
// objects. A GPX layer draws an overlay through the plain MapFile operations of `*map`
// (SelectLevel, ObjectCount, Object, the bounding rectangle east, south, west, north), borrowing
// it: the set owns the files until it is cleared or loaded again, so whoever draws must not hold
// on to them across a reload (reload and draw under the same lock when they run on different
// threads).

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

#include "formats/gpx_file.h"

namespace platform {
class SettingsStore;
}

namespace formats {

// The file names the user has ticked: the values "YESGPX0", "YESGPX1", … of "STATUS/GPX" in
// order, up to the first that is missing, empty or ",,," (values after it are not read).
QStringList EnabledGpxFiles(const platform::SettingsStore& settings);

// True when fileName is one of the ticked names (exact, case-sensitive comparison).
bool IsGpxEnabled(const platform::SettingsStore& settings, const QString& fileName);

// A ticked GPX file of the routes folder.
struct TickedGpxFile {
    QString fileName;  // name inside the routes folder, as the ticked list holds it
    QString path;      // full path of the file
};

// The ticked ".gpx" files (the extension in any case; folders are passed over) of the routes
// folder of `programFolder`, in file name order; none when there is no such folder.
std::vector<TickedGpxFile> TickedGpxFiles(const QString& programFolder,
                                          const platform::SettingsStore& settings);

struct GpxOverlay {
    QString fileName;  // name inside the routes folder, as the ticked list holds it
    QString path;      // full path of the file
    std::unique_ptr<GpxMapFile> map;
    bool loaded = false;
};

class GpxOverlaySet {
public:
    // Empties the set, then loads every ticked ".gpx" file (the extension in any case; folders
    // are passed over) of the routes folder of `programFolder`. Returns the number of entries.
    int LoadOverlaySet(const QString& programFolder, const platform::SettingsStore& settings);

    void Clear() { overlays_.clear(); }

    const std::vector<std::unique_ptr<GpxOverlay>>& Overlays() const { return overlays_; }

private:
    std::vector<std::unique_ptr<GpxOverlay>> overlays_;
};

}  // namespace formats
