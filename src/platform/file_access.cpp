#include "platform/file_access.h"

#include <sys/file.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QSaveFile>

#include <algorithm>

#include <cerrno>

namespace platform {
namespace {

// One read() call may return less than asked (signals, the kernel's 2 GB cap per call).
bool ReadFully(int fd, char* data, int64_t length, int64_t& done) {
    done = 0;
    while (done < length) {
        const ssize_t got = ::read(fd, data + done, size_t(length - done));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return false;
        }
        if (got == 0) {
            break;
        }
        done += got;
    }
    return true;
}

bool WriteFully(int fd, const char* data, int64_t length) {
    int64_t done = 0;
    while (done < length) {
        const ssize_t put = ::write(fd, data + done, size_t(length - done));
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put <= 0) {
            return false;
        }
        done += put;
    }
    return true;
}

}  // namespace

InputFile::~InputFile() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

bool InputFile::Open(const QString& path) {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    const QByteArray encoded = QFile::encodeName(path);
    // Opened without blocking, so that a named pipe (whose open waits for a writer) or a device
    // that goes by a map's or a GPX file's name is turned away at once; a regular file then reads
    // as usual.
    const int fd = ::open(encoded.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        return false;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return false;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) {
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    }
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    fd_ = fd;
    sizeBytes_ = int64_t(info.st_size);
    return true;
}

int64_t InputFile::ReadInto(char* data, int64_t length) {
    if (fd_ < 0 || length < 0) {
        return -1;
    }
    int64_t done = 0;
    return ReadFully(fd_, data, length, done) ? done : -1;
}

std::optional<ByteBuffer> InputFile::Read(int64_t maxBytes) {
    if (fd_ < 0 || maxBytes < 0) {
        return std::nullopt;
    }
    const off_t position = ::lseek(fd_, 0, SEEK_CUR);
    if (position < 0) {
        return std::nullopt;
    }
    // A file that grew since it was opened is read as long as it was then.
    const int64_t wanted = std::min<int64_t>(maxBytes, std::max<int64_t>(sizeBytes_ - position, 0));
    std::optional<ByteBuffer> bytes = ByteBuffer::Allocate(size_t(wanted));
    if (!bytes) {
        return std::nullopt;
    }
    const int64_t done = ReadInto(bytes->Data(), wanted);
    if (done < 0) {
        return std::nullopt;
    }
    bytes->Truncate(size_t(done));
    return bytes;
}

std::optional<ByteBuffer> ReadWholeFile(const QString& path) {
    InputFile file;
    if (!file.Open(path)) {
        return std::nullopt;
    }
    std::optional<ByteBuffer> bytes = file.Read(file.Size());
    // A file cut short while it was read would be parsed as a different, shorter file.
    if (!bytes || int64_t(bytes->Size()) != file.Size()) {
        return std::nullopt;
    }
    return bytes;
}

bool CanOpenForReading(const QString& path) {
    InputFile file;
    return file.Open(path);
}

bool WriteFileInPlace(const QString& path, const QByteArray& bytes) {
    const QByteArray encoded = QFile::encodeName(path);
    const int fd = ::open(encoded.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
        return false;
    }
    const bool written = WriteFully(fd, bytes.constData(), bytes.size());
    return (::close(fd) == 0) && written;
}

bool WriteWholeFile(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

bool SyncToStorage(QFileDevice& file) {
    const int fd = file.handle();
    if (fd < 0 || !file.flush()) {
        return false;
    }
    return fsync(fd) == 0;
}

bool TryLockExclusive(QFileDevice& file) {
    const int fd = file.handle();
    if (fd < 0) {
        return false;
    }
    int result;
    do {
        result = flock(fd, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    return result == 0;
}

}  // namespace platform
