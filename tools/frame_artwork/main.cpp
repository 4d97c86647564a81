// Writes the program's pictures into a folder: frame_artwork OUTDIR
// (OUTDIR/<id>.png for the panel, OUTDIR/156.png for the splash, OUTDIR/128.png and
// OUTDIR/velmora-<size>.png for the program icon).
#include <QDir>
#include <QGuiApplication>
#include <QStringList>

#include <cstdio>

#include "frame_artwork.h"

namespace {

bool Save(const QImage& image, const QString& path) {
    if (image.save(path, "PNG")) {
        return true;
    }
    std::fprintf(stderr, "frame_artwork: cannot write %s\n", qPrintable(path));
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() != 2) {
        std::fprintf(stderr, "usage: frame_artwork OUTDIR\n");
        return 1;
    }
    const QDir out(arguments.at(1));
    if (!QDir().mkpath(out.path())) {
        std::fprintf(stderr, "frame_artwork: cannot make %s\n", qPrintable(out.path()));
        return 1;
    }
    bool ok = true;
    for (const frame_art::Picture& picture : frame_art::PanelPictures()) {
        // RGB888: 24 bits per pixel, magenta exact.
        ok &= Save(picture.image.convertToFormat(QImage::Format_RGB888),
                   out.filePath(QString::number(picture.id) + ".png"));
    }
    ok &= Save(frame_art::SplashPicture().convertToFormat(QImage::Format_RGB888),
               out.filePath("156.png"));
    ok &= Save(frame_art::ProgramIcon(128), out.filePath("128.png"));
    for (int size : {48, 256}) {
        ok &= Save(frame_art::ProgramIcon(size),
                   out.filePath(QStringLiteral("velmora-%1.png").arg(size)));
    }
    return ok ? 0 : 1;
}
