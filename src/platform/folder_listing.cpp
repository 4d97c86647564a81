#include "platform/folder_listing.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>

#include <memory>

namespace platform {
namespace {

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

FileTime CreationTime(const struct statx& info) {
    if ((info.stx_mask & STATX_BTIME) != 0) {
        return FileTimeFromUnix(info.stx_btime.tv_sec, info.stx_btime.tv_nsec);
    }
    return FileTimeFromUnix(info.stx_mtime.tv_sec, info.stx_mtime.tv_nsec);
}

}  // namespace

std::optional<std::vector<FolderEntry>> ListFolder(const QString& folder) {
    const QByteArray encoded = QFile::encodeName(folder);
    std::unique_ptr<DIR, DirCloser> dir(opendir(encoded.constData()));
    if (!dir) {
        return std::nullopt;
    }
    const int dirFd = dirfd(dir.get());
    std::vector<FolderEntry> entries;
    while (const dirent* entry = readdir(dir.get())) {
        const QByteArray rawName(entry->d_name);
        if (rawName == "." || rawName == "..") {
            continue;
        }
        struct statx link {};
        if (statx(dirFd, entry->d_name, AT_SYMLINK_NOFOLLOW, STATX_TYPE | STATX_MODE, &link) != 0) {
            continue;
        }
        const bool isLink = S_ISLNK(link.stx_mode);
        struct statx target {};
        if (statx(dirFd, entry->d_name, 0, STATX_BASIC_STATS | STATX_BTIME, &target) != 0) {
            target = link;  // a dangling link: listed, never entered
        }
        uint32_t attributes = S_ISDIR(target.stx_mode) ? kAttrDirectory : kAttrArchive;
        if (isLink) {
            attributes |= kAttrReparsePoint;
        }
        if (rawName.startsWith('.')) {
            attributes |= kAttrHidden;
        }
        // Read-only as the mode says (even for root, who may write anyway) or as the access
        // check says (a read-only mount, another user's folder).
        const bool noWriteBits = (target.stx_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
        if (noWriteBits || faccessat(dirFd, entry->d_name, W_OK, AT_EACCESS) != 0) {
            attributes |= kAttrReadOnly;
        }
        entries.push_back(FolderEntry{QFile::decodeName(rawName), attributes,
                                      S_ISDIR(target.stx_mode) ? 0 : target.stx_size,
                                      CreationTime(target)});
    }
    return entries;
}

}  // namespace platform
