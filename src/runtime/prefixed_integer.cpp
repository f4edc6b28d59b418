#include "runtime/prefixed_integer.hpp"

#include <cstdint>

namespace {

enum class Suffix { kNone, kLong, kLongLong, kUnsigned };

// The number of bits one digit carries, from the byte after "&"; advances past the letter.
uint32_t BitsPerDigit(const char*& text, const char* end) {
    if (text == end) return 3;
    switch (*text) {
        case 'H':
        case 'h':
            ++text;
            return 4;
        case 'O':
        case 'o':
        case 'Q':
        case 'q':
            ++text;
            return 3;
        case 'B':
        case 'b':
            ++text;
            return 1;
        default:
            return 3;
    }
}

// The value of a digit 0-9 or A-F in either case; 16 for any other byte.
uint32_t DigitValue(char byte) {
    if (byte >= '0' && byte <= '9') return static_cast<uint32_t>(byte - '0');
    const char upper = static_cast<char>(byte & ~0x20);
    if (upper >= 'A' && upper <= 'F') return static_cast<uint32_t>(upper - 'A' + 10);
    return 16;
}

// "%" asks for what a number without a suffix gets anyway, so it reads as none.
Suffix ReadSuffix(const char* text, const char* end) {
    if (text == end) return Suffix::kNone;
    switch (*text) {
        case '&':
            return text + 1 != end && text[1] == '&' ? Suffix::kLongLong : Suffix::kLong;
        case '?':
            return Suffix::kUnsigned;
        default:
            return Suffix::kNone;
    }
}

}  // namespace

int64_t NumParsePrefixedInteger(const char* text, const char* end) {
    const uint32_t bits = BitsPerDigit(text, end);
    const uint32_t base = 1u << bits;
    const char* const digits = text;
    uint64_t pattern = 0;
    for (; text != end && DigitValue(*text) < base; ++text) {
        // A digit that would push a set bit out of the 64 bits spoils the whole number.
        if ((pattern >> (64 - bits)) != 0) return 0;
        pattern = (pattern << bits) | DigitValue(*text);
    }
    if (text == digits) return 0;

    // Only the kind of suffix matters: the rest of the text is not read.
    const Suffix suffix = ReadSuffix(text, end);
    int64_t value;
    if (suffix == Suffix::kUnsigned) {
        if ((pattern >> 63) != 0) return 0;
        value = static_cast<int64_t>(pattern);
    } else if (*digits == '0' || suffix == Suffix::kLongLong || pattern > UINT32_MAX) {
        value = static_cast<int64_t>(pattern);
    } else if (pattern > UINT16_MAX) {
        value = static_cast<int32_t>(static_cast<uint32_t>(pattern));
    } else if (suffix == Suffix::kLong) {
        value = static_cast<int64_t>(pattern);
    } else {
        value = static_cast<int16_t>(static_cast<uint16_t>(pattern));
    }
    return value;
}
