#pragma once
// Name matching for directory searches, the way Windows matches a search pattern, for the
// backends whose operating system has no such search of its own.

#include <string_view>

namespace platform {

/// Whether a name matches a pattern: "*" matches any run of bytes (none included), "?"
/// exactly one byte, and a "." followed only by "*" up to the end may also match the end
/// of the name, so "*.*" matches every name and "a.*" matches "a". Every other byte
/// matches itself; case counts.
bool WildcardMatch(std::string_view pattern, std::string_view name);

/// Whether a pattern holds "*" or "?".
bool HasWildcard(std::string_view pattern);

}  // namespace platform
