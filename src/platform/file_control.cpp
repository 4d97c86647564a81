#include "platform/file_control.h"

#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace platform {

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
