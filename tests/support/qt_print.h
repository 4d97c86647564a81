#pragma once

#include <QByteArray>
#include <QString>

#include <ostream>

// Lets test failures show Qt strings and byte arrays as text (C escapes for bytes outside
// printable ASCII) instead of byte dumps.
inline void PrintTo(const QByteArray& bytes, std::ostream* os) {
    *os << '"';
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '\r') {
            *os << "\\r";
        } else if (c == '\n') {
            *os << "\\n";
        } else if (c == '"' || c == '\\') {
            *os << '\\' << c;
        } else if (u < 0x20 || u >= 0x7F) {
            static constexpr char kHex[] = "0123456789ABCDEF";
            *os << "\\x" << kHex[u >> 4] << kHex[u & 0xF];
        } else {
            *os << c;
        }
    }
    *os << '"';
}

inline void PrintTo(const QString& text, std::ostream* os) {
    PrintTo(text.toUtf8(), os);
}
