// Seeds for nmea_parser_fuzz: the shared receiver logs cut into pieces of a few cycles, and a
// few made-up sentences at the edges of their fields.
#include <QDir>
#include <QFile>
#include <QString>

#include <cstdio>
#include <string>

#include "platform/c_format.h"

namespace {

constexpr qint64 kPieceBytes = 2048;

std::string WithChecksum(const std::string& body) {
    unsigned sum = 0;
    for (char c : body) sum ^= uint8_t(c);
    return "$" + body + platform::FormatC("*%02X\r\n", sum);
}

bool WriteSeed(const QString& folder, const QString& name, const QByteArray& bytes) {
    QFile file(folder + "/" + name);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s CORPUS_FOLDER\n", argv[0]);
        return 2;
    }
    const QString corpus = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(corpus);
    int written = 0;
    const QDir logs(QStringLiteral(VELMORA_SHARED_DATA "/nmea"));
    for (const QString& name : logs.entryList({"*.log"}, QDir::Files, QDir::Name)) {
        QFile file(logs.filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QByteArray bytes = file.readAll();
        for (qint64 at = 0, piece = 0; at < bytes.size() && piece < 4; at += kPieceBytes, ++piece) {
            written += WriteSeed(corpus, QString("%1.%2").arg(name).arg(piece),
                                 bytes.mid(at, kPieceBytes));
        }
    }
    const char* made[] = {
        "GPGGA,235959.999,8959.9999,N,17959.9999,W,2,12,0.5,-412.0,M,-99.9,M,1.2,0001",
        "GPRMC,000000.00,A,0000.0000,S,00000.0000,W,99999.0,360.0,290224,180.0,W,D",
        "GNGSA,A,3,01,02,03,04,05,06,07,08,09,10,11,12,0.9,0.5,0.7,1",
        "GLGSV,9,9,99,65,90,359,99,66,-1,400,100,67,,,,68,1,1,1",
        "GPVTG,359.9,T,,M,0.0,N,0.0,K,A",
        "GAGLL,4916.45,N,12311.12,W,225444,A,A",
        "BDZDA,201530.00,04,07,2002,00,00",
        "GPRMC,120000.00,A,9500.0000,N,01000.0000,E,0.0,0.0,011314,,,A",
    };
    std::string all;
    for (const char* body : made) all += WithChecksum(body);
    written += WriteSeed(corpus, "made.nmea", QByteArray::fromStdString(all));
    std::printf("%d seeds in %s\n", written, argv[1]);
    return 0;
}
