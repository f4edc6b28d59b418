#include <gtest/gtest.h>

#include <limits>

#include "runtime/number.hpp"
#include "testing/extended_values.hpp"
#include "testing/number_arithmetics.hpp"
#include "testing/sim_runtime.hpp"

namespace {

template <typename Real>
class NumRoundTest : public SimRuntimeTest {
  protected:
    static Extended NumRound(Extended value, int32_t places) {
        return static_cast<Extended>(::NumRound<Real>(Real(value), places));
    }
};
TYPED_TEST_SUITE(NumRoundTest, NumArithmetics, NumArithmeticName);

Extended Decimal(std::string_view text) { return ExtendedFromDecimal(text); }

TYPED_TEST(NumRoundTest, RoundsHalvesToEven) {
    EXPECT_EQ(this->NumRound(2.5, 0), 2);
    EXPECT_EQ(this->NumRound(3.5, 0), 4);
    EXPECT_EQ(this->NumRound(2400.5, 0), 2400);
    EXPECT_EQ(this->NumRound(-2.5, 0), -2);
    EXPECT_EQ(this->NumRound(-3.5, 0), -4);
    EXPECT_EQ(this->NumRound(Decimal("2.4999"), 0), 2);
    EXPECT_EQ(this->NumRound(1239.5f, 0), 1240);  // a float, widened as callers pass it
}

TYPED_TEST(NumRoundTest, RoundsToTheGivenDecimalPlaces) {
    EXPECT_EQ(this->NumRound(1.125, 2), Decimal("1.12"));  // 112.5 rounds to even
    EXPECT_EQ(this->NumRound(Decimal("1.135"), 2), Decimal("1.14"));
    EXPECT_EQ(this->NumRound(-7.0625, 3), Decimal("-7.062"));
    EXPECT_EQ(this->NumRound(Decimal("0.1234567890123456789"), 5), Decimal("0.12346"));
}

TYPED_TEST(NumRoundTest, PlacesFromEighteenOnAndNegativePlacesMeanEighteen) {
    const Extended value = Decimal("0.12345678901234567891");
    const Extended eighteen = this->NumRound(value, 18);
    EXPECT_EQ(eighteen, Decimal("0.123456789012345679"));
    EXPECT_EQ(this->NumRound(value, 19), eighteen);
    EXPECT_EQ(this->NumRound(value, 1000), eighteen);
    EXPECT_EQ(this->NumRound(value, -1), eighteen);
    EXPECT_EQ(this->NumRound(value, INT32_MIN), eighteen);
}

TYPED_TEST(NumRoundTest, LargeNumbersAreIntegersAlreadyAndStayAsTheyAre) {
    const Extended largest = std::numeric_limits<Extended>::max();
    const Extended infinity = std::numeric_limits<Extended>::infinity();
    // Scaling these by 10^d first would overflow or round them to a neighbour.
    EXPECT_EQ(this->NumRound(largest, 2), largest);
    EXPECT_EQ(this->NumRound(-largest, 18), -largest);
    EXPECT_EQ(this->NumRound(UINT64_MAX, 3), Extended(UINT64_MAX));
    EXPECT_EQ(this->NumRound(infinity, 2), infinity);
    EXPECT_TRUE(ExtendedIsNan(this->NumRound(std::numeric_limits<Extended>::quiet_NaN(), 0)));
}

}  // namespace
