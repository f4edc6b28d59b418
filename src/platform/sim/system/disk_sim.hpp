#pragma once
// The simulated disk that the file and directory calls of the sim backend share: its
// entries, open handles and searches, path resolution, sharing rules and failures on demand.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files.hpp"
#include "platform/sim/sim.hpp"
#include "platform/types.hpp"

namespace sim::detail {

/// One entry of the disk: a directory, a file or a character device.
struct DiskEntry {
    enum class Kind { kDirectory, kFile, kDevice } kind;
    /// The attribute bits the test gave it (read-only, hidden, system).
    uint32_t attributes = 0;
    /// A file's content, or what was written to a device.
    std::string bytes;
    /// What reads from a device still take, and how a read fails once it is used up.
    std::string input;
    uint32_t endError = 0;
};

/// A file opened through CreateFileA, or held by another process.
struct OpenFile {
    std::string path;
    uint32_t access = 0;
    uint32_t shareMode = 0;
    uint64_t pointer = 0;
};

struct DirectorySearch {
    std::vector<platform::FindData> entries;
    size_t next = 0;
};

struct Disk {
    /// Entries by resolved path: "C:" is the root of drive C, "C:\WORK" a directory on it.
    std::map<std::string, DiskEntry> entries;
    /// The current directory of each drive, and the current drive.
    std::map<char, std::string> driveDirectories;
    char currentDrive = 'C';
    std::map<char, std::string> volumeLabels;
    std::map<platform::Handle, OpenFile> openFiles;
    std::vector<OpenFile> heldFiles;
    std::map<platform::Handle, DirectorySearch> searches;
    platform::Handle nextHandle = 0x100;
    std::optional<uint64_t> freeSpace;
    std::map<FileCall, uint32_t> pendingFailures;
    std::vector<std::string> calls;
};

extern Disk disk;

/// The resolved path that a path names, relative ones taken from the current directory;
/// nothing for a network path, which the disk does not have.
std::optional<std::string> ResolvePath(std::string_view path);

/// The directory part of a resolved path ("C:\WORK" for "C:\WORK\A"); empty for a root.
std::string ParentOf(const std::string& resolved);
/// The last part of a resolved path.
std::string NameOf(const std::string& resolved);

DiskEntry* FindEntry(const std::string& resolved);
/// Whether the resolved path's parent is an existing directory.
bool ParentExists(const std::string& resolved);

/// Logs the call; when a failure was asked of it, sets the last error and returns true.
bool CallFails(FileCall call, const std::string& logLine);

/// Sets the last error and returns false, for `return Fail(...)`.
bool Fail(uint32_t errorCode);

/// Whether an open with this access and share mode can stand beside every open of the path.
bool SharingAllows(const std::string& resolved, uint32_t access, uint32_t shareMode);
/// Whether anyone has the path open.
bool IsOpen(const std::string& resolved);

/// An empty disk with drive C: and the current directory C:\WORK.
void ResetDisk();

}  // namespace sim::detail
