#include "runtime/power_of_ten.hpp"

#include <algorithm>
#include <bit>

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

// 2^exponent for 0 <= exponent < 16384, exact.
constexpr long double TwoToThe(int exponent) {
    long double result = 1;
    long double factor = 2;
    while (true) {
        if (exponent & 1) result *= factor;
        exponent >>= 1;
        if (exponent == 0) return result;
        factor *= factor;
    }
}

// An exact unsigned integer with room for 5^4096 (9,511 bits).
class ExactInteger {
  public:
    constexpr void MultiplyBy(uint64_t factor) {
        uint64_t carry = 0;
        for (int i = 0; i < used_; ++i) {
            const unsigned __int128 product =
                static_cast<unsigned __int128>(limbs_[i]) * factor + carry;
            limbs_[i] = static_cast<uint64_t>(product);
            carry = static_cast<uint64_t>(product >> 64);
        }
        if (carry != 0) limbs_[used_++] = carry;
    }

    // The extended value nearest to this integer times 2^binaryExponent, halves to even.
    constexpr long double TimesTwoToThe(int binaryExponent) const {
        const int bits = 64 * (used_ - 1) + std::bit_width(limbs_[used_ - 1]);
        if (bits <= 64) return static_cast<long double>(limbs_[0]) * TwoToThe(binaryExponent);
        int shift = bits - 64;
        uint64_t significand = BitsFrom(shift);
        const bool roundBit = (BitsFrom(shift - 1) & 1) != 0;
        if (roundBit && (AnyBitBelow(shift - 1) || (significand & 1) != 0)) {
            if (++significand == 0) {  // the carry left the 64 bits
                significand = uint64_t{1} << 63;
                ++shift;
            }
        }
        return static_cast<long double>(significand) * TwoToThe(shift + binaryExponent);
    }

  private:
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

constexpr std::array<long double, 10> MakeLargePowersOfTen() {
    std::array<long double, 10> table{};
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

constexpr std::array<long double, 8> kNumSmallPowersOfTen = {1e0L, 1e1L, 1e2L, 1e3L,
                                                             1e4L, 1e5L, 1e6L, 1e7L};

constexpr std::array<long double, 10> kNumLargePowersOfTen = MakeLargePowersOfTen();

long double NumScaleByPowerOfTen(long double x, int32_t n) {
    // The conversions' exponents stay below 2 * 4096, so each loop runs at most once for them.
    while (n > kLargestExponent) {
        x *= kNumLargePowersOfTen.back();
        n -= kLargestExponent;
    }
    while (n < -kLargestExponent) {
        x /= kNumLargePowersOfTen.back();
        n += kLargestExponent;
    }
    const uint32_t magnitude = static_cast<uint32_t>(n < 0 ? -n : n);
    long double power = kNumSmallPowersOfTen[magnitude % 8];
    size_t entry = 0;
    for (uint32_t bits = magnitude / 8; bits != 0; bits >>= 1, ++entry) {
        if (bits & 1) power *= kNumLargePowersOfTen[entry];
    }
    return n < 0 ? x / power : x * power;
}
