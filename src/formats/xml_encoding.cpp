#include "formats/xml_encoding.h"

#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <cstdint>

namespace formats {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
// The declaration, if any, stands at the very start; its encoding name is looked for no
// further than this.
constexpr size_t kDeclarationSearchBytes = 256;

// Code points of windows-1252 bytes 0x80 to 0x9F.
constexpr std::array<char16_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

bool StartsWith(std::string_view bytes, std::string_view prefix) {
    return bytes.substr(0, prefix.size()) == prefix;
}

char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return AsciiLower(x) == AsciiLower(y);
           });
}

// The value of encoding="..." in the XML declaration at the start of `bytes`; empty when there
// is none.
std::string_view DeclaredEncoding(std::string_view bytes) {
    if (StartsWith(bytes, kUtf8Bom)) {
        bytes.remove_prefix(kUtf8Bom.size());
    }
    if (!StartsWith(bytes, "<?xml")) {
        return {};
    }
    const std::string_view declaration = bytes.substr(0, bytes.find("?>", 0));
    if (declaration.size() > kDeclarationSearchBytes) {
        return {};
    }
    size_t at = declaration.find("encoding");
    if (at == std::string_view::npos) {
        return {};
    }
    at = declaration.find_first_not_of(" \t\r\n", at + 8);
    if (at == std::string_view::npos || declaration[at] != '=') {
        return {};
    }
    at = declaration.find_first_not_of(" \t\r\n", at + 1);
    if (at == std::string_view::npos || (declaration[at] != '"' && declaration[at] != '\'')) {
        return {};
    }
    const size_t end = declaration.find(declaration[at], at + 1);
    return end == std::string_view::npos ? std::string_view()
                                         : declaration.substr(at + 1, end - at - 1);
}

QStringDecoder::Encoding DecoderEncoding(XmlEncoding encoding) {
    switch (encoding) {
        case XmlEncoding::kUtf16Le:
            return QStringDecoder::Utf16LE;
        case XmlEncoding::kUtf16Be:
            return QStringDecoder::Utf16BE;
        case XmlEncoding::kUtf32Le:
            return QStringDecoder::Utf32LE;
        case XmlEncoding::kUtf32Be:
            return QStringDecoder::Utf32BE;
        default:
            return QStringDecoder::Utf8;
    }
}

}  // namespace

XmlEncoding DetectXmlEncoding(std::string_view bytes) {
    // Marks first, the four-byte ones before the two-byte ones they begin with.
    const struct {
        std::string_view lead;
        XmlEncoding encoding;
    } leads[] = {
        {std::string_view("\x00\x00\xFE\xFF", 4), XmlEncoding::kUtf32Be},
        {std::string_view("\xFF\xFE\x00\x00", 4), XmlEncoding::kUtf32Le},
        {kUtf8Bom, XmlEncoding::kUtf8},
        {"\xFE\xFF", XmlEncoding::kUtf16Be},
        {"\xFF\xFE", XmlEncoding::kUtf16Le},
        {std::string_view("\x00\x00\x00<", 4), XmlEncoding::kUtf32Be},
        {std::string_view("<\x00\x00\x00", 4), XmlEncoding::kUtf32Le},
        {std::string_view("\x00<", 2), XmlEncoding::kUtf16Be},
        {std::string_view("<\x00", 2), XmlEncoding::kUtf16Le},
    };
    for (const auto& lead : leads) {
        if (StartsWith(bytes, lead.lead)) {
            return lead.encoding;
        }
    }
    const std::string_view declared = DeclaredEncoding(bytes);
    if (EqualsIgnoringCase(declared, "ISO-8859-1") || EqualsIgnoringCase(declared, "latin1") ||
        EqualsIgnoringCase(declared, "ISO_8859-1")) {
        return XmlEncoding::kLatin1;
    }
    if (EqualsIgnoringCase(declared, "windows-1252") || EqualsIgnoringCase(declared, "cp1252")) {
        return XmlEncoding::kWindows1252;
    }
    return XmlEncoding::kUtf8;
}

void ConvertToUtf8(QByteArray& bytes, XmlEncoding encoding) {
    const std::string_view view(bytes.constData(), size_t(bytes.size()));
    switch (encoding) {
        case XmlEncoding::kUtf8:
            return;
        case XmlEncoding::kLatin1:
            bytes = QString::fromLatin1(bytes).toUtf8();
            return;
        case XmlEncoding::kWindows1252:
            bytes = DecodeWindows1252(view).toUtf8();
            return;
        default: {
            // The decoder drops a leading byte-order mark.
            QStringDecoder decoder(DecoderEncoding(encoding));
            const QString text = decoder.decode(bytes);
            bytes = text.toUtf8();
            return;
        }
    }
}

bool IsValidUtf8(std::string_view bytes) {
    size_t i = 0;
    while (i < bytes.size()) {
        const uint8_t lead = uint8_t(bytes[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        int length = 0;
        uint32_t code = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            code = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            code = lead & 0x0F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            code = lead & 0x07;
        } else {
            return false;
        }
        if (bytes.size() - i < size_t(length)) {
            return false;
        }
        for (int k = 1; k < length; ++k) {
            const uint8_t next = uint8_t(bytes[i + size_t(k)]);
            if ((next & 0xC0) != 0x80) {
                return false;
            }
            code = (code << 6) | (next & 0x3F);
        }
        const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
        const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
        if (overlong || surrogate || code > 0x10FFFF) {
            return false;
        }
        i += size_t(length);
    }
    return true;
}

QString DecodeWindows1252(std::string_view bytes) {
    QString text(qsizetype(bytes.size()), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char c : bytes) {
        const uint8_t byte = uint8_t(c);
        *out++ =
            QChar(byte >= 0x80 && byte < 0xA0 ? kWindows1252High[byte - 0x80] : char16_t(byte));
    }
    return text;
}

QString DecodeXmlText(std::string_view bytes) {
    const bool ascii =
        std::all_of(bytes.begin(), bytes.end(), [](char c) { return uint8_t(c) < 0x80; });
    if (ascii) {
        return QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
    }
    if (IsValidUtf8(bytes)) {
        return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
    }
    return DecodeWindows1252(bytes);
}

}  // namespace formats
