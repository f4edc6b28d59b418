#pragma once
// Code page 437, the console's code page: how bytes 128..255 (and the control codes shown as
// glyphs) appear on a UTF-8 terminal, and which byte a typed character stands for.

#include <cstdint>
#include <string>

namespace platform::posix {

/// Appends the byte's glyph to `out` in UTF-8.
void AppendCp437AsUtf8(uint8_t byte, std::string& out);

/// The byte whose glyph is `codePoint`, or -1 when code page 437 has none.
int Cp437FromUnicode(char32_t codePoint);

}  // namespace platform::posix
