#include "files/file_open.hpp"

#include <mutex>
#include <optional>
#include <string>

#include "files/os_result.hpp"
#include "files/path_arg.hpp"
#include "platform/files.hpp"
#include "runtime/errors.hpp"
#include "runtime/os_call.hpp"

namespace {

// Whether an open may take a file that is there already, or must make it.
enum class Creation { kAsTheModeSays, kNew };

// CreateFileA as the mode asks it. Failure is judged by the handle alone: a successful open
// may leave ERROR_ALREADY_EXISTS behind. Returns the handle, or kInvalidHandle with the
// mapped error in `error`.
platform::Handle CreateHandle(const std::string& path, uint32_t desiredAccess, uint8_t access,
                              uint8_t mode, Creation creation, uint8_t* error) {
    // Lock values 1..4 become the share modes 0..3; the others are passed on as they come
    // out, and the OS refuses what is not a share mode.
    const uint32_t shareMode = static_cast<uint32_t>((access & kFileAccessLockMask) - 1);
    const uint32_t disposition = creation == Creation::kNew ? platform::kCreateNew
                                 : (mode & kFileModeInput)  ? platform::kOpenExisting
                                                            : platform::kOpenAlways;
    const auto result = RtCallOs([&] {
        return platform::CreateFileA(path.c_str(), desiredAccess, shareMode, true, disposition,
                                     platform::kFileAttributeNormal);
    });
    // A call that ran out of memory returns no handle at all.
    const bool failed =
        result.value == platform::kInvalidHandle || result.value == platform::kNullHandle;
    *error = failed ? result.error : 0;
    if (failed && *error == 0) *error = kRtErrInternal;
    return failed ? platform::kInvalidHandle : result.value;
}

// Places the file for its mode: output empties a disk file, append goes to its end, input
// reads the first block of a disk file. Returns the runtime error, 0 on success.
uint8_t PositionForMode(FileRecord& record) {
    const platform::Handle handle = record.handle;
    const bool disk = record.kind == kFileKindDisk;
    if (record.mode & kFileModeOutput) {
        if (!disk) return 0;
        if (uint8_t error = FileCallOs([&] {
                return platform::SetFilePointerEx(handle, 0, platform::kFileBegin, nullptr);
            })) {
            return error;
        }
        return FileCallOs([&] { return platform::SetEndOfFile(handle); });
    }
    if (record.mode & kFileModeAppend) {
        if (!disk) return kRtErrBadFileMode;
        return FileCallOs([&] {
            return platform::SetFilePointerEx(handle, 0, platform::kFileEnd, &record.position);
        });
    }
    if ((record.mode & kFileModeInput) && disk) {
        if (uint8_t error = FileCallOs([&] {
                return platform::SetFilePointerEx(handle, 0, platform::kFileBegin, nullptr);
            })) {
            return error;
        }
        return FileCallOs([&] {
            return platform::ReadFile(handle, record.Buffer(), record.recordLength, &record.count);
        });
    }
    return 0;
}

void OpenNumbered(int16_t number, const Text& name, FileModeWord modeWord, int32_t recordLength,
                  Creation creation) {
    std::lock_guard openGuard(gFileTable.openLock);
    const auto mode = static_cast<uint8_t>(modeWord >> 8);
    const auto access = static_cast<uint8_t>(modeWord & 0xFF);

    if (name.Empty()) return RtRaiseError(kRtErrBadFileName);
    const std::optional<std::string> path = FileOsPath(name.Bytes());
    if (!path) return;
    if (FileHasWildcard(*path)) return RtRaiseError(kRtErrBadFileName);
    if (mode & (kFileModeOutput | kFileModeAppend)) recordLength = 1;
    if (number < 0) return RtRaiseError(kRtErrBadFileNumber);
    if (recordLength < 1) return RtRaiseError(kRtErrInvalidArgument);
    if (FileTableFind(number) != nullptr) return RtRaiseError(kRtErrFileAlreadyOpen);

    FileRecord* record = FileRecordAllocate(static_cast<uint32_t>(recordLength));
    if (record == nullptr) return RtRaiseError(kRtErrOutOfMemory);

    uint8_t error = 0;
    const uint32_t desiredAccess = static_cast<uint32_t>(access & 0xC0) << 24;
    platform::Handle handle = CreateHandle(*path, desiredAccess, access, mode, creation, &error);
    // Without explicit access, a file that refuses writing is opened for reading instead.
    if (handle == platform::kInvalidHandle && !(access & kFileAccessExplicit) &&
        (desiredAccess & platform::kGenericWrite)) {
        handle = CreateHandle(*path, platform::kGenericRead, access, mode, creation, &error);
    }
    if (handle == platform::kInvalidHandle) {
        FileRecordFree(record);
        return RtRaiseError(error);
    }

    record->number = number;
    record->handle = handle;
    record->mode = mode;
    record->access = access;
    record->recordLength = static_cast<uint32_t>(recordLength);
    const auto type = RtCallOs([&] { return platform::GetFileType(handle); });
    record->kind = type.value == platform::kFileTypeDisk ? kFileKindDisk : kFileKindOther;

    if (uint8_t positionError = PositionForMode(*record)) {
        RtCallOs([&] { return platform::CloseHandle(handle); });
        FileRecordFree(record);
        return RtRaiseError(positionError);
    }
    FileTableInsert(record);
}

}  // namespace

void FileOpen(int16_t number, const Text& name, FileModeWord modeWord, int32_t recordLength) {
    OpenNumbered(number, name, modeWord, recordLength, Creation::kAsTheModeSays);
}

void FileCreate(int16_t number, const Text& name, FileModeWord modeWord, int32_t recordLength) {
    OpenNumbered(number, name, modeWord, recordLength, Creation::kNew);
}

bool FileIsDisk(int16_t number) {
    const FileRecord* record = FileTableFind(number);
    return record != nullptr && record->kind == kFileKindDisk;
}

void FileClose(int16_t number) {
    FileRecord* record = FileTableUnlink(number);
    if (record == nullptr) return;
    const platform::Handle handle = record->handle;
    uint8_t error = 0;
    if ((record->mode & kFileModeOutput) && record->kind == kFileKindDisk) {
        error = FileCallOs([&] { return platform::SetEndOfFile(handle); });
    }
    const uint8_t closeError = FileCallOs([&] { return platform::CloseHandle(handle); });
    FileRecordFree(record);
    if (error == 0) error = closeError;
    if (error != 0) RtRaiseError(error);
}

void FileFlush(int16_t number) {
    FileRecord* record = FileTableFind(number);
    if (record == nullptr) return RtRaiseError(kRtErrBadFileNumber);
    const platform::Handle handle = record->handle;
    if (uint8_t error = FileCallOs([&] { return platform::FlushFileBuffers(handle); })) {
        RtRaiseError(error);
    }
}
