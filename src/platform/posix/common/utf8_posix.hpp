#pragma once
// UTF-8, the encoding of the terminal and of the text handed to cairo.

#include <string>

namespace platform::posix {

/// Appends a character of the Basic Multilingual Plane to `out` in UTF-8.
void AppendUtf8(char32_t codePoint, std::string& out);

}  // namespace platform::posix
