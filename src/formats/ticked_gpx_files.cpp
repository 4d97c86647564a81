#include "formats/ticked_gpx_files.h"

#include <algorithm>

#include "platform/folder_listing.h"
#include "platform/program_folder.h"
#include "platform/settings_store.h"

namespace formats {

QStringList EnabledGpxFiles(const platform::SettingsStore& settings) {
    QStringList names;
    for (int i = 0;; ++i) {
        QString name = settings.Get(platform::settings::kEnabledGpxFiles, i);
        if (name.isEmpty() || name == QLatin1String(platform::settings::kListEnd)) {
            return names;
        }
        names.append(std::move(name));
    }
}

bool IsGpxEnabled(const platform::SettingsStore& settings, const QString& fileName) {
    return EnabledGpxFiles(settings).contains(fileName, Qt::CaseSensitive);
}

std::vector<TickedGpxFile> TickedGpxFiles(const QString& programFolder,
                                          const platform::SettingsStore& settings) {
    std::vector<TickedGpxFile> files;
    const QString folder = programFolder + QLatin1String(platform::kRoutesTail);
    std::optional<std::vector<platform::FolderEntry>> entries = platform::ListFolder(folder);
    if (!entries) {
        return files;
    }
    std::sort(entries->begin(), entries->end(),
              [](const auto& a, const auto& b) { return a.name < b.name; });
    const QStringList enabled = EnabledGpxFiles(settings);
    for (const platform::FolderEntry& entry : *entries) {
        const bool gpx = (entry.attributes & platform::kAttrDirectory) == 0 &&
                         entry.name.endsWith(QLatin1String(".gpx"), Qt::CaseInsensitive);
        if (gpx && enabled.contains(entry.name, Qt::CaseSensitive)) {
            files.push_back(TickedGpxFile{entry.name, folder + u'/' + entry.name});
        }
    }
    return files;
}

}  // namespace formats
