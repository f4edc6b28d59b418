#pragma once
// Conversion between numbers and decimal text, in 80-bit extended precision.

#include <cstdint>
#include <type_traits>

#include "runtime/extended.hpp"
#include "runtime/text.hpp"
#include "runtime/x87_extended.hpp"

/// The arithmetic the conversions compute in, and the type of the numbers they give: the x87
/// where long double is its format (the hardware is faster there, and its numbers stay in
/// its registers), else Extended's integers. Both give the same results, and both convert to
/// float and double with static_cast. Each conversion takes its arithmetic as a template
/// argument, so that the tests and the number sweep run both.
#if VIRODARO_X87_LONG_DOUBLE
using NumArithmetic = X87Extended;
#else
using NumArithmetic = Extended;
#endif

/// The number at the start of `text`, after any blanks, tabs and line feeds: a decimal number
/// ("-12.5", "1E3", "2.5d-3") or an integer after "&" ("&HFF", "&O17", "&B101", with the
/// suffixes "%", "&", "&&" and "?"). The rest of the text is ignored; a text that holds no
/// number gives 0. Raises no error.
template <typename Real = NumArithmetic>
Real TextToNum(const Text& text);

/// `value` (a float, double, integer or extended value) with `digits` significant digits
/// (1..17; 0 and 18 or more mean 18): " " or "-", then the digits as an integer ("25"), as a
/// fixed-point number without a leading "0" (".5", "1234.568") or in exponent form
/// ("1.234568E+7", "1.234E-5"). NaN gives " 0". Raises error 7, and gives the empty text,
/// when memory is short.
template <typename Real = NumArithmetic>
Text NumToText(Extended value, int32_t digits);

/// `value` (a float, double, integer or number of the arithmetic) rounded to `places` decimal
/// places (18 or more, negative counts included, mean 18), halves to even: NumRound(2.5, 0)
/// is 2 and NumRound(3.5, 0) is 4.
template <typename Real = NumArithmetic>
Real NumRound(std::type_identity_t<Real> value, int32_t places);
