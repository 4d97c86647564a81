#include "formats/byte_window.h"

#include <algorithm>
#include <cstring>

namespace formats {

ByteWindow::ByteWindow(ReadFunction read, uint64_t streamBytes, size_t windowBytes)
    : read_(std::move(read)),
      unreadInStream_(streamBytes),
      windowBytes_(std::max<size_t>(windowBytes, 1)) {}

// The bytes not consumed move to the front; the window is then filled from the stream as far
// as it holds and the stream goes.
bool ByteWindow::Refill(size_t length) {
    const size_t kept = end_ - position_;
    if (failed_ || length > Remaining()) {
        return false;
    }
    const size_t wanted = std::max(length, windowBytes_);
    if (wanted > window_.Size()) {
        std::optional<platform::ByteBuffer> wider = platform::ByteBuffer::Allocate(wanted);
        if (!wider) {
            failed_ = true;
            return false;
        }
        if (kept > 0) {
            std::memcpy(wider->Data(), window_.Data() + position_, kept);
        }
        window_ = std::move(*wider);
    } else if (kept > 0) {
        std::memmove(window_.Data(), window_.Data() + position_, kept);
    }
    position_ = 0;
    end_ = kept;
    const size_t toRead = size_t(std::min<uint64_t>(window_.Size() - end_, unreadInStream_));
    const int64_t got = read_(window_.Data() + end_, int64_t(toRead));
    if (got < 0 || size_t(got) != toRead) {
        failed_ = true;  // a stream cut short or unreadable is not parsed as a shorter one
        return false;
    }
    end_ += toRead;
    unreadInStream_ -= toRead;
    return end_ >= length;
}

}  // namespace formats
