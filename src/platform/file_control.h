#pragma once

#include <QFileDevice>

namespace platform {

// Pushes everything the system holds of an open file down to its storage, so that it survives
// a power loss (fsync). False when the file is not open or the storage refused.
bool SyncToStorage(QFileDevice& file);

// Takes the exclusive advisory lock of an open file without waiting (flock). It belongs to this
// open of the file and ends when the file is closed. False when another open of the file, in
// this process or another, holds it.
bool TryLockExclusive(QFileDevice& file);

}  // namespace platform
