#include "app/demo_home.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include "mapmake/demo_region.h"
#include "mapmake/map_compiler.h"
#include "platform/settings_keys.h"
#include "platform/settings_store.h"

namespace app {
namespace {

constexpr char kDemoPoiFile[] = "demo.poi";
constexpr char kDemoDrive[] = "demo.nmea";
// Written last: a home without it was interrupted and is made again.
constexpr char kDemoReadyMark[] = "Maps/Demo/.demo-ready";

bool CopyFolderFiles(const QString& from, const QString& to) {
    QDir().mkpath(to);
    for (const QFileInfo& file : QDir(from).entryInfoList(QDir::Files)) {
        const QString target = to + QLatin1Char('/') + file.fileName();
        QFile::remove(target);
        if (!QFile::copy(file.filePath(), target)) {
            return false;
        }
    }
    return true;
}

}  // namespace

QString DefaultDemoHome() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QLatin1String("/Velmora/demo");
}

bool PrepareDemoHome(const QString& home, QString& error) {
    if (QFileInfo::exists(home + QLatin1Char('/') + QLatin1String(kDemoReadyMark))) {
        return true;
    }
    const QString region = home + QLatin1String("/demo-region");
    QDir(region).removeRecursively();
    if (!mapmake::WriteDemoRegion(region, error)) {
        return false;
    }
    mapmake::CompileOptions options = mapmake::DemoCompileOptions(region);
    options.outDir = home + QLatin1String("/Maps");
    mapmake::CompileSummary summary;
    if (!mapmake::CompileMaps(options, {}, summary, error)) {
        return false;
    }
    if (!CopyFolderFiles(region + QLatin1String("/POI"), home + QLatin1String("/POI"))) {
        error = QStringLiteral("cannot copy the demo's POI files into %1/POI").arg(home);
        return false;
    }
    const QString drive = home + QLatin1Char('/') + QLatin1String(kDemoDrive);
    QFile::remove(drive);
    if (!QFile::copy(region + QLatin1Char('/') + QLatin1String(kDemoDrive), drive)) {
        error = QStringLiteral("cannot copy the demo drive into %1").arg(home);
        return false;
    }
    QDir(region).removeRecursively();
    // New maps: the catalogue of an earlier demo would not know them.
    QFile::remove(home + QLatin1String("/Maps/maps.dat"));
    QFile mark(home + QLatin1Char('/') + QLatin1String(kDemoReadyMark));
    if (!mark.open(QIODevice::WriteOnly)) {
        error = QStringLiteral("cannot write into %1/Maps").arg(home);
        return false;
    }
    return true;
}

void TickDemoPois(platform::SettingsStore& settings) {
    namespace keys = platform::settings;
    if (!settings.Get(keys::kEnabledPoiFiles, 0).isEmpty()) {
        return;
    }
    settings.Set(keys::kEnabledPoiFiles, 0, QString::fromLatin1(kDemoPoiFile));
    settings.Set(keys::kEnabledPoiFiles, 1, QString::fromLatin1(keys::kListEnd));
}

QString DemoGpsUri(const QString& home) {
    return QStringLiteral("replay:%1/%2?speed=1&loop=1").arg(home, QLatin1String(kDemoDrive));
}

}  // namespace app
