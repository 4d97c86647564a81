// Writes seed inputs for gpx_file_fuzz: small GPX documents with the markup the reader must
// step over, in several encodings, and the GPX files of the shared data when they are there.
#include <QDir>
#include <QFile>
#include <QStringEncoder>

namespace {

const char* const kDocuments[] = {
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<gpx version=\"1.1\" creator=\"a > b\" "
    "xmlns=\"http://www.topografix.com/GPX/1/1\">\n<wpt lat=\"46.5\" lon=\"13.25\"><ele>900</ele>"
    "<name>Hut &amp; <![CDATA[<b>]]></name><NAME>Last</NAME></wpt>\n<!-- </gpx> -->\n"
    "<rte><name>r</name><rtept lat=\"1\" lon=\"2\"/><RTEPT lat=\"3\" lon=\"4\"/>"
    "<rtept lon=\"5\"/></rte>\n<trk><trkseg><trkpt lat=\"1\" lon=\"1\"/></trkseg></trk>\n"
    "<?pi ?></gpx>\n",
    "<gpx><wpt lat=\"37.5abc\" lon=\" +0x1p3\"/><wpt lat=\"nan\" lon=\"1e999\"/><rte/></gpx>",
    "<!DOCTYPE gpx [ <!ENTITY e \"x\"> ]><gpx><wpt lat='1' lon='2' note='/>'/></gpx>",
    "<?xml version=\"1.0\" encoding=\"windows-1252\"?><gpx><wpt lat=\"1\" lon=\"1\">"
    "<name>\x80\x8A\xE9</name></wpt></gpx>",
    "<gpx><wpt lat=\"1\" lon=\"1\"><name>a</nam></wpt></gpx>",
    "<kml><wpt lat=\"1\" lon=\"1\"/></kml>",
    "<gpx/>",
};

bool WriteSeed(const QString& folder, int n, const QByteArray& bytes) {
    QFile file(folder + QStringLiteral("/seed%1").arg(n));
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    int n = 0;
    for (const char* document : kDocuments) {
        if (!WriteSeed(folder, n++, document)) {
            return 1;
        }
    }
    QStringEncoder utf16(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
    if (!WriteSeed(folder, n++, utf16.encode(QString::fromUtf8(kDocuments[0])))) {
        return 1;
    }
    const QDir shared(QStringLiteral(VELMORA_SHARED_DATA "/gpx"));
    for (const QString& name : shared.entryList({QStringLiteral("*.gpx")}, QDir::Files)) {
        QFile file(shared.filePath(name));
        if (file.size() <= 16384 && file.open(QIODevice::ReadOnly) &&
            !WriteSeed(folder, n++, file.readAll())) {
            return 1;
        }
    }
    return 0;
}
