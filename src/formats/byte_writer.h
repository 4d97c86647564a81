#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <bit>
#include <cstdint>

namespace formats {

// Appends little-endian values to a byte array: the writing side of ByteCursor.
class ByteWriter {
public:
    void Reserve(qsizetype bytes) { bytes_.reserve(bytes); }
    qsizetype Size() const { return bytes_.size(); }
    const QByteArray& Bytes() const { return bytes_; }
    QByteArray Take() { return std::move(bytes_); }

    void WriteU16(uint16_t value) { WriteLittleEndian(value); }
    void WriteU32(uint32_t value) { WriteLittleEndian(value); }
    void WriteU64(uint64_t value) { WriteLittleEndian(value); }
    void WriteI32(int32_t value) { WriteU32(std::bit_cast<uint32_t>(value)); }
    void WriteF32(float value) { WriteU32(std::bit_cast<uint32_t>(value)); }
    void WriteZeros(qsizetype count) { bytes_.append(count, '\0'); }

    // The UTF-16LE code units of text, without a terminator.
    void WriteUtf16(QStringView text) {
        for (const QChar c : text) {
            WriteU16(c.unicode());
        }
    }

private:
    template <typename T>
    void WriteLittleEndian(T value) {
        char bytes[sizeof(T)];
        for (size_t i = 0; i < sizeof(T); ++i) {
            bytes[i] = char((value >> (8 * i)) & 0xFF);
        }
        bytes_.append(bytes, qsizetype(sizeof(T)));
    }

    QByteArray bytes_;
};

}  // namespace formats
