#include "formats/byte_cursor.h"

namespace formats {

QString DecodeUtf16Le(const char* bytes, size_t units) {
    size_t length = 0;
    while (length < units && (bytes[2 * length] != 0 || bytes[2 * length + 1] != 0)) {
        ++length;
    }
    if (length == 0) {
        return QString();
    }
    QString text(qsizetype(length), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(out, bytes, 2 * length);
    } else {
        for (size_t i = 0; i < length; ++i) {
            out[i] = LoadLittleEndian<char16_t>(bytes + 2 * i);
        }
    }
    return text;
}

}  // namespace formats
