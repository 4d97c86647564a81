#include "formats/byte_cursor.h"

namespace formats {

namespace {

constexpr uint64_t kLaneLowBits = 0x0001000100010001u;
constexpr uint64_t kLaneHighBits = 0x8000800080008000u;

// The lanes of four UTF-16 units, read as one little-endian word, that may be NUL: the lowest
// flagged lane is the first NUL, lanes above it may be flagged falsely by the borrow.
uint64_t ZeroLanes(uint64_t units) {
    return (units - kLaneLowBits) & ~units & kLaneHighBits;
}

}  // namespace

// Four code units at a time, so that a label costs a step per four characters and one branch
// that is hard to predict, at its end.
size_t Utf16LeLength(const char* bytes, size_t units) {
    if constexpr (std::endian::native == std::endian::little) {
        size_t length = 0;
        uint64_t word = 0;
        for (; length + 4 <= units; length += 4) {
            std::memcpy(&word, bytes + 2 * length, sizeof(word));
            if (const uint64_t zero = ZeroLanes(word)) {
                return length + size_t(std::countr_zero(zero)) / 16;
            }
        }
        if (length == units) {
            return units;
        }
        // The last one to three units in a word whose lanes past the text are NUL, so that the
        // first NUL found is at the latest the end of the text.
        word = 0;
        for (size_t unit = length; unit < units; ++unit) {
            word |= uint64_t(LoadLittleEndian<uint16_t>(bytes + 2 * unit))
                    << (16 * (unit - length));
        }
        return length + size_t(std::countr_zero(ZeroLanes(word))) / 16;
    } else {
        size_t length = 0;
        while (length < units && (bytes[2 * length] != 0 || bytes[2 * length + 1] != 0)) {
            ++length;
        }
        return length;
    }
}

QString DecodeUtf16Le(const char* bytes, size_t units) {
    const size_t length = Utf16LeLength(bytes, units);
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
