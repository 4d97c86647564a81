#pragma once

// The character encodings XML files arrive in, and their way to the UTF-8 the GPX reader
// parses.

#include <QByteArray>
#include <QString>

#include <string_view>

namespace formats {

enum class XmlEncoding {
    kUtf8,  // also plain ASCII and anything that names no other encoding
    kUtf16Le,
    kUtf16Be,
    kUtf32Le,
    kUtf32Be,
    kLatin1,       // declared as ISO-8859-1 or latin1
    kWindows1252,  // declared as windows-1252 or cp1252
};

// The encoding of an XML document: from its byte-order mark, else from the layout of its first
// bytes ("<?" in UTF-16 or UTF-32 without a mark), else from the encoding its declaration names.
XmlEncoding DetectXmlEncoding(std::string_view bytes);

// Re-encodes the document in `bytes` from `encoding` to UTF-8, dropping a byte-order mark of
// another encoding. Characters that do not decode become U+FFFD.
void ConvertToUtf8(QByteArray& bytes, XmlEncoding encoding);

// True when `bytes` is well-formed UTF-8 (no overlong forms, surrogates or values past
// U+10FFFF).
bool IsValidUtf8(std::string_view bytes);

// `bytes` read as windows-1252, the Western code page of the handheld (Latin-1 with printable
// characters in 0x80-0x9F; its five unused codes stay C1 controls, as the system converts them).
QString DecodeWindows1252(std::string_view bytes);

// Text taken from a document that should be UTF-8: decoded as UTF-8 when it is, else as
// windows-1252, so that files written in the code page without saying so keep their names.
QString DecodeXmlText(std::string_view bytes);

}  // namespace formats
