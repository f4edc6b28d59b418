#pragma once
// Texts handed to the OS as paths, and the parts of a path that the directory services need.

#include <optional>
#include <string>
#include <string_view>

#include "runtime/text.hpp"

/// The bytes as a NUL-terminated path for the OS, whole. Bytes that the platform's calls
/// cannot take whole (longer than the platform's limit, or holding a NUL byte, before which
/// the OS would stop reading) raise error 64 and give nothing: a shortened path names
/// another file, and could even end in a separator and so name a whole directory.
std::optional<std::string> FileOsPath(std::string_view bytes);

/// Whether the bytes hold the wildcard "*" or "?".
bool FileHasWildcard(std::string_view bytes);

/// The directory part of a path: up to and including its last separator (or drive colon);
/// empty when it has none.
std::string_view FileDirectoryPart(std::string_view path);

/// Whether the path ends with a separator or a drive colon, and so names a directory rather
/// than entries in it.
bool FileNamesDirectoryOnly(std::string_view path);

/// A file in a directory: the directory, the platform's separator and the name, joined as
/// they are (at a root the separator is therefore doubled, which every platform accepts).
Text FilePathJoin(const Text& directory, const Text& name);
