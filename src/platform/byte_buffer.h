#pragma once

#include <cstddef>
#include <optional>

namespace platform {

// Bytes owned in one piece, uninitialised when allocated. A large buffer comes straight from the
// system in whole pages (huge pages where the system offers them), becomes resident only as it
// is written, and goes back to the system when freed, so that a map file read for parsing never
// stays behind in the heap once it is parsed.
class ByteBuffer {
public:
    // Empty when the memory cannot be had.
    static std::optional<ByteBuffer> Allocate(size_t size);

    ByteBuffer() = default;
    ~ByteBuffer();
    ByteBuffer(ByteBuffer&& other) noexcept;
    ByteBuffer& operator=(ByteBuffer&& other) noexcept;
    ByteBuffer(const ByteBuffer&) = delete;
    ByteBuffer& operator=(const ByteBuffer&) = delete;

    char* Data() { return data_; }
    const char* Data() const { return data_; }
    size_t Size() const { return size_; }
    // Keeps the first size bytes; the memory stays allocated until the buffer is freed.
    void Truncate(size_t size);
    void Free();

private:
    char* data_ = nullptr;
    size_t size_ = 0;
    size_t mappedBytes_ = 0;  // 0 for heap memory
};

}  // namespace platform
