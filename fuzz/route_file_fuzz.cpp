// Route file repair and the text the GPX writers take from users. The input is taken both as
// the bytes of a route file left by a crash and as UTF-16 text of a POI name.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include <QByteArray>
#include <QString>

#include "poi/gpx_writer.h"
#include "poi/route_recorder.h"

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void CheckRepair(const QByteArray& content) {
    const std::optional<qsizetype> end = poi::UnfinishedRouteEnd(content);
    if (!end) {
        return;
    }
    Check(*end > 0 && *end <= content.size());
    // A completed file needs no second repair.
    Check(!poi::UnfinishedRouteEnd(content.left(*end) + poi::kRouteEndLines));
}

void CheckText(const QString& text) {
    const QByteArray escaped = poi::EscapeXmlText(text);
    for (qsizetype i = 0; i < escaped.size(); ++i) {
        const auto c = static_cast<unsigned char>(escaped[i]);
        Check(c >= 0x20 && c != '<' && c != '>' && c != '"' && c != '\'');
        if (c == '&') {
            const qsizetype semicolon = escaped.indexOf(';', i);
            Check(semicolon > i && semicolon - i <= 5);
        }
    }
    const QString part = poi::FileNamePart(text);
    Check(!part.contains(u'/') && !part.contains(u'\\') && !part.startsWith(u'.'));
    Check(part.toUtf8().size() <= poi::kMaxNamePartBytes);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    CheckRepair(bytes);
    CheckRepair(poi::GpxHeader(platform::SystemTime{}) + poi::kRouteStartLine + bytes);
    CheckText(QString(reinterpret_cast<const QChar*>(data), qsizetype(size / 2)));
    CheckText(QString::fromUtf8(bytes));
    return 0;
}
