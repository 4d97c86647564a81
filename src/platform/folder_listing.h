#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/system_time.h"

namespace platform {

// Attribute bits of a folder entry, with the handheld's values.
inline constexpr uint32_t kAttrReadOnly = 0x1;
inline constexpr uint32_t kAttrHidden = 0x2;
inline constexpr uint32_t kAttrDirectory = 0x10;
inline constexpr uint32_t kAttrArchive = 0x20;
inline constexpr uint32_t kAttrReparsePoint = 0x400;

struct FolderEntry {
    QString name;         // without folder
    uint32_t attributes;  // exactly kAttrDirectory only for a plain directory
    uint64_t sizeBytes;
    FileTime created;  // birth time where the file system keeps one, else last change
};

// The entries of `folder` in the file system's order, without "." and "..". A plain directory
// (not hidden — its name does not start with '.' —, writable, not a symbolic link) carries the
// attribute word 16 and nothing else; other directories carry further bits, files the archive
// bit. Empty when the folder cannot be read.
std::optional<std::vector<FolderEntry>> ListFolder(const QString& folder);

}  // namespace platform
