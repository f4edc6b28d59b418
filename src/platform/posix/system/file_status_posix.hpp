#pragma once
// What Windows tells about a file, found out the POSIX way: its attributes, whether it is
// read-only, whether someone has it open, and which "not found" a missing path is.

#include <sys/stat.h>

#include <cstdint>

namespace platform::posix {

/// Whether the permission bits give the process no write access to the file. This holds
/// for a privileged process too, as the read-only attribute holds for every Windows user;
/// a file on a read-only file system is read-only as well.
bool IsReadOnly(const char* path, const struct stat& status);

/// The Windows attributes of a directory entry: directory; system for anything that is
/// neither a regular file nor a directory; hidden for a name starting with "."; read-only;
/// normal when none of these applies.
uint32_t AttributesOf(const char* path, const char* name, const struct stat& status);

/// Whether any open made through CreateFileA (in any process) holds the regular file.
bool IsInUse(const char* path);

/// Fails a call on a path with the last error that errno gives, as Windows tells a missing
/// file (ERROR_FILE_NOT_FOUND) from a missing directory on its way (ERROR_PATH_NOT_FOUND).
/// Returns false, for `return FailForPath(path);`.
bool FailForPath(const char* path);

/// The flock operation that holds a share mode between processes. A whole-file lock has
/// only two strengths, so an open that shares reading or writing takes the shared lock and
/// one that shares neither the exclusive lock: no sharing keeps every other open out, but
/// sharing only reading is not told from sharing only writing.
int ShareLockOperation(uint32_t shareMode);

}  // namespace platform::posix
