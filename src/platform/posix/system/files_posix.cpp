// Files and handles on POSIX, with the Windows contract: share modes held between processes
// with flock, directories and read-only files refused for writing, disk files told apart.

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/files.hpp"
#include "platform/posix/common/errno_map_posix.hpp"
#include "platform/posix/common/handles_posix.hpp"
#include "platform/posix/system/child_process_posix.hpp"
#include "platform/posix/system/file_status_posix.hpp"
#include "platform/posix/terminal/screen_posix.hpp"
#include "platform/posix/terminal/terminal_posix.hpp"
#include "platform/process.hpp"

namespace platform {
namespace {

// The descriptor behind a file handle, or -1 with the last error set.
int FileDescriptor(Handle file) {
    const posix::HandleEntry* entry = posix::FindHandle(file);
    if (entry == nullptr) return -1;
    if (entry->kind != posix::HandleKind::kFile) {
        SetLastError(kErrorInvalidHandle);
        return -1;
    }
    return entry->fd;
}

// A call on a handle failed: a descriptor opened without the access the call needs is what
// Windows calls access denied.
bool FailHandleCall() {
    if (errno == EBADF) {
        SetLastError(kErrorAccessDenied);
        return false;
    }
    return posix::FailWithErrno();
}

bool Fail(uint32_t error) {
    SetLastError(error);
    return false;
}

// How often an open that finds no file and a create that finds one may follow each other
// before the call gives up: another process may remove and make the file in between, and a
// link that leads nowhere answers both ways for ever.
constexpr int kOpenAttempts = 8;

// Opening never waits: a FIFO without a writer or a device without a carrier would hold the
// open for ever, so the descriptor starts non-blocking and becomes blocking once open.
int OpenFlags(uint32_t desiredAccess, bool inheritHandle) {
    const bool read = desiredAccess & kGenericRead;
    const bool write = desiredAccess & kGenericWrite;
    int flags = write ? (read ? O_RDWR : O_WRONLY) : O_RDONLY;
    flags |= O_NOCTTY | O_NONBLOCK;
    if (!inheritHandle) flags |= O_CLOEXEC;
    return flags;
}

// Opens an existing file, or makes it when the disposition allows; `existed` tells which.
// A new file is made by the one call that refuses whatever stands at the name, a link
// included, so nothing planted there is ever written through.
int OpenOrCreate(const char* path, int flags, uint32_t disposition, bool* existed) {
    *existed = false;
    const int create = flags | O_CREAT | O_EXCL | O_NOFOLLOW;
    if (disposition == kCreateNew) return open(path, create, 0666);
    for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
        const int fd = open(path, flags);
        if (fd >= 0 || errno != ENOENT || disposition == kOpenExisting ||
            disposition == kTruncateExisting) {
            *existed = fd >= 0;
            return fd;
        }
        const int created = open(path, create, 0666);
        // Another process may make the file between the two opens; then it is opened.
        if (created >= 0 || errno != EEXIST) return created;
    }
    errno = ENOENT;
    return -1;
}

// The Windows refusals that POSIX permissions do not give: a directory, write access to a
// read-only file (a privileged process may write it here), and a file held by an open that
// does not share what this one asks. A file just made must be a regular file with this one
// name.
uint32_t Refusal(int fd, const struct stat& status, const char* path, uint32_t desiredAccess,
                 uint32_t shareMode, bool existed, bool created) {
    if (S_ISDIR(status.st_mode)) return kErrorAccessDenied;
    if (created && (!S_ISREG(status.st_mode) || status.st_nlink != 1)) return kErrorFileExists;
    if (!S_ISREG(status.st_mode)) return kErrorSuccess;
    if (existed && (desiredAccess & kGenericWrite) && posix::IsReadOnly(path, status)) {
        return kErrorAccessDenied;
    }
    if (flock(fd, posix::ShareLockOperation(shareMode) | LOCK_NB) != 0) {
        return errno == EWOULDBLOCK ? kErrorSharingViolation : posix::Win32ErrorFromErrno(errno);
    }
    return kErrorSuccess;
}

}  // namespace

Handle CreateFileA(const char* path, uint32_t desiredAccess, uint32_t shareMode, bool inheritHandle,
                   uint32_t creationDisposition, uint32_t) {
    if ((shareMode & ~(kFileShareRead | kFileShareWrite | kFileShareDelete)) != 0 ||
        creationDisposition < kCreateNew || creationDisposition > kTruncateExisting) {
        Fail(kErrorInvalidParameter);
        return kInvalidHandle;
    }
    bool existed = false;
    const int fd =
        OpenOrCreate(path, OpenFlags(desiredAccess, inheritHandle), creationDisposition, &existed);
    if (fd < 0) {
        posix::FailForPath(path);
        return kInvalidHandle;
    }
    struct stat status;
    uint32_t refusal = fstat(fd, &status) != 0
                           ? posix::Win32ErrorFromErrno(errno)
                           : Refusal(fd, status, path, desiredAccess, shareMode, existed,
                                     creationDisposition == kCreateNew);
    // Only a FIFO stays non-blocking: a peer that holds it open without writing must not
    // hold a read for ever.
    if (refusal == kErrorSuccess && !S_ISFIFO(status.st_mode) &&
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        refusal = posix::Win32ErrorFromErrno(errno);
    }
    const bool truncate =
        creationDisposition == kCreateAlways || creationDisposition == kTruncateExisting;
    if (refusal == kErrorSuccess && existed && truncate && ftruncate(fd, 0) != 0) {
        refusal = posix::Win32ErrorFromErrno(errno);
    }
    if (refusal != kErrorSuccess) {
        close(fd);
        Fail(refusal);
        return kInvalidHandle;
    }
    const Handle handle = posix::AddHandle({posix::HandleKind::kFile, fd, isatty(fd) == 1, 0, {}});
    const bool reportsExisting =
        creationDisposition == kOpenAlways || creationDisposition == kCreateAlways;
    SetLastError(existed && reportsExisting ? kErrorAlreadyExists : kErrorSuccess);
    return handle;
}

bool ReadFile(Handle file, void* buffer, uint32_t count, uint32_t* read) {
    *read = 0;
    const int fd = FileDescriptor(file);
    if (fd < 0) return false;
    ssize_t done;
    do {
        done = ::read(fd, buffer, count);
    } while (done < 0 && errno == EINTR);
    if (done < 0) return FailHandleCall();
    *read = static_cast<uint32_t>(done);
    return true;
}

bool WriteFile(Handle file, const void* bytes, uint32_t count, uint32_t* written) {
    *written = 0;
    const posix::HandleEntry* entry = posix::FindHandle(file);
    if (entry == nullptr) return false;
    if (entry->kind != posix::HandleKind::kFile) return Fail(kErrorAccessDenied);
    const auto* text = static_cast<const char*>(bytes);
    // Text for the terminal passes through its screen model, so that the model always
    // knows where the cursor is.
    const bool ok = entry->isTerminal ? posix::ScreenWriteProcessed(entry->fd, {text, count})
                                      : posix::WriteAll(entry->fd, text, count);
    if (!ok) return FailHandleCall();
    *written = count;
    return true;
}

bool SetFilePointerEx(Handle file, int64_t distance, MoveMethod method, uint64_t* newPosition) {
    const int fd = FileDescriptor(file);
    if (fd < 0) return false;
    const int whence = method == kFileBegin     ? SEEK_SET
                       : method == kFileCurrent ? SEEK_CUR
                                                : SEEK_END;
    const off_t reached = lseek(fd, static_cast<off_t>(distance), whence);
    if (reached < 0) return FailHandleCall();
    if (newPosition != nullptr) *newPosition = static_cast<uint64_t>(reached);
    return true;
}

bool SetEndOfFile(Handle file) {
    const int fd = FileDescriptor(file);
    if (fd < 0) return false;
    const off_t end = lseek(fd, 0, SEEK_CUR);
    if (end < 0 || ftruncate(fd, end) != 0) return FailHandleCall();
    return true;
}

FileType GetFileType(Handle file) {
    const posix::HandleEntry* entry = posix::FindHandle(file);
    if (entry == nullptr) return kFileTypeUnknown;
    if (entry->kind == posix::HandleKind::kConsoleInput) return kFileTypeChar;
    if (entry->kind != posix::HandleKind::kFile) return kFileTypeUnknown;
    struct stat status;
    if (fstat(entry->fd, &status) != 0) {
        posix::FailWithErrno();
        return kFileTypeUnknown;
    }
    if (S_ISREG(status.st_mode)) return kFileTypeDisk;
    if (S_ISCHR(status.st_mode)) return kFileTypeChar;
    if (S_ISFIFO(status.st_mode) || S_ISSOCK(status.st_mode)) return kFileTypePipe;
    return kFileTypeUnknown;
}

bool FlushFileBuffers(Handle file) {
    const int fd = FileDescriptor(file);
    if (fd < 0) return false;
    return fsync(fd) == 0 || FailHandleCall();
}

bool CloseHandle(Handle object) {
    posix::HandleEntry* entry = posix::FindHandle(object);
    if (entry == nullptr) return false;
    // A directory search ends with FindClose only, as on Windows.
    if (entry->kind == posix::HandleKind::kSearch) return Fail(kErrorInvalidHandle);
    if (entry->kind == posix::HandleKind::kProcess) posix::CloseChild(*entry);
    // The terminal stays open behind "CONIN$": its settings are handed back at the end.
    if (entry->kind == posix::HandleKind::kFile && close(entry->fd) != 0) {
        posix::RemoveHandle(object);
        return posix::FailWithErrno();
    }
    posix::RemoveHandle(object);
    return true;
}

}  // namespace platform
