#include "runtime/power_of_ten.hpp"

#include <gtest/gtest.h>

#include <compare>
#include <limits>
#include <vector>

#include "testing/sim_runtime.hpp"

namespace {

// An exact unsigned integer, to derive powers of ten independently of the code under test:
// 32-bit limbs, least significant first, schoolbook products.
class BigUnsigned {
  public:
    explicit BigUnsigned(uint64_t value)
        : limbs_{static_cast<uint32_t>(value), static_cast<uint32_t>(value >> 32)} {
        Trim();
    }

    BigUnsigned operator*(const BigUnsigned& other) const {
        BigUnsigned product(0);
        product.limbs_.assign(limbs_.size() + other.limbs_.size(), 0);
        for (size_t i = 0; i < limbs_.size(); ++i) {
            uint64_t carry = 0;
            for (size_t j = 0; j < other.limbs_.size(); ++j) {
                const uint64_t sum =
                    uint64_t{limbs_[i]} * other.limbs_[j] + product.limbs_[i + j] + carry;
                product.limbs_[i + j] = static_cast<uint32_t>(sum);
                carry = sum >> 32;
            }
            product.limbs_[i + other.limbs_.size()] = static_cast<uint32_t>(carry);
        }
        product.Trim();
        return product;
    }

    BigUnsigned ShiftedLeft(int bits) const {
        BigUnsigned shifted(0);
        shifted.limbs_.assign(limbs_.size() + bits / 32 + 1, 0);
        for (size_t i = 0; i < limbs_.size(); ++i) {
            const uint64_t moved = uint64_t{limbs_[i]} << (bits % 32);
            shifted.limbs_[i + bits / 32] |= static_cast<uint32_t>(moved);
            shifted.limbs_[i + bits / 32 + 1] |= static_cast<uint32_t>(moved >> 32);
        }
        shifted.Trim();
        return shifted;
    }

    // The distance between two values.
    static BigUnsigned Distance(const BigUnsigned& a, const BigUnsigned& b) {
        const BigUnsigned& larger = a < b ? b : a;
        const BigUnsigned& smaller = a < b ? a : b;
        BigUnsigned difference = larger;
        int64_t borrow = 0;
        for (size_t i = 0; i < difference.limbs_.size(); ++i) {
            int64_t limb = int64_t{difference.limbs_[i]} - borrow -
                           (i < smaller.limbs_.size() ? smaller.limbs_[i] : 0);
            borrow = limb < 0;
            difference.limbs_[i] = static_cast<uint32_t>(limb + (borrow << 32));
        }
        difference.Trim();
        return difference;
    }

    friend std::strong_ordering operator<=>(const BigUnsigned& a, const BigUnsigned& b) {
        if (a.limbs_.size() != b.limbs_.size()) return a.limbs_.size() <=> b.limbs_.size();
        for (size_t i = a.limbs_.size(); i-- > 0;) {
            if (a.limbs_[i] != b.limbs_[i]) return a.limbs_[i] <=> b.limbs_[i];
        }
        return std::strong_ordering::equal;
    }
    friend bool operator==(const BigUnsigned& a, const BigUnsigned& b) = default;

  private:
    void Trim() {
        while (!limbs_.empty() && limbs_.back() == 0)
            limbs_.pop_back();
    }

    std::vector<uint32_t> limbs_;
};

// How far `value` lies from the exact fraction numerator / denominator, against a
// tolerance of `halfUnits` halves of the value's last place: less, equal or greater.
std::strong_ordering DistanceComparedWith(long double value, const BigUnsigned& numerator,
                                          const BigUnsigned& denominator, uint64_t halfUnits) {
    const ExtendedFields fields = ExtendedSplit(value);
    // value = significand * 2^exponent; everything is doubled so that half a unit is whole.
    const int exponent = fields.exponent - kExtendedExponentBias - 63;
    const BigUnsigned doubledValue = BigUnsigned(fields.significand).ShiftedLeft(1) * denominator;
    const BigUnsigned doubledExact = numerator.ShiftedLeft(1);
    const BigUnsigned tolerance = BigUnsigned(halfUnits) * denominator;
    if (exponent >= 0) {
        return BigUnsigned::Distance(doubledExact, doubledValue.ShiftedLeft(exponent)) <=>
               tolerance.ShiftedLeft(exponent);
    }
    return BigUnsigned::Distance(doubledExact.ShiftedLeft(-exponent), doubledValue) <=> tolerance;
}

// Whether `value` is the extended number nearest to numerator / denominator, halves to even.
::testing::AssertionResult IsNearest(long double value, const BigUnsigned& exact) {
    const std::strong_ordering distance = DistanceComparedWith(value, exact, BigUnsigned(1), 1);
    const bool evenSignificand = (ExtendedSplit(value).significand & 1) == 0;
    if (distance < 0 || (distance == 0 && evenSignificand)) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "not the nearest extended value";
}

::testing::AssertionResult IsWithin(long double value, const BigUnsigned& numerator,
                                    const BigUnsigned& denominator, uint64_t halfUnits) {
    if (DistanceComparedWith(value, numerator, denominator, halfUnits) <= 0) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "more than " << halfUnits << " half units off";
}

// Every scaled power rounds at most 11 times in extended precision (up to nine products of
// table entries that are themselves within half a unit, and the final product or quotient),
// so it lies within 10 units of the exact power; a wrong entry or exponent bit lies far
// outside.
constexpr uint64_t kScalingHalfUnits = 20;

class PowerOfTenTest : public SimRuntimeTest {};

TEST_F(PowerOfTenTest, TableHoldsTheNearestExtendedValueOfEveryPower) {
    BigUnsigned power(1);
    for (size_t n = 0; n < kNumSmallPowersOfTen.size(); ++n) {
        EXPECT_TRUE(IsNearest(kNumSmallPowersOfTen[n], power)) << "10^" << n;
        power = power * BigUnsigned(10);
    }
    // 10^8, then each entry the square of the one before, exactly.
    power = BigUnsigned(100000000);
    for (size_t i = 0; i < kNumLargePowersOfTen.size(); ++i) {
        EXPECT_TRUE(IsNearest(kNumLargePowersOfTen[i], power)) << "10^" << (8 << i);
        power = power * power;
    }
    EXPECT_TRUE(IsNearest(kNumTenTo18, BigUnsigned(1000000000000000000)));
}

TEST_F(PowerOfTenTest, ScalesOneToEveryPositivePowerWithinTenUnits) {
    BigUnsigned power(1);
    for (int32_t n = 0; n <= 4932; ++n) {
        ASSERT_TRUE(IsWithin(NumScaleByPowerOfTen(1, n), power, BigUnsigned(1), kScalingHalfUnits))
            << "10^" << n;
        power = power * BigUnsigned(10);
    }
    EXPECT_EQ(NumScaleByPowerOfTen(1, 4933), std::numeric_limits<long double>::infinity());
}

TEST_F(PowerOfTenTest, ScalesOneToEveryNegativePowerWithinTenUnits) {
    BigUnsigned power(10);
    for (int32_t n = 1; n <= 4931; ++n) {
        ASSERT_TRUE(IsWithin(NumScaleByPowerOfTen(1, -n), BigUnsigned(1), power, kScalingHalfUnits))
            << "10^-" << n;
        power = power * BigUnsigned(10);
    }
}

TEST_F(PowerOfTenTest, ExponentsBeyond4096ApplyTheLargestPowerFirst) {
    // 10^4500 overflows nothing when 10^4096 is applied to a small number first.
    const long double tiny = NumScaleByPowerOfTen(1, -4500);
    EXPECT_GT(tiny, 0);
    EXPECT_NEAR(static_cast<double>(NumScaleByPowerOfTen(tiny, 4500)), 1.0, 1e-15);
    // Below the normal range the quotient loses bits gradually, not all at once.
    const long double subnormal = NumScaleByPowerOfTen(1e18L, -4951);
    EXPECT_GT(subnormal, 0);
    EXPECT_LT(subnormal, 1e-4931L);
    EXPECT_NEAR(static_cast<double>(NumScaleByPowerOfTen(subnormal, 4951) / 1e18L), 1.0, 1e-14);
}

}  // namespace
