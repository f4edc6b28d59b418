#include "runtime/power_of_ten.hpp"

#include <algorithm>
#include <bit>

#include "runtime/wide_integer.hpp"
#include "runtime/x87_extended.hpp"

namespace {

// The large powers are built at compile time from exact integers: 10^n = 5^n * 2^n, and 5^n
// is kept exactly until it is rounded once to 64 significant bits. Repeated squaring in
// extended precision would round at every step and miss the nearest value for the larger
// powers.

// 5^27 is the largest power of five that fits in 64 bits.
constexpr int kFivePowerStep = 27;

constexpr uint64_t FiveToThe(int exponent) {
    uint64_t power = 1;
    for (int i = 0; i < exponent; ++i)
        power *= 5;
    return power;
}

// An exact unsigned integer with room for 5^4096 (9,511 bits).
class ExactInteger {
  public:
    constexpr void MultiplyBy(uint64_t factor) {
        uint64_t carry = 0;
        for (int i = 0; i < used_; ++i) {
            const WideUnsigned product = WideMultiply(limbs_[i], factor);
            limbs_[i] = product.low + carry;
            carry = product.high + (limbs_[i] < carry ? 1 : 0);
        }
        if (carry != 0) limbs_[used_++] = carry;
    }

    // The extended value nearest to this integer times 2^binaryExponent, halves to even.
    constexpr Extended TimesTwoToThe(int binaryExponent) const {
        const int bits = 64 * (used_ - 1) + std::bit_width(limbs_[used_ - 1]);
        // The value is significand * 2^(exponent - 63).
        int exponent = bits - 1 + binaryExponent;
        if (bits <= 64) return WithExponent(exponent, limbs_[0] << (64 - bits));
        const int shift = bits - 64;
        uint64_t significand = BitsFrom(shift);
        const bool roundBit = (BitsFrom(shift - 1) & 1) != 0;
        if (roundBit && (AnyBitBelow(shift - 1) || (significand & 1) != 0)) {
            if (++significand == 0) {  // the carry left the 64 bits
                significand = kExtendedIntegerBit;
                ++exponent;
            }
        }
        return WithExponent(exponent, significand);
    }

  private:
    static constexpr Extended WithExponent(int exponent, uint64_t significand) {
        return Extended::FromFields(false, static_cast<uint16_t>(exponent + kExtendedExponentBias),
                                    significand);
    }

    // The 64 bits starting at bit `position`.
    constexpr uint64_t BitsFrom(int position) const {
        const int limb = position / 64, offset = position % 64;
        uint64_t result = limbs_[limb] >> offset;
        if (offset != 0 && limb + 1 < used_) result |= limbs_[limb + 1] << (64 - offset);
        return result;
    }

    constexpr bool AnyBitBelow(int position) const {
        const int limb = position / 64, offset = position % 64;
        for (int i = 0; i < limb; ++i) {
            if (limbs_[i] != 0) return true;
        }
        return offset != 0 && (limbs_[limb] & ((uint64_t{1} << offset) - 1)) != 0;
    }

    static constexpr int kLimbs = 150;
    uint64_t limbs_[kLimbs] = {1};
    int used_ = 1;
};

constexpr std::array<Extended, 10> MakeLargePowersOfTen() {
    std::array<Extended, 10> table{};
    ExactInteger fivePower;
    int exponent = 0;
    for (size_t i = 0; i < table.size(); ++i) {
        const int target = 8 << i;
        while (exponent < target) {
            const int step = std::min(kFivePowerStep, target - exponent);
            fivePower.MultiplyBy(FiveToThe(step));
            exponent += step;
        }
        table[i] = fivePower.TimesTwoToThe(exponent);
    }
    return table;
}

constexpr int32_t kLargestExponent = 4096;

}  // namespace

constexpr std::array<Extended, 8> kNumSmallPowersOfTen = {
    Extended(1),     Extended(10),     Extended(100),     Extended(1000),
    Extended(10000), Extended(100000), Extended(1000000), Extended(10000000)};

constexpr std::array<Extended, 10> kNumLargePowersOfTen = MakeLargePowersOfTen();

namespace {

// The tables in the arithmetic that uses them.
template <typename Real, size_t kSize>
constexpr std::array<Real, kSize> InArithmetic(const std::array<Extended, kSize>& values) {
    std::array<Real, kSize> result{};
    for (size_t i = 0; i < kSize; ++i)
        result[i] = Real(values[i]);
    return result;
}

template <typename Real>
constexpr std::array<Real, 8> kSmallPowers = InArithmetic<Real>(kNumSmallPowersOfTen);

template <typename Real>
constexpr std::array<Real, 10> kLargePowers = InArithmetic<Real>(kNumLargePowersOfTen);

}  // namespace

template <typename Real>
Real NumScaleByPowerOfTen(Real x, int32_t n) {
    // The conversions' exponents stay below 2 * 4096, so each loop runs at most once for them.
    while (n > kLargestExponent) {
        x = x * kLargePowers<Real>.back();
        n -= kLargestExponent;
    }
    while (n < -kLargestExponent) {
        x = x / kLargePowers<Real>.back();
        n += kLargestExponent;
    }
    const uint32_t magnitude = static_cast<uint32_t>(n < 0 ? -n : n);
    Real power = kSmallPowers<Real>[magnitude % 8];
    size_t entry = 0;
    for (uint32_t bits = magnitude / 8; bits != 0; bits >>= 1, ++entry) {
        if (bits & 1) power = power * kLargePowers<Real>[entry];
    }
    return n < 0 ? x / power : x * power;
}

template Extended NumScaleByPowerOfTen(Extended x, int32_t n);
#if VIRODARO_X87_LONG_DOUBLE
template X87Extended NumScaleByPowerOfTen(X87Extended x, int32_t n);
#endif
