#pragma once
// Directory services: searching a directory, deleting and renaming files.

#include <cstdint>

#include "platform/files.hpp"
#include "runtime/text.hpp"

/// Attribute bits of directory entries, which are the OS's own, and of the mask FileDir
/// takes.
enum FileAttribute : uint32_t {
    kFileAttrReadOnly = platform::kFileAttributeReadOnly,
    kFileAttrHidden = platform::kFileAttributeHidden,
    kFileAttrSystem = platform::kFileAttributeSystem,
    kFileAttrVolumeLabel = platform::kFileAttributeVolumeLabel,
    kFileAttrDirectory = platform::kFileAttributeDirectory,
    /// In a mask: only entries that have one of the hidden, system and directory bits asked.
    kFileAttrOnly = 0x80,
};

/// With a pattern: starts a new search (ending the calling thread's running one) and
/// returns the name of the first entry the mask admits. With the empty pattern: the next
/// admitted entry of the running search, under the mask it started with. Hidden, system
/// and directory entries need their bit in the mask; "." and ".." are never returned;
/// read-only entries always may be. Mask bit 8 asks for the label of the pattern's volume
/// instead. Nothing found, a missing path and a failing search give the empty text without
/// an error; a pattern the OS cannot take whole raises 64 and leaves the running search
/// alone.
Text FileDir(const Text& pattern, uint32_t mask);

/// Deletes every file that matches the pattern, passing over hidden, system and directory
/// entries. Errors: 64 for a pattern the OS cannot take whole, the mapped OS error when
/// nothing matches (53, or 76 for a missing directory) or a deletion fails (70 for a
/// read-only file); files deleted before a failure stay deleted.
void FileKill(const Text& pattern);

/// Renames a file in one step, replacing an existing file of the new name unless that one is
/// read-only (70), and returns once the change is on the disk. Errors: 64 for an empty name,
/// a wildcard or a name the OS cannot take whole, the mapped OS error of a failing rename.
void FileRename(const Text& oldName, const Text& newName);

/// Puts a new file in the place of an existing one in one step: the file keeps the old one's
/// name, attributes and access, and the change is on the disk on return. Errors: 64 as for
/// FileRename, 53 when the old file does not exist, 70 when it is read-only, a directory or
/// open, or when the new file is a link or has another name too (on POSIX), the
/// mapped OS error of any other failure.
void FileReplace(const Text& replacedName, const Text& replacementName);
