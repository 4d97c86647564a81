#pragma once

// The GPX files of the routes folder that the user has ticked for display (in the GPX manager).
// The renderer loads them as overlays (render/gpx_overlay_entries).

#include <QString>
#include <QStringList>

#include <vector>

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

}  // namespace formats
