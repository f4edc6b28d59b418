#pragma once
// Reading a decimal number: sign, mantissa and exponent.

#include "runtime/extended.hpp"

/// The decimal number at the start of the bytes [text, end): an optional "+" or "-", digits
/// with at most one ".", then optionally "E", "e", "D" or "d", an optional sign and exponent
/// digits. Reading stops at the first byte that does not fit. The first 18 significant digits
/// count, later ones are truncated; the exponent saturates at 9999; a decimal exponent of
/// 4933 or more gives 2^127 and one of -4933 or less gives 0. No mantissa digit, or only
/// zeros, gives 0. Computed in the arithmetic `Real` (Extended, or X87Extended where there is
/// one).
template <typename Real>
Real NumParseDecimal(const char* text, const char* end);
