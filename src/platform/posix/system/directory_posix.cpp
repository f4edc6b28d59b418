// Directories on POSIX, with the Windows contract: searches with Windows wildcards and
// attributes, deletion and renaming that refuse read-only and open files, the current
// directory, and volumes without labels.

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files.hpp"
#include "platform/posix/common/errno_map_posix.hpp"
#include "platform/posix/common/handles_posix.hpp"
#include "platform/posix/system/file_status_posix.hpp"
#include "platform/process.hpp"
#include "platform/wildcard.hpp"

namespace platform {
namespace {

// A search reads its directory once, at FindFirstFileA, so that deleting the entries it
// found (as FileKill does while it searches) cannot disturb it.
struct Search {
    std::vector<FindData> entries;
    size_t next = 0;
};

std::mutex searchLock;
std::map<Handle, Search> searches;

bool Fail(uint32_t error) {
    SetLastError(error);
    return false;
}

FindData MakeFindData(const std::string& path, const std::string& name) {
    FindData entry{};
    struct stat status;
    // A link is described by what it leads to; a link that leads nowhere is neither a file
    // nor a directory.
    if (stat(path.c_str(), &status) != 0 && lstat(path.c_str(), &status) != 0) {
        status = {};
    }
    entry.attributes = posix::AttributesOf(path.c_str(), name.c_str(), status);
    name.copy(entry.fileName, sizeof entry.fileName - 1);
    return entry;
}

// The entries of a directory whose names match the pattern, in byte order.
bool ListMatches(const std::string& directory, std::string_view namePattern, Search* search) {
    DIR* stream = opendir(directory.empty() ? "." : directory.c_str());
    if (stream == nullptr) {
        return errno == ENOENT || errno == ENOTDIR ? Fail(kErrorPathNotFound)
                                                   : posix::FailWithErrno();
    }
    std::vector<std::string> names;
    while (const dirent* item = readdir(stream)) {
        if (WildcardMatch(namePattern, item->d_name)) names.emplace_back(item->d_name);
    }
    closedir(stream);
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        search->entries.push_back(MakeFindData(directory + name, name));
    }
    return true;
}

Handle StartSearch(Search search, FindData* entry) {
    *entry = search.entries[0];
    search.next = 1;
    const Handle handle = posix::AddHandle({posix::HandleKind::kSearch, -1, false, 0, {}});
    std::lock_guard lock(searchLock);
    searches[handle] = std::move(search);
    return handle;
}

// Why an existing file may not be replaced or deleted: a directory or a read-only file is
// refused access, an open file is a sharing violation. kErrorSuccess when nothing keeps it.
uint32_t ChangeRefusal(const char* path, const struct stat& status) {
    if (S_ISDIR(status.st_mode)) return kErrorAccessDenied;
    if (!S_ISREG(status.st_mode)) return kErrorSuccess;
    if (posix::IsReadOnly(path, status)) return kErrorAccessDenied;
    if (posix::IsInUse(path)) return kErrorSharingViolation;
    return kErrorSuccess;
}

// Makes a rename in the directory of `path` durable.
bool SyncDirectoryOf(const char* path) {
    std::string directory(path);
    const size_t separator = directory.find_last_of('/');
    directory = separator == std::string::npos ? "." : directory.substr(0, separator + 1);
    const int fd = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return posix::FailWithErrno();
    const bool synced = fsync(fd) == 0;
    const int error = errno;
    close(fd);
    errno = error;
    return synced || posix::FailWithErrno();
}

// The access of the replaced file goes to its replacement: the owner and group where the
// process may give them, then the permission bits, which a change of owner may clear. The
// set-id and sticky bits stay off: the new content is the program's, not the old file's.
bool TakeAccess(int fd, const struct stat& replacement, const struct stat& replaced) {
    bool groupKept = replacement.st_gid == replaced.st_gid;
    if (replacement.st_uid != replaced.st_uid || !groupKept) {
        groupKept = fchown(fd, replaced.st_uid, replaced.st_gid) == 0 ||
                    fchown(fd, static_cast<uid_t>(-1), replaced.st_gid) == 0;
    }
    mode_t mode = replaced.st_mode & 0777;
    // What the old file let its group do is meant for that group: under another group the
    // file gives its group no more than it gives everyone.
    if (!groupKept) mode = (mode & ~S_IRWXG) | ((mode & S_IRWXO) << 3);
    return fchmod(fd, mode) == 0;
}

}  // namespace

Handle FindFirstFileA(const char* pattern, FindData* entry) {
    const std::string_view text(pattern);
    const size_t nameStart = text.find_last_of('/') + 1;
    const std::string directory(text.substr(0, nameStart));
    const std::string_view namePattern = text.substr(nameStart);
    Search search;
    if (namePattern.empty()) {
        Fail(kErrorFileNotFound);
        return kInvalidHandle;
    }
    if (HasWildcard(namePattern)) {
        if (!ListMatches(directory, namePattern, &search)) return kInvalidHandle;
    } else {
        struct stat status;
        if (lstat(pattern, &status) != 0) {
            posix::FailForPath(pattern);
            return kInvalidHandle;
        }
        search.entries.push_back(MakeFindData(pattern, std::string(namePattern)));
    }
    if (search.entries.empty()) {
        Fail(kErrorFileNotFound);
        return kInvalidHandle;
    }
    return StartSearch(std::move(search), entry);
}

bool FindNextFileA(Handle search, FindData* entry) {
    std::lock_guard lock(searchLock);
    auto found = searches.find(search);
    if (found == searches.end()) return Fail(kErrorInvalidHandle);
    Search& running = found->second;
    if (running.next == running.entries.size()) return Fail(kErrorNoMoreFiles);
    *entry = running.entries[running.next++];
    return true;
}

bool FindClose(Handle search) {
    {
        std::lock_guard lock(searchLock);
        if (searches.erase(search) == 0) return Fail(kErrorInvalidHandle);
    }
    posix::RemoveHandle(search);
    return true;
}

bool DeleteFileA(const char* path) {
    struct stat status;
    if (lstat(path, &status) != 0) return posix::FailForPath(path);
    if (!S_ISLNK(status.st_mode)) {
        if (const uint32_t refusal = ChangeRefusal(path, status)) return Fail(refusal);
    }
    return unlink(path) == 0 || posix::FailForPath(path);
}

bool MoveFileExA(const char* existingPath, const char* newPath, uint32_t flags) {
    struct stat status;
    if (lstat(existingPath, &status) != 0) return posix::FailForPath(existingPath);
    if (S_ISREG(status.st_mode) && posix::IsInUse(existingPath)) {
        return Fail(kErrorSharingViolation);
    }
    if (lstat(newPath, &status) == 0) {
        if (!(flags & kMoveFileReplaceExisting)) return Fail(kErrorAlreadyExists);
        if (!S_ISLNK(status.st_mode)) {
            if (const uint32_t refusal = ChangeRefusal(newPath, status)) return Fail(refusal);
        }
    }
    if (rename(existingPath, newPath) != 0) return posix::FailForPath(newPath);
    return !(flags & kMoveFileWriteThrough) || SyncDirectoryOf(newPath);
}

bool ReplaceFileA(const char* replacedPath, const char* replacementPath) {
    struct stat replaced;
    if (stat(replacedPath, &replaced) != 0) return posix::FailForPath(replacedPath);
    if (const uint32_t refusal = ChangeRefusal(replacedPath, replaced)) return Fail(refusal);
    // The replacement is checked through a descriptor that cannot follow a link: only a plain
    // file with no second name takes the other's place, never a link to someone's file.
    const int fd = open(replacementPath, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return errno == ELOOP ? Fail(kErrorAccessDenied) : posix::FailForPath(replacementPath);
    struct stat replacement;
    bool ok = fstat(fd, &replacement) == 0;
    if (ok && (!S_ISREG(replacement.st_mode) || replacement.st_nlink != 1)) {
        close(fd);
        return Fail(kErrorAccessDenied);
    }
    ok = ok && TakeAccess(fd, replacement, replaced) && rename(replacementPath, replacedPath) == 0;
    const int error = errno;
    close(fd);
    errno = error;
    if (!ok) return posix::FailForPath(replacedPath);
    return SyncDirectoryOf(replacedPath);
}

uint32_t GetCurrentDirectoryA(uint32_t bufferSize, char* buffer) {
    // getcwd with no buffer of its own reads a directory of any length.
    char* directory = getcwd(nullptr, 0);
    if (directory == nullptr) {
        posix::FailWithErrno();
        return 0;
    }
    const size_t length = std::strlen(directory);
    uint32_t result = static_cast<uint32_t>(length + 1);
    if (length < bufferSize) {
        std::memcpy(buffer, directory, length + 1);
        result = static_cast<uint32_t>(length);
    }
    std::free(directory);
    return result;
}

bool SetCurrentDirectoryA(const char* path) { return chdir(path) == 0 || posix::FailForPath(path); }

// POSIX volumes carry no label that the runtime could read, so every volume has the empty
// one.
bool GetVolumeInformationA(const char*, char* volumeName, uint32_t volumeNameSize) {
    if (volumeNameSize == 0) return Fail(kErrorInsufficientBuffer);
    volumeName[0] = '\0';
    return true;
}

uint32_t MaxPathLength() { return PATH_MAX - 1; }

char PathSeparator() { return '/'; }

bool EndsDirectoryPart(char byte) { return byte == '/'; }

}  // namespace platform
