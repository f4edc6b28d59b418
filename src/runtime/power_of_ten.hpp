#pragma once
// Powers of ten in extended precision, and scaling a number by one.

#include <array>
#include <cstdint>

#include "runtime/extended_precision.hpp"

/// 10^0 .. 10^7, exact.
extern const std::array<long double, 8> kNumSmallPowersOfTen;

/// 10^(8 * 2^i) for i = 0..9, that is 10^8, 10^16, 10^32 .. 10^4096, each the extended value
/// nearest to the exact power (halves to even).
extern const std::array<long double, 10> kNumLargePowersOfTen;

/// 10^18, exact: an 18-digit integer is below it.
inline constexpr long double kNumTenTo18 = 1000000000000000000.0L;

/// x * 10^n, with the rounding of every step to extended precision that conversions rely
/// on: beyond 10^4096 the largest power is applied first; then 10^(|n| mod 8) is multiplied
/// by the large power for every set bit of |n| div 8, lowest first, and x is multiplied (n
/// positive) or divided (n negative) by that product.
long double NumScaleByPowerOfTen(long double x, int32_t n);
