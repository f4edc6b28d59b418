// File handles of the simulated process: the console and redirected standard streams, and
// files and devices on the simulated disk, with failures and short writes on demand.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "platform/files.hpp"
#include "platform/process.hpp"
#include "platform/sim/sim.hpp"
#include "platform/sim/sim_internal.hpp"
#include "platform/sim/system/disk_sim.hpp"

namespace {

using sim::FileCall;
using sim::detail::disk;
using sim::detail::DiskEntry;
using sim::detail::Fail;
using sim::detail::OpenFile;

std::optional<uint32_t> nextWriteError;
std::optional<uint32_t> nextWriteLength;

OpenFile* FindOpenFile(platform::Handle handle) {
    auto found = disk.openFiles.find(handle);
    return found != disk.openFiles.end() ? &found->second : nullptr;
}

// A write into a file or device at its pointer; false when the disk is full.
bool WriteToDisk(OpenFile& file, std::string_view bytes) {
    DiskEntry* entry = sim::detail::FindEntry(file.path);
    if (entry->kind == DiskEntry::Kind::kDevice) {
        entry->bytes += bytes;
        return true;
    }
    const uint64_t end = file.pointer + bytes.size();
    const uint64_t growth = end > entry->bytes.size() ? end - entry->bytes.size() : 0;
    if (disk.freeSpace && growth > *disk.freeSpace) return Fail(platform::kErrorDiskFull);
    if (disk.freeSpace) *disk.freeSpace -= growth;
    if (end > entry->bytes.size()) entry->bytes.resize(end);
    entry->bytes.replace(file.pointer, bytes.size(), bytes);
    file.pointer = end;
    return true;
}

platform::Handle OpenEntry(const std::string& resolved, uint32_t access, uint32_t shareMode,
                           uint32_t disposition) {
    using namespace platform;
    DiskEntry* entry = sim::detail::FindEntry(resolved);
    const bool existed = entry != nullptr;
    if (!existed) {
        if (disposition == kOpenExisting || disposition == kTruncateExisting) {
            Fail(kErrorFileNotFound);
            return kInvalidHandle;
        }
        sim::AddFile(resolved, "");
        entry = sim::detail::FindEntry(resolved);
    } else if (disposition == kCreateNew) {
        // Whatever stands at the name, a directory or a read-only file included.
        Fail(kErrorFileExists);
        return kInvalidHandle;
    } else if (entry->kind == DiskEntry::Kind::kDirectory ||
               ((access & kGenericWrite) && (entry->attributes & kFileAttributeReadOnly))) {
        Fail(kErrorAccessDenied);
        return kInvalidHandle;
    } else if (!sim::detail::SharingAllows(resolved, access, shareMode)) {
        Fail(kErrorSharingViolation);
        return kInvalidHandle;
    }
    if (disposition == kCreateAlways || disposition == kTruncateExisting) entry->bytes.clear();
    const Handle handle = disk.nextHandle++;
    disk.openFiles[handle] = {resolved, access, shareMode, 0};
    SetLastError(existed && (disposition == kOpenAlways || disposition == kCreateAlways)
                     ? kErrorAlreadyExists
                     : kErrorSuccess);
    return handle;
}

}  // namespace

namespace sim {

void FailNextWrite(uint32_t errorCode) { nextWriteError = errorCode; }
void ShortenNextWrite(uint32_t bytesWritten) { nextWriteLength = bytesWritten; }

namespace detail {

void ResetFiles() {
    nextWriteError.reset();
    nextWriteLength.reset();
    ResetDisk();
}

}  // namespace detail
}  // namespace sim

namespace platform {

Handle CreateFileA(const char* path, uint32_t desiredAccess, uint32_t shareMode, bool,
                   uint32_t creationDisposition, uint32_t) {
    if (sim::detail::CallFails(FileCall::kCreateFile, std::string("CreateFileA ") + path)) {
        return kInvalidHandle;
    }
    if (std::strlen(path) > MaxPathLength()) {
        Fail(kErrorFilenameExcedRange);
        return kInvalidHandle;
    }
    if ((shareMode & ~(kFileShareRead | kFileShareWrite | kFileShareDelete)) != 0 ||
        creationDisposition < kCreateNew || creationDisposition > kTruncateExisting) {
        Fail(kErrorInvalidParameter);
        return kInvalidHandle;
    }
    const std::optional<std::string> resolved = sim::detail::ResolvePath(path);
    if (!resolved || !sim::detail::ParentExists(*resolved)) {
        Fail(kErrorPathNotFound);
        return kInvalidHandle;
    }
    return OpenEntry(*resolved, desiredAccess, shareMode, creationDisposition);
}

bool ReadFile(Handle file, void* buffer, uint32_t count, uint32_t* read) {
    *read = 0;
    if (sim::detail::CallFails(FileCall::kReadFile, "ReadFile " + std::to_string(count))) {
        return false;
    }
    OpenFile* open = FindOpenFile(file);
    if (open == nullptr) return Fail(kErrorInvalidHandle);
    if (!(open->access & kGenericRead)) return Fail(kErrorAccessDenied);
    DiskEntry* entry = sim::detail::FindEntry(open->path);
    if (entry->kind == DiskEntry::Kind::kDevice) {
        if (entry->input.empty()) return entry->endError == 0 || Fail(entry->endError);
        *read = static_cast<uint32_t>(std::min<size_t>(count, entry->input.size()));
        std::memcpy(buffer, entry->input.data(), *read);
        entry->input.erase(0, *read);
        return true;
    }
    if (open->pointer < entry->bytes.size()) {
        *read =
            static_cast<uint32_t>(std::min<uint64_t>(count, entry->bytes.size() - open->pointer));
        std::memcpy(buffer, entry->bytes.data() + open->pointer, *read);
        open->pointer += *read;
    }
    return true;
}

bool WriteFile(Handle file, const void* bytes, uint32_t count, uint32_t* written) {
    *written = 0;
    if (nextWriteError) {
        SetLastError(*nextWriteError);
        nextWriteError.reset();
        return false;
    }
    if (nextWriteLength) {
        count = std::min(count, *nextWriteLength);
        nextWriteLength.reset();
    }
    const std::string_view text(static_cast<const char*>(bytes), count);
    if (OpenFile* open = FindOpenFile(file)) {
        if (!(open->access & kGenericWrite)) return Fail(kErrorAccessDenied);
        if (!WriteToDisk(*open, text)) return false;
    } else if (sim::detail::IsConsoleOutput(file)) {
        sim::detail::WriteToConsole(text);
    } else if (!sim::detail::WriteToRedirected(file, text)) {
        return Fail(kErrorInvalidHandle);
    }
    *written = count;
    return true;
}

bool SetFilePointerEx(Handle file, int64_t distance, MoveMethod method, uint64_t* newPosition) {
    if (sim::detail::CallFails(FileCall::kSetFilePointer,
                               "SetFilePointerEx " + std::to_string(distance))) {
        return false;
    }
    OpenFile* open = FindOpenFile(file);
    if (open == nullptr) return Fail(kErrorInvalidHandle);
    const int64_t start =
        method == kFileBegin ? 0
        : method == kFileCurrent
            ? static_cast<int64_t>(open->pointer)
            : static_cast<int64_t>(sim::detail::FindEntry(open->path)->bytes.size());
    if (start + distance < 0) return Fail(kErrorInvalidParameter);
    open->pointer = static_cast<uint64_t>(start + distance);
    if (newPosition != nullptr) *newPosition = open->pointer;
    return true;
}

bool SetEndOfFile(Handle file) {
    if (sim::detail::CallFails(FileCall::kSetEndOfFile, "SetEndOfFile")) return false;
    OpenFile* open = FindOpenFile(file);
    if (open == nullptr) return Fail(kErrorInvalidHandle);
    if (!(open->access & kGenericWrite)) return Fail(kErrorAccessDenied);
    sim::detail::FindEntry(open->path)->bytes.resize(open->pointer);
    return true;
}

FileType GetFileType(Handle file) {
    if (const OpenFile* open = FindOpenFile(file)) {
        return sim::detail::FindEntry(open->path)->kind == DiskEntry::Kind::kDevice ? kFileTypeChar
                                                                                    : kFileTypeDisk;
    }
    if (file >= sim::detail::kStdInput && file <= sim::detail::kConsoleInput) return kFileTypeChar;
    SetLastError(kErrorInvalidHandle);
    return kFileTypeUnknown;
}

bool FlushFileBuffers(Handle file) {
    if (sim::detail::CallFails(FileCall::kFlushFileBuffers, "FlushFileBuffers")) return false;
    return FindOpenFile(file) != nullptr || Fail(kErrorInvalidHandle);
}

// The console's handles close without a trace, as the simulated process only has one;
// files and children's handles are counted so that tests see leaks.
bool CloseHandle(Handle object) {
    const bool fails = sim::detail::CallFails(FileCall::kCloseHandle, "CloseHandle");
    disk.openFiles.erase(object);
    sim::detail::CloseChildHandle(object);
    return !fails;
}

}  // namespace platform
