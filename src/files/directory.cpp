#include "files/directory.hpp"

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "files/os_result.hpp"
#include "files/path_arg.hpp"
#include "platform/files.hpp"
#include "runtime/errors.hpp"
#include "runtime/os_call.hpp"
#include "runtime/thread_block.hpp"

namespace {

// Read-only entries are always admitted, so a mask keeps only its other bits.
constexpr uint32_t kKeptMaskBits = 0x9E;
constexpr uint32_t kKindBits = kFileAttrHidden | kFileAttrSystem | kFileAttrDirectory;
constexpr uint32_t kNeverDeleted = kKindBits | kFileAttrVolumeLabel;
constexpr uint32_t kVolumeNameSize = 260;

// A pattern that names a directory (it ends with a separator or a drive colon) searches all
// of it.
std::string SearchPath(std::string_view pattern) {
    std::string path(pattern);
    if (FileNamesDirectoryOnly(path)) path += "*.*";
    return path;
}

bool IsDotEntry(const char* name) {
    return std::string_view(name) == "." || std::string_view(name) == "..";
}

bool Admits(uint32_t mask, const platform::FindData& entry) {
    const uint32_t attributes = entry.attributes;
    if (IsDotEntry(entry.fileName)) return false;
    if ((attributes & kKindBits & ~mask) != 0) return false;
    if (mask & kFileAttrOnly) return (attributes & mask & kKindBits) != 0;
    return true;
}

void EndSearch(RtThreadBlock& block) {
    if (block.searchHandle != platform::kNullHandle) {
        const platform::Handle search = block.searchHandle;
        RtCallOs([&] { return platform::FindClose(search); });
    }
    block.searchHandle = platform::kNullHandle;
    block.searchMask = 0;
}

// Returns the first admitted entry from `entry` on, moving the search on past rejected ones;
// ends the search and gives the empty text when it runs out.
Text FirstAdmitted(RtThreadBlock& block, platform::FindData& entry) {
    const platform::Handle search = block.searchHandle;
    while (!Admits(block.searchMask, entry)) {
        const auto next = RtCallOs([&] { return platform::FindNextFileA(search, &entry); });
        if (next.Failed() || !next.value) {
            EndSearch(block);
            return Text();
        }
    }
    return Text(entry.fileName);
}

// The label of the volume a pattern names: a network share ("\\server\share") or the drive
// of its first byte.
Text VolumeLabel(std::string_view pattern) {
    const char separator = platform::PathSeparator();
    std::string root;
    if (pattern.size() >= 2 && pattern[0] == separator && pattern[1] == separator) {
        root = pattern;
        if (root.back() != separator) root += separator;
    } else {
        root = {pattern[0], ':', separator};
    }
    const std::optional<std::string> path = FileOsPath(root);
    if (!path) return Text();
    char label[kVolumeNameSize] = {};
    const auto result = RtCallOs(
        [&] { return platform::GetVolumeInformationA(path->c_str(), label, sizeof label); });
    return result.Failed() || !result.value ? Text() : Text(label);
}

}  // namespace

Text FileDir(const Text& pattern, uint32_t mask) {
    RtThreadBlock* block = RtCurrentThreadBlock();
    if (block == nullptr) {
        RtRaiseError(kRtErrOutOfMemory);
        return Text();
    }
    platform::FindData entry{};
    if (pattern.Empty()) {
        if (block->searchHandle == platform::kNullHandle) return Text();
        const platform::Handle search = block->searchHandle;
        const auto next = RtCallOs([&] { return platform::FindNextFileA(search, &entry); });
        if (next.Failed() || !next.value) {
            EndSearch(*block);
            return Text();
        }
        return FirstAdmitted(*block, entry);
    }

    mask &= kKeptMaskBits;
    if ((mask & kFileAttrOnly) && !(mask & kKindBits)) mask &= ~uint32_t{kFileAttrOnly};
    if (mask & kFileAttrVolumeLabel) {
        if (!FileOsPath(pattern.Bytes())) return Text();
        EndSearch(*block);
        block->searchMask = mask;
        return VolumeLabel(pattern.Bytes());
    }
    const std::optional<std::string> path = FileOsPath(SearchPath(pattern.Bytes()));
    if (!path) return Text();
    EndSearch(*block);
    block->searchMask = mask;
    const auto first = RtCallOs([&] { return platform::FindFirstFileA(path->c_str(), &entry); });
    if (first.value == platform::kInvalidHandle) return Text();
    block->searchHandle = first.value;
    return FirstAdmitted(*block, entry);
}

void FileKill(const Text& pattern) {
    if (pattern.Empty()) return;
    const std::optional<std::string> path = FileOsPath(SearchPath(pattern.Bytes()));
    if (!path) return;
    platform::FindData entry{};
    const auto first = RtCallOs([&] { return platform::FindFirstFileA(path->c_str(), &entry); });
    if (first.value == platform::kInvalidHandle) {
        return RtRaiseError(first.error != 0 ? first.error : uint8_t{kRtErrFileNotFound});
    }
    const platform::Handle search = first.value;
    const std::string_view directory = FileDirectoryPart(*path);
    uint8_t error = 0;
    for (;;) {
        if (!(entry.attributes & kNeverDeleted)) {
            const std::optional<std::string> file =
                FileOsPath(std::string(directory) + entry.fileName);
            if (!file) break;
            error = FileCallOs([&] { return platform::DeleteFileA(file->c_str()); });
            if (error != 0) break;
        }
        const uint8_t next = FileCallOs([&] { return platform::FindNextFileA(search, &entry); });
        // Running out of entries (53) ends the search normally.
        if (next != 0) {
            if (next != kRtErrFileNotFound) error = next;
            break;
        }
    }
    RtCallOs([&] { return platform::FindClose(search); });
    if (error != 0) RtRaiseError(error);
}

namespace {

// The OS paths of two file names that name one file each, or nothing after raising 64.
std::optional<std::pair<std::string, std::string>> TwoFilePaths(const Text& first,
                                                                const Text& second) {
    if (first.Empty() || second.Empty() || FileHasWildcard(first.Bytes()) ||
        FileHasWildcard(second.Bytes())) {
        RtRaiseError(kRtErrBadFileName);
        return std::nullopt;
    }
    std::optional<std::string> firstPath = FileOsPath(first.Bytes());
    std::optional<std::string> secondPath = firstPath ? FileOsPath(second.Bytes()) : std::nullopt;
    if (!secondPath) return std::nullopt;
    return std::pair{std::move(*firstPath), std::move(*secondPath)};
}

}  // namespace

void FileRename(const Text& oldName, const Text& newName) {
    const auto paths = TwoFilePaths(oldName, newName);
    if (!paths) return;
    if (uint8_t error = FileCallOs([&] {
            return platform::MoveFileExA(
                paths->first.c_str(), paths->second.c_str(),
                platform::kMoveFileReplaceExisting | platform::kMoveFileWriteThrough);
        })) {
        RtRaiseError(error);
    }
}

void FileReplace(const Text& replacedName, const Text& replacementName) {
    const auto paths = TwoFilePaths(replacedName, replacementName);
    if (!paths) return;
    if (uint8_t error = FileCallOs(
            [&] { return platform::ReplaceFileA(paths->first.c_str(), paths->second.c_str()); })) {
        RtRaiseError(error);
    }
}
