#pragma once
// The text layouts of a number's significant digits: whole, fixed point or exponent form.

#include <cstdint>

#include "runtime/decimal_digits.hpp"

/// The longest text a layout makes: the sign position, 18 digits, ".", "E", the exponent's
/// sign and four exponent digits.
inline constexpr int32_t kNumTextMaxLength = 26;

/// Writes `number` as printed with `significantDigits` (1..18) digits to `out` (room for
/// kNumTextMaxLength bytes) and returns the length. The first byte is " " or "-"; then the
/// digits followed by zeros, or fixed point without a "0" before a leading ".", when that
/// needs no more than `significantDigits` digit places; otherwise the exponent form
/// d.dddE+x or d.dddE-x.
int32_t NumLayOut(const DecimalDigits& number, int32_t significantDigits, char* out);
