// The simulated disk: its state, path resolution, sharing rules, and what tests use to set
// it up and look at it.

#include "platform/sim/system/disk_sim.hpp"

#include <cctype>

#include "platform/process.hpp"
#include "platform/sim/sim_internal.hpp"

namespace sim::detail {

Disk disk;

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// The resolved directory that relative paths on a drive start from.
std::string DriveDirectory(char drive) {
    auto found = disk.driveDirectories.find(drive);
    return found != disk.driveDirectories.end() ? found->second : std::string(1, drive) + ":";
}

// Adds the path and every missing directory above it.
DiskEntry& MakeEntry(const std::string& resolved, DiskEntry::Kind kind) {
    const std::string parent = ParentOf(resolved);
    if (!parent.empty() && FindEntry(parent) == nullptr) {
        MakeEntry(parent, DiskEntry::Kind::kDirectory);
    }
    DiskEntry& entry = disk.entries[resolved];
    entry.kind = kind;
    return entry;
}

std::string Resolved(const std::string& path) { return ResolvePath(path).value_or(path); }

}  // namespace

std::optional<std::string> ResolvePath(std::string_view path) {
    if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) return std::nullopt;
    std::string base;
    if (path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]))) {
        const char drive = static_cast<char>(std::toupper(static_cast<unsigned char>(path[0])));
        path.remove_prefix(2);
        base = !path.empty() && IsSeparator(path[0]) ? std::string(1, drive) + ":"
                                                     : DriveDirectory(drive);
    } else {
        base = !path.empty() && IsSeparator(path[0]) ? std::string(1, disk.currentDrive) + ":"
                                                     : DriveDirectory(disk.currentDrive);
    }
    std::string resolved = base;
    while (!path.empty()) {
        const size_t end = path.find_first_of("\\/");
        const std::string_view part = path.substr(0, end);
        path.remove_prefix(end == std::string_view::npos ? path.size() : end + 1);
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            if (!ParentOf(resolved).empty()) resolved = ParentOf(resolved);
            continue;
        }
        resolved += '\\';
        resolved += part;
    }
    return resolved;
}

std::string ParentOf(const std::string& resolved) {
    const size_t separator = resolved.rfind('\\');
    return separator == std::string::npos ? std::string() : resolved.substr(0, separator);
}

std::string NameOf(const std::string& resolved) {
    return resolved.substr(resolved.rfind('\\') + 1);
}

DiskEntry* FindEntry(const std::string& resolved) {
    auto found = disk.entries.find(resolved);
    return found != disk.entries.end() ? &found->second : nullptr;
}

bool ParentExists(const std::string& resolved) {
    const DiskEntry* parent = FindEntry(ParentOf(resolved));
    return parent != nullptr && parent->kind == DiskEntry::Kind::kDirectory;
}

bool CallFails(FileCall call, const std::string& logLine) {
    disk.calls.push_back(logLine);
    auto pending = disk.pendingFailures.find(call);
    if (pending == disk.pendingFailures.end()) return false;
    platform::SetLastError(pending->second);
    disk.pendingFailures.erase(pending);
    return true;
}

bool Fail(uint32_t errorCode) {
    platform::SetLastError(errorCode);
    return false;
}

bool SharingAllows(const std::string& resolved, uint32_t access, uint32_t shareMode) {
    auto compatible = [&](const OpenFile& other) {
        if (other.path != resolved) return true;
        auto shares = [](uint32_t accessAsked, uint32_t shareGiven) {
            return (!(accessAsked & platform::kGenericRead) ||
                    (shareGiven & platform::kFileShareRead)) &&
                   (!(accessAsked & platform::kGenericWrite) ||
                    (shareGiven & platform::kFileShareWrite));
        };
        return shares(access, other.shareMode) && shares(other.access, shareMode);
    };
    for (const auto& [handle, open] : disk.openFiles) {
        if (!compatible(open)) return false;
    }
    for (const OpenFile& held : disk.heldFiles) {
        if (!compatible(held)) return false;
    }
    return true;
}

bool IsOpen(const std::string& resolved) {
    for (const auto& [handle, open] : disk.openFiles) {
        if (open.path == resolved) return true;
    }
    for (const OpenFile& held : disk.heldFiles) {
        if (held.path == resolved) return true;
    }
    return false;
}

void ResetDisk() {
    disk = Disk{};
    MakeEntry("C:\\WORK", DiskEntry::Kind::kDirectory);
    disk.driveDirectories['C'] = "C:\\WORK";
}

}  // namespace sim::detail

namespace sim {

using detail::disk;
using detail::DiskEntry;

void AddDirectory(const std::string& path, uint32_t attributes) {
    detail::MakeEntry(detail::Resolved(path), DiskEntry::Kind::kDirectory).attributes = attributes;
}

void AddFile(const std::string& path, std::string_view bytes, uint32_t attributes) {
    DiskEntry& entry = detail::MakeEntry(detail::Resolved(path), DiskEntry::Kind::kFile);
    entry.bytes = bytes;
    entry.attributes = attributes;
}

void AppendToFile(const std::string& path, std::string_view bytes) {
    if (DiskEntry* entry = detail::FindEntry(detail::Resolved(path))) entry->bytes += bytes;
}

void AddDevice(const std::string& path, std::string_view input, uint32_t endError) {
    DiskEntry& entry = detail::MakeEntry(detail::Resolved(path), DiskEntry::Kind::kDevice);
    entry.input = input;
    entry.endError = endError;
}

std::optional<std::string> FileBytes(const std::string& path) {
    const DiskEntry* entry = detail::FindEntry(detail::Resolved(path));
    if (entry == nullptr || entry->kind == DiskEntry::Kind::kDirectory) return std::nullopt;
    return entry->bytes;
}

uint32_t FileAttributes(const std::string& path) {
    const DiskEntry* entry = detail::FindEntry(detail::Resolved(path));
    return entry != nullptr ? entry->attributes : 0;
}

std::vector<std::string> DirectoryNames(const std::string& path) {
    const std::string directory = detail::Resolved(path);
    std::vector<std::string> names;
    for (const auto& [resolved, entry] : disk.entries) {
        if (detail::ParentOf(resolved) == directory) names.push_back(detail::NameOf(resolved));
    }
    return names;
}

void HoldFile(const std::string& path, uint32_t desiredAccess, uint32_t shareMode) {
    disk.heldFiles.push_back({detail::Resolved(path), desiredAccess, shareMode, 0});
}

void SetVolumeLabel(char drive, const std::string& label) { disk.volumeLabels[drive] = label; }

void EnterDirectory(const std::string& path) {
    const std::string directory = detail::Resolved(path);
    AddDirectory(directory);
    disk.currentDrive = directory[0];
    disk.driveDirectories[directory[0]] = directory;
}

void SetFreeSpace(uint64_t bytes) { disk.freeSpace = bytes; }

void FailNextCall(FileCall call, uint32_t errorCode) { disk.pendingFailures[call] = errorCode; }

std::vector<std::string> FileCalls() { return disk.calls; }

int OpenFileCount() { return static_cast<int>(disk.openFiles.size()); }

int OpenSearchCount() { return static_cast<int>(disk.searches.size()); }

}  // namespace sim
