#include "poi/gpx_writer.h"

#include <QFileInfo>

#include "platform/c_format.h"
#include "platform/file_access.h"

namespace poi {
namespace {

// Tries of stem_2 … stem_N before giving up on a folder that is full of one name.
constexpr int kMaxNameTries = 999;

bool IsXmlLineCharacter(char16_t c) {
    return c >= 0x20 && c != 0xFFFE && c != 0xFFFF;
}

bool IsFileNameCharacter(char16_t c) {
    if (c < 0x20 || c == 0x7F) {
        return false;
    }
    switch (c) {
        case '/':
        case '\\':
        case ':':
        case '*':
        case '?':
        case '"':
        case '<':
        case '>':
        case '|':
            return false;
        default:
            return true;
    }
}

// The longest prefix of `text` whose UTF-8 form has at most `maxBytes` bytes, never splitting
// a surrogate pair.
QString CutToUtf8Bytes(const QString& text, int maxBytes) {
    int bytes = 0;
    qsizetype end = 0;
    while (end < text.size()) {
        const char16_t c = text[end].unicode();
        const bool pair = QChar::isHighSurrogate(c) && end + 1 < text.size() &&
                          QChar::isLowSurrogate(text[end + 1].unicode());
        const int width = pair ? 4 : c < 0x80 ? 1 : c < 0x800 ? 2 : 3;
        if (bytes + width > maxBytes) {
            break;
        }
        bytes += width;
        end += pair ? 2 : 1;
    }
    return text.left(end);
}

QString DateStem(const platform::SystemTime& time) {
    return QString::fromStdString(platform::FormatC("%d_%d_%d__", time.year, time.month, time.day));
}

// Writes all of `bytes`, makes them durable and closes the file. False on any shortfall.
bool WriteAndClose(QFile& file, const QByteArray& bytes) {
    const bool written = file.write(bytes) == bytes.size();
    const bool synced = written && platform::SyncToStorage(file);
    file.close();
    return synced && file.error() == QFileDevice::NoError;
}

}  // namespace

const QByteArray& GpxHeaderStart() {
    static const QByteArray start =
        "<?xml version=\"1.0\"?>\r\n"
        "<gpx\r\n"
        "version=\"1.0\"\r\n"
        "creator=\"Velmora " VELMORA_VERSION
        " - https://velmora.quillon.org\"\r\n"
        "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"\r\n"
        "xmlns=\"http://www.topografix.com/GPX/1/0\"\r\n"
        "xsi:schemaLocation=\"http://www.topografix.com/GPX/1/0 "
        "http://www.topografix.com/GPX/1/0/gpx.xsd\">\r\n";
    return start;
}

QByteArray GpxTimeLine(const platform::SystemTime& localTime) {
    // Local clock time although the text ends in Z, which claims UTC; files already written
    // carry the same.
    return QByteArray::fromStdString(
        platform::FormatC("<time>%d-%d-%dT%d:%d:%dZ</time>\r\n", localTime.year, localTime.month,
                          localTime.day, localTime.hour, localTime.minute, localTime.second));
}

QByteArray GpxHeader(const platform::SystemTime& localTime) {
    return GpxHeaderStart() + GpxTimeLine(localTime);
}

QByteArray EscapeXmlText(const QString& text) {
    QString escaped;
    escaped.reserve(text.size() + text.size() / 4);
    for (const QChar qc : text) {
        const char16_t c = qc.unicode();
        switch (c) {
            case '&':
                escaped += QLatin1String("&amp;");
                break;
            case '<':
                escaped += QLatin1String("&lt;");
                break;
            case '>':
                escaped += QLatin1String("&gt;");
                break;
            case '"':
                escaped += QLatin1String("&quot;");
                break;
            case '\'':
                escaped += QLatin1String("&apos;");
                break;
            default:
                escaped += IsXmlLineCharacter(c) ? qc : QChar(u' ');
        }
    }
    // A lone surrogate leaves the converter as U+FFFD, which XML accepts.
    return escaped.toLocal8Bit();
}

QString FileNamePart(const QString& name) {
    QString part = name;
    for (qsizetype i = 0; i < part.size(); ++i) {
        if (!IsFileNameCharacter(part[i].unicode()) || (i == 0 && part[i] == u'.')) {
            part[i] = u'_';
        }
    }
    return CutToUtf8Bytes(part, kMaxNamePartBytes);
}

std::unique_ptr<QFile> CreateNewGpxFile(const QString& folder, const QString& stem,
                                        QIODevice::OpenMode extraMode) {
    for (int n = 1; n <= kMaxNameTries; ++n) {
        const QString suffix = n == 1 ? QString() : QStringLiteral("_%1").arg(n);
        auto file = std::make_unique<QFile>(folder + u'/' + stem + suffix + QStringLiteral(".gpx"));
        if (file->open(QIODevice::ReadWrite | QIODevice::NewOnly | extraMode)) {
            return file;
        }
        if (!QFileInfo::exists(file->fileName())) {
            return nullptr;  // not a name clash: the folder is missing, read-only or full
        }
    }
    return nullptr;
}

QString RouteFileStem(const platform::SystemTime& startTime) {
    return DateStem(startTime) +
           QString::fromStdString(platform::FormatC("%d_%d", startTime.hour, startTime.minute));
}

QByteArray RoutePointLines(float latitude, float longitude, float altitude) {
    return QByteArray::fromStdString(
               platform::FormatC("<rtept lat=\"%f\" lon=\"%f\">\r\n<ele>%f</ele>\r\n",
                                 double(latitude), double(longitude), double(altitude))) +
           kRoutePointEndLine;
}

QString WaypointFileStem(const QString& name, const platform::SystemTime& localTime) {
    return FileNamePart(name) + u'_' + DateStem(localTime) + QString::number(localTime.minute);
}

QString WriteWaypointFile(const QString& routesFolder, const Waypoint& waypoint) {
    const platform::SystemTime now = platform::GetLocalTime();
    std::unique_ptr<QFile> file =
        CreateNewGpxFile(routesFolder, WaypointFileStem(waypoint.name, now));
    if (!file) {
        return {};
    }
    const QByteArray bytes = GpxHeader(now) +
                             QByteArray::fromStdString(platform::FormatC(
                                 "<wpt lat=\"%f\" lon=\"%f\">\r\n<ele>%f</ele>\r\n",
                                 waypoint.latitude, waypoint.longitude, waypoint.altitude)) +
                             "<name>" + EscapeXmlText(waypoint.name) + "</name>\r\n" +
                             "<Category>" + EscapeXmlText(waypoint.category) + "</Category>\r\n" +
                             "</wpt>\r\n" + "</gpx>\r\n";
    const QString path = file->fileName();
    if (!WriteAndClose(*file, bytes)) {
        QFile::remove(path);  // a cut-off waypoint file would not load
        return {};
    }
    return path;
}

}  // namespace poi
