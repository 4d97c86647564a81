#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#include "formats/byte_cursor.h"
#include "platform/byte_buffer.h"

namespace formats {

// Reads a byte stream of known length through a window that moves forward, so a parser sees
// every byte without the whole stream in memory at once. Reads fail, as those of ByteCursor do,
// when their bytes lie past the end of the stream. A pointer from Take stays valid until the
// next read: whatever it points to must be used before reading on. An item longer than the
// window widens it, never beyond what is left of the stream.
class ByteWindow : public LittleEndianReads<ByteWindow> {
public:
    // Fills `into` with up to `length` bytes of the stream; returns how many, or -1 on error.
    using ReadFunction = std::function<int64_t(char* into, int64_t length)>;

    static constexpr size_t kDefaultWindowBytes = 512 * 1024;

    ByteWindow(ReadFunction read, uint64_t streamBytes, size_t windowBytes = kDefaultWindowBytes);

    // Bytes of the stream not read yet.
    uint64_t Remaining() const { return unreadInStream_ + (end_ - position_); }
    bool HasRoomFor(uint64_t count, size_t itemBytes) const {
        return count <= Remaining() / itemBytes;
    }

    bool Take(size_t length, const char*& bytes) {
        if (end_ - position_ < length && !Refill(length)) {
            return false;
        }
        bytes = window_.Data() + position_;
        position_ += length;
        return true;
    }

private:
    bool Refill(size_t length);

    ReadFunction read_;
    uint64_t unreadInStream_;
    size_t windowBytes_;
    platform::ByteBuffer window_;
    size_t position_ = 0;
    size_t end_ = 0;
    bool failed_ = false;
};

}  // namespace formats
