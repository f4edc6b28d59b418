#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "runtime/number.hpp"
#include "testing/sim_runtime.hpp"

namespace {

class NumRoundTest : public SimRuntimeTest {};

TEST_F(NumRoundTest, RoundsHalvesToEven) {
    EXPECT_EQ(NumRound(2.5L, 0), 2);
    EXPECT_EQ(NumRound(3.5L, 0), 4);
    EXPECT_EQ(NumRound(2400.5L, 0), 2400);
    EXPECT_EQ(NumRound(-2.5L, 0), -2);
    EXPECT_EQ(NumRound(-3.5L, 0), -4);
    EXPECT_EQ(NumRound(2.4999L, 0), 2);
    EXPECT_EQ(NumRound(1239.5f, 0), 1240);  // a float, widened as callers pass it
}

TEST_F(NumRoundTest, RoundsToTheGivenDecimalPlaces) {
    EXPECT_EQ(NumRound(1.125L, 2), 1.12L);  // 112.5 rounds to even
    EXPECT_EQ(NumRound(1.135L, 2), 1.14L);
    EXPECT_EQ(NumRound(-7.0625L, 3), -7.062L);
    EXPECT_EQ(NumRound(0.1234567890123456789L, 5), 0.12346L);
}

TEST_F(NumRoundTest, PlacesFromEighteenOnAndNegativePlacesMeanEighteen) {
    const long double value = 0.12345678901234567891L;
    const long double eighteen = NumRound(value, 18);
    EXPECT_EQ(eighteen, 0.123456789012345679L);
    EXPECT_EQ(NumRound(value, 19), eighteen);
    EXPECT_EQ(NumRound(value, 1000), eighteen);
    EXPECT_EQ(NumRound(value, -1), eighteen);
    EXPECT_EQ(NumRound(value, INT32_MIN), eighteen);
}

TEST_F(NumRoundTest, LargeNumbersAreIntegersAlreadyAndStayAsTheyAre) {
    const long double largest = std::numeric_limits<long double>::max();
    const long double infinity = std::numeric_limits<long double>::infinity();
    // Scaling these by 10^d first would overflow or round them to a neighbour.
    EXPECT_EQ(NumRound(largest, 2), largest);
    EXPECT_EQ(NumRound(-largest, 18), -largest);
    EXPECT_EQ(NumRound(18446744073709551615.0L, 3), 18446744073709551615.0L);
    EXPECT_EQ(NumRound(infinity, 2), infinity);
    EXPECT_TRUE(std::isnan(NumRound(std::numeric_limits<long double>::quiet_NaN(), 0)));
}

}  // namespace
