#pragma once
// FileTable: the open files of the process, addressed by their file numbers.

#include <cstdint>

#include "platform/types.hpp"
#include "runtime/spin_lock.hpp"

/// The high byte of a FileModeWord: what the file is opened for.
enum FileMode : uint8_t {
    kFileModeInput = 0x01,
    kFileModeOutput = 0x02,
    kFileModeAppend = 0x08,
};

/// Bits of the low byte of a FileModeWord, the access byte.
inline constexpr uint8_t kFileAccessRead = 0x80;
inline constexpr uint8_t kFileAccessWrite = 0x40;
/// The access was given explicitly: a refused write access is not retried read-only.
inline constexpr uint8_t kFileAccessExplicit = 0x20;
/// The lock value 1..4: 1 shares nothing, 2 reading, 3 writing, 4 both.
inline constexpr uint8_t kFileAccessLockMask = 0x07;

/// The 16-bit open mode: FileMode in the high byte, the access byte in the low byte.
using FileModeWord = uint16_t;

/// Whether a disk file (GetFileType reported a disk) or anything else (a device, a pipe).
enum FileKind : uint16_t { kFileKindDisk = 1, kFileKindOther = 2 };

/// One open file. The read buffer follows the record in the same allocation.
struct FileRecord {
    FileRecord* next;
    int16_t number;
    platform::Handle handle;
    FileKind kind;
    uint8_t mode;
    uint8_t access;
    /// Input: file offset of the buffer's first byte. Output and append: offset of the next
    /// byte written.
    uint64_t position;
    /// Size of the read buffer.
    uint32_t recordLength;
    /// Offset of the next unread byte in the buffer, and the count of valid bytes.
    uint32_t index;
    uint32_t count;

    uint8_t* Buffer() { return reinterpret_cast<uint8_t*>(this + 1); }
    uint8_t LockValue() const { return access & kFileAccessLockMask; }
};

/// The process-wide list of open files, newest first. `lock` guards the list only while it is
/// walked, extended or shortened; `openLock` is held by FileOpen for its whole run, so that
/// two opens never interleave.
struct FileTable {
    FileRecord* head;
    RtSpinLock lock;
    RtSpinLock openLock;
};

extern FileTable gFileTable;

/// A zeroed record with a read buffer of `recordLength` bytes; null when memory is short.
FileRecord* FileRecordAllocate(uint32_t recordLength);
void FileRecordFree(FileRecord* record);

/// The open file with this number, or null.
FileRecord* FileTableFind(int16_t number);

/// Adds a record at the head of the list.
void FileTableInsert(FileRecord* record);

/// Takes the record of this number out of the list and returns it; null when not open.
FileRecord* FileTableUnlink(int16_t number);

/// Forgets every open file, as at the start of a run: the records are freed and their
/// handles left to the OS.
void FileTableReset();
