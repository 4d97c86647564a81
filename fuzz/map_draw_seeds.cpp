// Writes seed inputs for map_draw_fuzz: the demo region's maps and a small dense map.
#include <QFile>
#include <QString>

#include "formats/vl_writer.h"
#include "synthetic_maps.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const QList<QByteArray> seeds = {formats::WriteVl(*testmaps::DemoDetailMap()),
                                     formats::WriteVl(*testmaps::DemoCountryMap()),
                                     formats::WriteVl(*testmaps::DenseMap(4, 3))};
    int n = 0;
    for (const QByteArray& seed : seeds) {
        QFile file(folder + QStringLiteral("/map%1.vl").arg(n++));
        if (!file.open(QIODevice::WriteOnly) || file.write(seed) != seed.size()) {
            return 1;
        }
    }
    return 0;
}
