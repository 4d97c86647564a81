// Seeds for maps_dat_fuzz: the maps.dat the catalogue writes for a few real map files, and the
// same cut short and with an impossible count.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

#include "formats/vl_writer.h"
#include "platform/file_access.h"
#include "render/map_catalogue.h"

namespace {

bool WriteMap(const QString& path, float north, float west, float south, float east) {
    formats::ShapeFile file;
    file.name = QFileInfo(path).baseName();
    file.bounds = formats::GeoRect{west, north, east, south};
    QDir().mkpath(QFileInfo(path).path());
    return formats::WriteVlFile(file, path);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s CORPUS\n", argv[0]);
        return 2;
    }
    const QString corpus = QString::fromLocal8Bit(argv[1]);
    QTemporaryDir home;
    if (!home.isValid() || !WriteMap(home.filePath("Maps/Andorra.vl"), 42.7f, 1.4f, 42.4f, 1.8f) ||
        !WriteMap(home.filePath("Maps/sub/Escaldes.vl"), 42.52f, 1.52f, 42.5f, 1.56f) ||
        !WriteMap(home.filePath("Maps/sub/Encamp.vl"), 42.55f, 1.56f, 42.52f, 1.6f) ||
        !WriteMap(home.filePath("Maps/Country.vl"), 43.0f, 1.0f, 42.0f, 2.0f)) {
        std::fprintf(stderr, "cannot write the maps\n");
        return 1;
    }
    render::MapCatalogue catalogue(home.path());
    catalogue.Build();
    const QByteArray written = catalogue.SaveBytes();
    QByteArray hugeCount = written;
    hugeCount[7] = char(0x7F);
    const struct {
        const char* name;
        QByteArray bytes;
    } seeds[] = {
        {"seed-catalogue.dat", written},
        {"seed-cut.dat", written.left(written.size() - 100)},
        {"seed-huge-count.dat", hugeCount},
        {"seed-empty.dat", written.left(8)},
    };
    for (const auto& seed : seeds) {
        if (!platform::WriteWholeFile(corpus + "/" + seed.name, seed.bytes)) {
            std::fprintf(stderr, "cannot write seed %s\n", seed.name);
        }
    }
    return 0;
}
