#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>

#include <cstdint>
#include <optional>

#include "platform/byte_buffer.h"

namespace platform {

// A regular file opened for reading: shared read access, existing files only, with the hint
// that it is read once from start to end. Directories, devices and pipes do not open.
class InputFile {
public:
    InputFile() = default;
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    bool Open(const QString& path);
    bool IsOpen() const { return fd_ >= 0; }
    // Length in bytes when the file was opened.
    int64_t Size() const { return sizeBytes_; }

    // Up to maxBytes from the current position, fewer at the end of the file (as long as the
    // file was when opened). Empty on a read error or when no buffer can be had.
    std::optional<ByteBuffer> Read(int64_t maxBytes);
    // Up to length bytes into data; the number read, or -1 on a read error.
    int64_t ReadInto(char* data, int64_t length);

private:
    int fd_ = -1;
    int64_t sizeBytes_ = 0;
};

// The whole of a regular file, read in one go. Empty when it cannot be opened, read to its
// end, or held in memory.
std::optional<ByteBuffer> ReadWholeFile(const QString& path);

// True when path names a regular file that can be opened for reading now.
bool CanOpenForReading(const QString& path);

// Opens path for reading and writing, creating it when absent and never truncating it, and
// writes bytes from its start: whatever lay beyond them stays in place.
bool WriteFileInPlace(const QString& path, const QByteArray& bytes);

// Replaces path by a file holding bytes; the old file stays whole until the new one is
// complete.
bool WriteWholeFile(const QString& path, const QByteArray& bytes);

// Pushes everything the system holds of an open file down to its storage, so that it survives
// a power loss (fsync). False when the file is not open or the storage refused.
bool SyncToStorage(QFileDevice& file);

// Takes the exclusive advisory lock of an open file without waiting (flock). It belongs to this
// open of the file and ends when the file is closed. False when another open of the file, in
// this process or another, holds it.
bool TryLockExclusive(QFileDevice& file);

}  // namespace platform
