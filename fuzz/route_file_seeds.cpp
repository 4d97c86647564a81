// Writes seed inputs for route_file_fuzz: route files cut at several places and a few names.
#include <QByteArray>
#include <QFile>
#include <QString>

#include "poi/gpx_writer.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const QByteArray point = poi::RoutePointLines(41.164673f, -8.123456f, 12.5f);
    const QByteArray route = poi::GpxHeader(platform::SystemTime{2008, 1, 2, 15, 9, 5, 7, 0}) +
                             poi::kRouteStartLine + point + point + poi::kRouteEndLines;
    const QList<QByteArray> seeds = {route, route.left(route.size() - 16),
                                     route.left(route.size() - 30), point + point.left(12),
                                     QString::fromUtf8("Café & <Bar> ../x").toUtf8()};
    int n = 0;
    for (const QByteArray& seed : seeds) {
        QFile file(folder + QStringLiteral("/seed%1").arg(n++));
        if (!file.open(QIODevice::WriteOnly) || file.write(seed) != seed.size()) {
            return 1;
        }
    }
    return 0;
}
