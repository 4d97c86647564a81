#include "platform/byte_buffer.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdlib>
#include <utility>

namespace platform {
namespace {

// Below this the heap serves: small buffers come and go too often for a system call each.
constexpr size_t kMappedFrom = 256 * 1024;
constexpr size_t kHugePageBytes = 2 * 1024 * 1024;

}  // namespace

std::optional<ByteBuffer> ByteBuffer::Allocate(size_t size) {
    ByteBuffer buffer;
    if (size == 0) {
        return buffer;
    }
    if (size < kMappedFrom) {
        buffer.data_ = static_cast<char*>(std::malloc(size));
        if (!buffer.data_) {
            return std::nullopt;
        }
    } else {
        const size_t page = size_t(sysconf(_SC_PAGESIZE));
        const size_t mapped = (size + page - 1) / page * page;
        void* pages = mmap(nullptr, mapped, PROT_READ | PROT_WRITE,
                           MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
        if (pages == MAP_FAILED) {
            return std::nullopt;
        }
        if (mapped >= kHugePageBytes) {
            madvise(pages, mapped, MADV_HUGEPAGE);  // a hint; refused where unsupported
        }
        buffer.data_ = static_cast<char*>(pages);
        buffer.mappedBytes_ = mapped;
    }
    buffer.size_ = size;
    return buffer;
}

ByteBuffer::~ByteBuffer() {
    Free();
}

ByteBuffer::ByteBuffer(ByteBuffer&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      mappedBytes_(std::exchange(other.mappedBytes_, 0)) {}

ByteBuffer& ByteBuffer::operator=(ByteBuffer&& other) noexcept {
    if (this != &other) {
        Free();
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
        mappedBytes_ = std::exchange(other.mappedBytes_, 0);
    }
    return *this;
}

void ByteBuffer::Truncate(size_t size) {
    if (size < size_) {
        size_ = size;
    }
}

void ByteBuffer::Free() {
    if (mappedBytes_ != 0) {
        munmap(data_, mappedBytes_);
    } else {
        std::free(data_);
    }
    data_ = nullptr;
    size_ = 0;
    mappedBytes_ = 0;
}

}  // namespace platform
