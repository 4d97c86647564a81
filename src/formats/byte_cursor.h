#pragma once

#include <QByteArray>
#include <QString>

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace formats {

// A little-endian value at `bytes`, which need not be aligned.
template <typename T>
T LoadLittleEndian(const char* bytes) {
    T value = 0;
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(&value, bytes, sizeof(T));
    } else {
        for (size_t i = 0; i < sizeof(T); ++i) {
            value |= T(uint8_t(bytes[i])) << (8 * i);
        }
    }
    return value;
}

// How many of the `units` UTF-16LE code units at bytes come before the first NUL.
size_t Utf16LeLength(const char* bytes, size_t units);
// The UTF-16LE text of `units` code units at `bytes`, up to the first NUL.
QString DecodeUtf16Le(const char* bytes, size_t units);

// The typed reads of a binary reader, built on its Take(length, bytes): each read fails, and
// returns false, when its bytes are not there.
template <typename Reader>
class LittleEndianReads {
public:
    bool ReadU16(uint16_t& value) { return ReadLittleEndian(value); }
    bool ReadU32(uint32_t& value) { return ReadLittleEndian(value); }
    bool ReadU64(uint64_t& value) { return ReadLittleEndian(value); }
    bool ReadI32(int32_t& value) {
        uint32_t raw = 0;
        if (!ReadU32(raw)) {
            return false;
        }
        value = std::bit_cast<int32_t>(raw);
        return true;
    }
    bool ReadF32(float& value) {
        uint32_t raw = 0;
        if (!ReadU32(raw)) {
            return false;
        }
        value = std::bit_cast<float>(raw);
        return true;
    }
    // A text field of `byteLength` bytes of UTF-16LE: the text of its whole units up to the first
    // NUL character, or all of them when there is none. The last byte of an odd length is no
    // part of any unit and is passed over.
    bool ReadUtf16(size_t byteLength, QString& text) {
        const char* bytes = nullptr;
        if (!static_cast<Reader*>(this)->Take(byteLength, bytes)) {
            return false;
        }
        text = DecodeUtf16Le(bytes, byteLength / 2);
        return true;
    }

private:
    template <typename T>
    bool ReadLittleEndian(T& value) {
        const char* bytes = nullptr;
        if (!static_cast<Reader*>(this)->Take(sizeof(T), bytes)) {
            return false;
        }
        value = LoadLittleEndian<T>(bytes);
        return true;
    }
};

// Reads little-endian values from a byte buffer it does not own. Every read checks the end of
// the buffer first: a read that does not fit fails and leaves the position where it was, so a
// parser stops at the first value that runs past the end.
class ByteCursor : public LittleEndianReads<ByteCursor> {
public:
    ByteCursor(const char* data, size_t size) : data_(data), size_(size) {}
    explicit ByteCursor(const QByteArray& bytes)
        : ByteCursor(bytes.constData(), size_t(bytes.size())) {}

    size_t Offset() const { return offset_; }
    size_t Remaining() const { return size_ - offset_; }
    // True when count items of itemBytes each would fit in what is left; no product is formed,
    // so a count from the file cannot overflow the test.
    bool HasRoomFor(uint64_t count, size_t itemBytes) const {
        return count <= Remaining() / itemBytes;
    }

    // The next `length` bytes in place; the pointer stays valid as long as the buffer.
    bool Take(size_t length, const char*& bytes) {
        if (length > Remaining()) {
            return false;
        }
        bytes = data_ + offset_;
        offset_ += length;
        return true;
    }

private:
    const char* data_;
    size_t size_;
    size_t offset_ = 0;
};

}  // namespace formats
