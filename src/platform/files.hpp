#pragma once
// Files, directories and handles. Calls that can fail return false (or kInvalidHandle) and
// leave a Win32 error code for GetLastError. Paths are NUL-terminated byte strings handed to
// the OS unchanged: no character-set conversion.

#include <cstdint>

#include "platform/types.hpp"

namespace platform {

/// Desired access of CreateFileA.
inline constexpr uint32_t kGenericRead = 0x80000000;
inline constexpr uint32_t kGenericWrite = 0x40000000;

/// Share modes of CreateFileA; any other bit is an invalid parameter.
inline constexpr uint32_t kFileShareRead = 0x1;
inline constexpr uint32_t kFileShareWrite = 0x2;
inline constexpr uint32_t kFileShareDelete = 0x4;

/// Creation dispositions of CreateFileA.
enum CreationDisposition : uint32_t {
    kCreateNew = 1,
    kCreateAlways = 2,
    kOpenExisting = 3,
    kOpenAlways = 4,
    kTruncateExisting = 5,
};

/// File attributes, as FindFirstFileA reports them and CreateFileA takes them.
inline constexpr uint32_t kFileAttributeReadOnly = 0x01;
inline constexpr uint32_t kFileAttributeHidden = 0x02;
inline constexpr uint32_t kFileAttributeSystem = 0x04;
inline constexpr uint32_t kFileAttributeVolumeLabel = 0x08;
inline constexpr uint32_t kFileAttributeDirectory = 0x10;
inline constexpr uint32_t kFileAttributeArchive = 0x20;
inline constexpr uint32_t kFileAttributeNormal = 0x80;

/// CreateFileA. `inheritHandle` is the bInheritHandle of the security attributes: child
/// processes get the handle. OPEN_ALWAYS and CREATE_ALWAYS on an existing file succeed and
/// leave ERROR_ALREADY_EXISTS as the last error. CREATE_NEW makes a new file or fails with
/// ERROR_FILE_EXISTS when anything stands at the name, a link included, even one that
/// leads nowhere: it never opens a file that was there before. Opening never waits for a
/// pipe's other end or a device. Opening a directory fails with
/// ERROR_ACCESS_DENIED, and so does asking write access to a read-only file. A file opened
/// by anyone without sharing what this open asks (or sharing it with an open that asks
/// what this one does not share) fails with ERROR_SHARING_VIOLATION.
Handle CreateFileA(const char* path, uint32_t desiredAccess, uint32_t shareMode, bool inheritHandle,
                   uint32_t creationDisposition, uint32_t attributes);

/// Reads up to `count` bytes; `read` receives the count read, 0 at the end of a file.
bool ReadFile(Handle file, void* buffer, uint32_t count, uint32_t* read);

/// Writes bytes to a file, pipe or console handle; `written` receives the count written.
/// A console takes the bytes as processed output (CR, LF, BS, TAB, BEL, wrap and scroll).
bool WriteFile(Handle file, const void* bytes, uint32_t count, uint32_t* written);

/// Starting points of SetFilePointerEx.
enum MoveMethod : uint32_t { kFileBegin = 0, kFileCurrent = 1, kFileEnd = 2 };

/// SetFilePointerEx: moves the file pointer and reports the new 64-bit offset.
bool SetFilePointerEx(Handle file, int64_t distance, MoveMethod method, uint64_t* newPosition);

/// Makes the file end at the file pointer.
bool SetEndOfFile(Handle file);

/// What GetFileType reports: only regular files are disk files.
enum FileType : uint32_t {
    kFileTypeUnknown = 0,
    kFileTypeDisk = 1,
    kFileTypeChar = 2,
    kFileTypePipe = 3,
};
FileType GetFileType(Handle file);

/// Waits until the file's data is on the disk.
bool FlushFileBuffers(Handle file);

bool CloseHandle(Handle object);

/// One entry of a directory search (the part of WIN32_FIND_DATAA the runtime reads).
struct FindData {
    uint32_t attributes;
    /// The entry's name alone, without its directory, NUL-terminated.
    char fileName[260];
};

/// FindFirstFileA: the first entry that matches the pattern, whose last part may hold the
/// wildcards "*" (any run of characters) and "?" (one character); "*.*" matches every name.
/// A search of a directory also lists "." and "..". Fails with ERROR_FILE_NOT_FOUND when
/// nothing matches and ERROR_PATH_NOT_FOUND when the directory is missing.
Handle FindFirstFileA(const char* pattern, FindData* entry);

/// The next entry of a search; fails with ERROR_NO_MORE_FILES after the last one.
bool FindNextFileA(Handle search, FindData* entry);

bool FindClose(Handle search);

/// Deletes a file. A read-only file or a directory fails with ERROR_ACCESS_DENIED, a file
/// that is open (without FILE_SHARE_DELETE) fails with ERROR_SHARING_VIOLATION.
bool DeleteFileA(const char* path);

/// MoveFileExA flags.
inline constexpr uint32_t kMoveFileReplaceExisting = 0x1;
inline constexpr uint32_t kMoveFileWriteThrough = 0x8;

/// Renames a file in one step. With kMoveFileReplaceExisting an existing target is replaced,
/// unless it is read-only or a directory (ERROR_ACCESS_DENIED) or open
/// (ERROR_SHARING_VIOLATION); without it an existing target fails with
/// ERROR_ALREADY_EXISTS. With kMoveFileWriteThrough the call returns once the rename is on
/// the disk.
bool MoveFileExA(const char* existingPath, const char* newPath, uint32_t flags);

/// ReplaceFileA without a backup: the replacement file takes the replaced file's place in
/// one step and keeps the replaced file's attributes and access (on POSIX its permission
/// bits, and its owner and group as far as the process may set them), and the change is on
/// the disk when the call returns. The replaced file must exist (ERROR_FILE_NOT_FOUND) and
/// be a file that may be changed (ERROR_ACCESS_DENIED for a read-only file or a directory,
/// ERROR_SHARING_VIOLATION for an open one). On POSIX the replacement must be a regular
/// file with no other name, never a link (ERROR_ACCESS_DENIED).
bool ReplaceFileA(const char* replacedPath, const char* replacementPath);

/// GetCurrentDirectoryA: copies the current directory and its NUL into the buffer and returns
/// its length without the NUL; when the buffer is too small, copies nothing and returns the
/// size needed, NUL included. 0 on failure.
uint32_t GetCurrentDirectoryA(uint32_t bufferSize, char* buffer);

bool SetCurrentDirectoryA(const char* path);

/// The label of the volume whose root directory is given (an empty label where the platform
/// has none). Fails for a volume that does not exist or a label that does not fit.
bool GetVolumeInformationA(const char* rootPath, char* volumeName, uint32_t volumeNameSize);

/// The longest path, in bytes without its NUL, that the calls above take.
uint32_t MaxPathLength();

/// The separator the platform writes between the parts of a path.
char PathSeparator();

/// Whether a byte ends the directory part of a path: a separator, or a drive's colon where
/// the platform has drives.
bool EndsDirectoryPart(char byte);

}  // namespace platform
