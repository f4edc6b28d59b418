#pragma once
// The significant decimal digits of a number, as NumToText prints them.

#include <cstdint>

#include "runtime/extended.hpp"

/// The most significant digits a number is printed with.
inline constexpr int32_t kNumMaxDigits = 18;

/// A number written as 0.d1d2...dk * 10^position, sign apart.
struct DecimalDigits {
    /// The ASCII digits d1..dk; the last one is not "0".
    char digits[kNumMaxDigits];
    /// k: 0 for a zero value (and for NaN).
    int32_t count;
    int32_t position;
    bool negative;
};

/// The count of significant digits that a requested count means: 0, 18 and more, and
/// negative counts (taken as unsigned) mean 18.
int32_t NumSignificantDigits(int32_t requested);

/// The first `significantDigits` (1..18) digits of `value`, rounded on the digit after them
/// alone (up above "5", and at "5" when the last kept digit is odd), trailing zeros removed,
/// computed in the arithmetic `Real` (Extended, or X87Extended where there is one). Zero,
/// NaN and values with a zero exponent field have no digits and a positive sign; an infinity
/// is that many nines at position 999.
template <typename Real>
DecimalDigits NumDecimalDigits(Extended value, int32_t significantDigits);

/// Writes the decimal digits of `value` to `out` (room for 20 bytes) and returns their count.
int32_t NumWriteDecimal(uint64_t value, char* out);
