// The expected values of the number tests come from ExtendedFromDecimal on every processor;
// where long double is the x87 format, the compiler's own rounding of the same literals
// checks it.

#include "testing/extended_values.hpp"

#include <gtest/gtest.h>

#include "runtime/x87_extended.hpp"

namespace {

bool SameBits(Extended a, Extended b) {
    return a.significand == b.significand && a.signAndExponent == b.signAndExponent;
}

TEST(ExtendedValuesTest, DecimalsThatDoublesHoldExactlyGiveThoseDoubles) {
    EXPECT_TRUE(SameBits(ExtendedFromDecimal("0.5"), Extended(0.5)));
    EXPECT_TRUE(SameBits(ExtendedFromDecimal("-2.25"), Extended(-2.25)));
    EXPECT_TRUE(SameBits(ExtendedFromDecimal("1e22"), Extended(1e22)));
    EXPECT_TRUE(SameBits(ExtendedFromDecimal("0"), Extended(0)));
    EXPECT_TRUE(SameBits(ExtendedFromDecimal("9007199254740993"), Extended(9007199254740993)));
    EXPECT_TRUE(SameBits(ExtendedFromDecimal("1e5000"), std::numeric_limits<Extended>::infinity()));
}

#if VIRODARO_X87_LONG_DOUBLE
TEST(ExtendedValuesTest, DecimalsRoundAsTheCompilerRoundsX87Literals) {
    const struct {
        const char* text;
        long double literal;
    } cases[] = {
#define LITERAL(x) {#x, x##L}
        LITERAL(1.12),
        LITERAL(0.1234567890123456789),
        LITERAL(0.12345678901234567891),
        LITERAL(-7.062),
        LITERAL(100.05),
        LITERAL(0.0025),
        LITERAL(9.99e4931),
        LITERAL(1e4000),
        LITERAL(1e-4931),
        LITERAL(3.6451995318824746025e-4951),  // the smallest subnormal
        LITERAL(5.4677992978237119037e-4951),  // 1.5 times it: a tie, to even
        LITERAL(1.18973149535723176502e4932),  // the largest number
        LITERAL(18446744073709551615.5),       // a tie at 2^64, to even
        LITERAL(0.333333333333333333333333),
#undef LITERAL
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(
            SameBits(ExtendedFromDecimal(c.text), static_cast<Extended>(X87Extended(c.literal))))
            << c.text;
    }
}
#endif

}  // namespace
