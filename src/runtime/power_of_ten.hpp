#pragma once
// Powers of ten in extended precision, and scaling a number by one.

#include <array>
#include <cstdint>

#include "runtime/extended.hpp"

/// 10^0 .. 10^7, exact.
extern const std::array<Extended, 8> kNumSmallPowersOfTen;

/// 10^(8 * 2^i) for i = 0..9, that is 10^8, 10^16, 10^32 .. 10^4096, each the extended value
/// nearest to the exact power (halves to even).
extern const std::array<Extended, 10> kNumLargePowersOfTen;

/// 10^18, exact: an 18-digit integer is below it.
inline constexpr Extended kNumTenTo18 = Extended(uint64_t{1000000000000000000});

/// x * 10^n in the arithmetic `Real` (Extended, or X87Extended where there is one), with the
/// rounding of every step to extended precision that conversions rely on: beyond 10^4096
/// the largest power is applied first; then 10^(|n| mod 8) is multiplied by the large power
/// for every set bit of |n| div 8, lowest first, and x is multiplied (n positive) or divided
/// (n negative) by that product.
template <typename Real>
Real NumScaleByPowerOfTen(Real x, int32_t n);
