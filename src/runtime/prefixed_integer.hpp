#pragma once
// Reading an integer written after "&": hexadecimal, octal or binary, with a type suffix.

#include <cstdint>

/// The integer whose digits start at `text` (just after the "&") and end before `end`: "H"
/// or "h" for base 16, "O", "o", "Q" or "q" for base 8, "B" or "b" for base 2, and base 8
/// for anything else (that byte then belongs to the digits). The digits fill 64 bits (0 when
/// they overflow them, or when there is none); the suffix "%", "&", "&&" or one to three "?"
/// and the first digit decide whether the pattern is read as a 16-, 32- or 64-bit signed or
/// a 64-bit unsigned integer.
int64_t NumParsePrefixedInteger(const char* text, const char* end);
