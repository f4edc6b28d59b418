#include "runtime/power_of_ten.hpp"

#include <gtest/gtest.h>

#include <compare>
#include <limits>

#include "testing/big_unsigned.hpp"
#include "testing/extended_values.hpp"
#include "testing/number_arithmetics.hpp"
#include "testing/sim_runtime.hpp"

namespace {

// How far `value` lies from the exact fraction numerator / denominator, against a
// tolerance of `halfUnits` halves of the value's last place: less, equal or greater.
std::strong_ordering DistanceComparedWith(Extended value, const BigUnsigned& numerator,
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
::testing::AssertionResult IsNearest(Extended value, const BigUnsigned& exact) {
    const std::strong_ordering distance = DistanceComparedWith(value, exact, BigUnsigned(1), 1);
    const bool evenSignificand = (ExtendedSplit(value).significand & 1) == 0;
    if (distance < 0 || (distance == 0 && evenSignificand)) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "not the nearest extended value";
}

::testing::AssertionResult IsWithin(Extended value, const BigUnsigned& numerator,
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

template <typename Real>
class ScaleByPowerOfTenTest : public SimRuntimeTest {
  protected:
    static Extended Scale(Extended x, int32_t n) {
        return static_cast<Extended>(NumScaleByPowerOfTen(Real(x), n));
    }
};
TYPED_TEST_SUITE(ScaleByPowerOfTenTest, NumArithmetics, NumArithmeticName);

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

TYPED_TEST(ScaleByPowerOfTenTest, ScalesOneToEveryPositivePowerWithinTenUnits) {
    BigUnsigned power(1);
    for (int32_t n = 0; n <= 4932; ++n) {
        ASSERT_TRUE(IsWithin(this->Scale(1, n), power, BigUnsigned(1), kScalingHalfUnits))
            << "10^" << n;
        power = power * BigUnsigned(10);
    }
    EXPECT_EQ(this->Scale(1, 4933), std::numeric_limits<Extended>::infinity());
}

TYPED_TEST(ScaleByPowerOfTenTest, ScalesOneToEveryNegativePowerWithinTenUnits) {
    BigUnsigned power(10);
    for (int32_t n = 1; n <= 4931; ++n) {
        ASSERT_TRUE(IsWithin(this->Scale(1, -n), BigUnsigned(1), power, kScalingHalfUnits))
            << "10^-" << n;
        power = power * BigUnsigned(10);
    }
}

TYPED_TEST(ScaleByPowerOfTenTest, ExponentsBeyond4096ApplyTheLargestPowerFirst) {
    // 10^4500 overflows nothing when 10^4096 is applied to a small number first.
    const Extended tiny = this->Scale(1, -4500);
    EXPECT_GT(tiny, 0);
    EXPECT_NEAR(static_cast<double>(this->Scale(tiny, 4500)), 1.0, 1e-15);
    // Below the normal range the quotient loses bits gradually, not all at once.
    const Extended tenTo18 = ExtendedFromDecimal("1e18");
    const Extended subnormal = this->Scale(tenTo18, -4951);
    EXPECT_GT(subnormal, 0);
    EXPECT_LT(subnormal, ExtendedFromDecimal("1e-4931"));
    EXPECT_NEAR(static_cast<double>(this->Scale(subnormal, 4951) / tenTo18), 1.0, 1e-14);
}

}  // namespace
