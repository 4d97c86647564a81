// Writes the point icon strip images/POI.bmp: poi_icon_strip OUT.bmp [--preview PREVIEW.png]
#include <QGuiApplication>
#include <QImage>
#include <QStringList>

#include <cstdio>

#include "poi_artwork.h"

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    QStringList arguments = app.arguments();
    arguments.removeFirst();
    QString previewPath;
    const qsizetype previewAt = arguments.indexOf("--preview");
    if (previewAt >= 0 && previewAt + 1 < arguments.size()) {
        previewPath = arguments.at(previewAt + 1);
        arguments.remove(previewAt, 2);
    }
    if (arguments.size() != 1) {
        std::fprintf(stderr, "usage: poi_icon_strip OUT.bmp [--preview PREVIEW.png]\n");
        return 1;
    }
    const QImage strip = poi_art::BuildStrip();
    // RGB888 makes the BMP writer store 24 bits per pixel.
    if (!strip.convertToFormat(QImage::Format_RGB888).save(arguments.at(0), "BMP")) {
        std::fprintf(stderr, "poi_icon_strip: cannot write %s\n", qPrintable(arguments.at(0)));
        return 1;
    }
    if (!previewPath.isEmpty() && !poi_art::BuildPreview(strip).save(previewPath, "PNG")) {
        std::fprintf(stderr, "poi_icon_strip: cannot write %s\n", qPrintable(previewPath));
        return 1;
    }
    return 0;
}
