// Directories of the simulated disk: searches, deletion, renaming, the current directory
// and volume labels, with Windows paths and limits.

#include <cctype>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "platform/files.hpp"
#include "platform/process.hpp"
#include "platform/sim/sim.hpp"
#include "platform/sim/system/disk_sim.hpp"
#include "platform/wildcard.hpp"

namespace {

using sim::FileCall;
using sim::detail::disk;
using sim::detail::DiskEntry;
using sim::detail::Fail;

constexpr uint32_t kMaxPath = 260;

platform::FindData MakeFindData(std::string_view name, uint32_t attributes) {
    platform::FindData data{};
    data.attributes = attributes != 0 ? attributes : platform::kFileAttributeNormal;
    name.copy(data.fileName, sizeof data.fileName - 1);
    return data;
}

uint32_t AttributesOf(const DiskEntry& entry) {
    uint32_t attributes = entry.attributes;
    if (entry.kind == DiskEntry::Kind::kDirectory) attributes |= platform::kFileAttributeDirectory;
    return attributes;
}

// The entries of a directory that match the name pattern, "." and ".." first where the
// directory is not a root.
sim::detail::DirectorySearch Search(const std::string& directory, std::string_view namePattern) {
    sim::detail::DirectorySearch search;
    if (!sim::detail::ParentOf(directory).empty()) {
        for (const char* dots : {".", ".."}) {
            if (platform::WildcardMatch(namePattern, dots)) {
                search.entries.push_back(MakeFindData(dots, platform::kFileAttributeDirectory));
            }
        }
    }
    for (const auto& [resolved, entry] : disk.entries) {
        const std::string name = sim::detail::NameOf(resolved);
        if (sim::detail::ParentOf(resolved) == directory &&
            platform::WildcardMatch(namePattern, name)) {
            search.entries.push_back(MakeFindData(name, AttributesOf(entry)));
        }
    }
    return search;
}

// The resolved path of an existing file that may be replaced, deleted or renamed, or the
// error that keeps it from that.
std::optional<std::string> ChangeableFile(const char* path) {
    const std::optional<std::string> resolved = sim::detail::ResolvePath(path);
    if (!resolved || !sim::detail::ParentExists(*resolved)) {
        Fail(platform::kErrorPathNotFound);
        return std::nullopt;
    }
    const DiskEntry* entry = sim::detail::FindEntry(*resolved);
    if (entry == nullptr) {
        Fail(platform::kErrorFileNotFound);
    } else if (entry->kind == DiskEntry::Kind::kDirectory ||
               (entry->attributes & platform::kFileAttributeReadOnly)) {
        Fail(platform::kErrorAccessDenied);
    } else if (sim::detail::IsOpen(*resolved)) {
        Fail(platform::kErrorSharingViolation);
    } else {
        return resolved;
    }
    return std::nullopt;
}

}  // namespace

namespace platform {

Handle FindFirstFileA(const char* pattern, FindData* entry) {
    if (sim::detail::CallFails(FileCall::kFindFirstFile,
                               std::string("FindFirstFileA ") + pattern)) {
        return kInvalidHandle;
    }
    const std::string_view text(pattern);
    size_t nameStart = text.size();
    while (nameStart > 0 && !EndsDirectoryPart(text[nameStart - 1]))
        --nameStart;
    const std::optional<std::string> directory =
        sim::detail::ResolvePath(nameStart == 0 ? "." : text.substr(0, nameStart));
    const DiskEntry* found = directory ? sim::detail::FindEntry(*directory) : nullptr;
    if (found == nullptr || found->kind != DiskEntry::Kind::kDirectory) {
        Fail(kErrorPathNotFound);
        return kInvalidHandle;
    }
    sim::detail::DirectorySearch search = Search(*directory, text.substr(nameStart));
    if (search.entries.empty()) {
        Fail(kErrorFileNotFound);
        return kInvalidHandle;
    }
    *entry = search.entries[0];
    search.next = 1;
    const Handle handle = disk.nextHandle++;
    disk.searches[handle] = std::move(search);
    return handle;
}

bool FindNextFileA(Handle search, FindData* entry) {
    if (sim::detail::CallFails(FileCall::kFindNextFile, "FindNextFileA")) return false;
    auto found = disk.searches.find(search);
    if (found == disk.searches.end()) return Fail(kErrorInvalidHandle);
    sim::detail::DirectorySearch& running = found->second;
    if (running.next == running.entries.size()) return Fail(kErrorNoMoreFiles);
    *entry = running.entries[running.next++];
    return true;
}

bool FindClose(Handle search) {
    disk.calls.push_back("FindClose");
    return disk.searches.erase(search) == 1 || Fail(kErrorInvalidHandle);
}

bool DeleteFileA(const char* path) {
    if (sim::detail::CallFails(FileCall::kDeleteFile, std::string("DeleteFileA ") + path)) {
        return false;
    }
    const std::optional<std::string> resolved = ChangeableFile(path);
    if (!resolved) return false;
    disk.entries.erase(*resolved);
    return true;
}

bool MoveFileExA(const char* existingPath, const char* newPath, uint32_t flags) {
    if (sim::detail::CallFails(FileCall::kMoveFile,
                               std::string("MoveFileExA ") + existingPath + " " + newPath)) {
        return false;
    }
    const std::optional<std::string> source = ChangeableFile(existingPath);
    if (!source) return false;
    const std::optional<std::string> target = sim::detail::ResolvePath(newPath);
    if (!target || !sim::detail::ParentExists(*target)) return Fail(kErrorPathNotFound);
    if (sim::detail::FindEntry(*target) != nullptr) {
        if (!(flags & kMoveFileReplaceExisting)) return Fail(kErrorAlreadyExists);
        if (!ChangeableFile(newPath)) return false;
    }
    DiskEntry moved = std::move(*sim::detail::FindEntry(*source));
    disk.entries.erase(*source);
    disk.entries[*target] = std::move(moved);
    return true;
}

bool ReplaceFileA(const char* replacedPath, const char* replacementPath) {
    if (sim::detail::CallFails(FileCall::kReplaceFile, std::string("ReplaceFileA ") + replacedPath +
                                                           " " + replacementPath)) {
        return false;
    }
    const std::optional<std::string> replaced = ChangeableFile(replacedPath);
    if (!replaced) return false;
    const std::optional<std::string> replacement = ChangeableFile(replacementPath);
    if (!replacement) return false;
    DiskEntry& kept = *sim::detail::FindEntry(*replaced);
    kept.bytes = std::move(sim::detail::FindEntry(*replacement)->bytes);
    disk.entries.erase(*replacement);
    return true;
}

uint32_t GetCurrentDirectoryA(uint32_t bufferSize, char* buffer) {
    if (sim::detail::CallFails(FileCall::kGetCurrentDirectory, "GetCurrentDirectoryA")) return 0;
    std::string directory = disk.driveDirectories[disk.currentDrive];
    if (sim::detail::ParentOf(directory).empty()) directory += '\\';
    if (directory.size() >= bufferSize) return static_cast<uint32_t>(directory.size() + 1);
    std::memcpy(buffer, directory.c_str(), directory.size() + 1);
    return static_cast<uint32_t>(directory.size());
}

bool SetCurrentDirectoryA(const char* path) {
    if (sim::detail::CallFails(FileCall::kSetCurrentDirectory,
                               std::string("SetCurrentDirectoryA ") + path)) {
        return false;
    }
    if (std::strlen(path) > MaxPathLength()) return Fail(kErrorFilenameExcedRange);
    const std::optional<std::string> resolved = sim::detail::ResolvePath(path);
    if (!resolved || !sim::detail::FindEntry(resolved->substr(0, 2))) {
        return Fail(kErrorPathNotFound);
    }
    const DiskEntry* entry = sim::detail::FindEntry(*resolved);
    if (entry == nullptr || entry->kind != DiskEntry::Kind::kDirectory) {
        return Fail(sim::detail::ParentExists(*resolved) ? kErrorFileNotFound : kErrorPathNotFound);
    }
    disk.currentDrive = (*resolved)[0];
    disk.driveDirectories[disk.currentDrive] = *resolved;
    return true;
}

bool GetVolumeInformationA(const char* rootPath, char* volumeName, uint32_t volumeNameSize) {
    disk.calls.push_back(std::string("GetVolumeInformationA ") + rootPath);
    const std::string_view root(rootPath);
    if (root.size() != 3 || root.substr(1) != ":\\") return Fail(kErrorPathNotFound);
    const char drive = static_cast<char>(std::toupper(static_cast<unsigned char>(root[0])));
    if (!sim::detail::FindEntry(std::string(1, drive) + ":")) return Fail(kErrorPathNotFound);
    const std::string& label = disk.volumeLabels[drive];
    if (label.size() >= volumeNameSize) return Fail(kErrorInsufficientBuffer);
    std::memcpy(volumeName, label.c_str(), label.size() + 1);
    return true;
}

uint32_t MaxPathLength() { return kMaxPath - 1; }

char PathSeparator() { return '\\'; }

bool EndsDirectoryPart(char byte) { return byte == '\\' || byte == '/' || byte == ':'; }

}  // namespace platform
