#include "platform/posix/system/file_status_posix.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "platform/files.hpp"
#include "platform/posix/common/errno_map_posix.hpp"
#include "platform/process.hpp"

namespace platform::posix {
namespace {

bool InGroup(gid_t group) {
    if (group == getegid()) return true;
    const int count = getgroups(0, nullptr);
    if (count <= 0) return false;
    std::vector<gid_t> groups(static_cast<size_t>(count));
    const int filled = getgroups(count, groups.data());
    for (int i = 0; i < filled; ++i) {
        if (groups[static_cast<size_t>(i)] == group) return true;
    }
    return false;
}

// The directory part of a path, "." for a bare name.
std::string DirectoryOf(const std::string& path) {
    const size_t separator = path.find_last_of('/');
    if (separator == std::string::npos) return ".";
    return separator == 0 ? "/" : path.substr(0, separator);
}

}  // namespace

bool IsReadOnly(const char* path, const struct stat& status) {
    mode_t writeBit = S_IWOTH;
    if (status.st_uid == geteuid()) {
        writeBit = S_IWUSR;
    } else if (InGroup(status.st_gid)) {
        writeBit = S_IWGRP;
    }
    if ((status.st_mode & writeBit) == 0) return true;
    return access(path, W_OK) != 0;
}

uint32_t AttributesOf(const char* path, const char* name, const struct stat& status) {
    uint32_t attributes = 0;
    if (S_ISDIR(status.st_mode)) {
        attributes |= kFileAttributeDirectory;
    } else if (!S_ISREG(status.st_mode)) {
        attributes |= kFileAttributeSystem;
    }
    if (name[0] == '.') attributes |= kFileAttributeHidden;
    if (IsReadOnly(path, status)) attributes |= kFileAttributeReadOnly;
    return attributes != 0 ? attributes : kFileAttributeNormal;
}

bool IsInUse(const char* path) {
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat status;
    bool inUse = false;
    if (fstat(fd, &status) == 0 && S_ISREG(status.st_mode)) {
        inUse = flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    }
    close(fd);
    return inUse;
}

bool FailForPath(const char* path) {
    const int error = errno;
    if (error == ENOENT) {
        struct stat status;
        const std::string directory = DirectoryOf(path);
        if (stat(directory.c_str(), &status) != 0 || !S_ISDIR(status.st_mode)) {
            SetLastError(kErrorPathNotFound);
            return false;
        }
    }
    SetLastError(Win32ErrorFromErrno(error));
    return false;
}

int ShareLockOperation(uint32_t shareMode) {
    return (shareMode & (kFileShareRead | kFileShareWrite)) != 0 ? LOCK_SH : LOCK_EX;
}

}  // namespace platform::posix
