#pragma once
// The 80-bit x87 extended format that every conversion between numbers and text works in.

#include <cstdint>
#include <cstring>
#include <limits>

static_assert(std::numeric_limits<long double>::digits == 64 &&
                  std::numeric_limits<long double>::max_exponent == 16384 &&
                  std::numeric_limits<long double>::min_exponent == -16381,
              "number conversions need long double to be the x87 80-bit extended format "
              "(64-bit significand, 15-bit exponent), as on x86-64 with GCC or Clang for "
              "Linux and mingw-w64");

/// The bias of the 15-bit exponent field.
inline constexpr int32_t kExtendedExponentBias = 16383;
/// The exponent field of infinities and NaNs.
inline constexpr uint16_t kExtendedExponentAllOnes = 0x7FFF;
/// 2^63: every extended value of this magnitude or more is an integer.
inline constexpr long double kExtendedTwoTo63 = 9223372036854775808.0L;

/// The fields of an extended-precision value as they lie in memory.
struct ExtendedFields {
    /// The 64-bit significand, its integer bit (bit 63) explicit.
    uint64_t significand;
    /// The biased exponent, 0..0x7FFF.
    uint16_t exponent;
    bool negative;
};

/// Reads the fields of `value` from its bytes; any bit pattern is allowed.
inline ExtendedFields ExtendedSplit(long double value) {
    unsigned char bytes[sizeof(long double)];
    std::memcpy(bytes, &value, sizeof bytes);
    ExtendedFields fields;
    std::memcpy(&fields.significand, bytes, sizeof fields.significand);
    uint16_t signAndExponent;
    std::memcpy(&signAndExponent, bytes + 8, sizeof signAndExponent);
    fields.exponent = signAndExponent & kExtendedExponentAllOnes;
    fields.negative = (signAndExponent >> 15) != 0;
    return fields;
}

/// `value` rounded to an integer, halves to even. Relies on the round-to-nearest, 64-bit
/// precision mode that start-up loads; infinities and NaNs come back unchanged.
inline long double ExtendedRoundToInteger(long double value) {
    const long double magnitude = value < 0 ? -value : value;
    if (!(magnitude < kExtendedTwoTo63)) return value;
    // Below 2^63, adding 2^63 leaves no bits for a fraction, so the addition itself rounds
    // the fraction away; subtracting 2^63 again is exact. It is much faster than the
    // library's rounding functions, and digit generation rounds twice per number.
    const long double rounded = (magnitude + kExtendedTwoTo63) - kExtendedTwoTo63;
    return value < 0 ? -rounded : rounded;
}
