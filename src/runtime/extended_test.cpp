#include "runtime/extended.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>

#include "testing/big_unsigned.hpp"
#include "testing/extended_values.hpp"

namespace {

using Limits = std::numeric_limits<Extended>;

constexpr Extended kDefaultNan = Extended::FromFields(true, 0x7FFF, 0xC000000000000000);

Extended Fields(uint16_t signAndExponent, uint64_t significand) {
    return Extended::FromFields((signAndExponent >> 15) != 0, signAndExponent & 0x7FFF,
                                significand);
}

::testing::AssertionResult SameBits(Extended actual, Extended expected) {
    if (actual.significand == expected.significand &&
        actual.signAndExponent == expected.signAndExponent) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << ::testing::PrintToString(actual) << ", expected "
                                         << ::testing::PrintToString(expected);
}

// A finite value significand * 2^(exponent - 63) as an exact fraction.
struct Exact {
    BigUnsigned numerator;
    BigUnsigned denominator;
};

Exact ExactValue(const ExtendedFields& fields) {
    // A zero exponent field stands for the exponent of field 1, without the integer bit.
    const int exponent = (fields.exponent == 0 ? 1 : fields.exponent) - kExtendedExponentBias - 63;
    const BigUnsigned significand(fields.significand);
    if (exponent >= 0) return {significand.ShiftedLeft(exponent), BigUnsigned(1)};
    return {significand, BigUnsigned(1).ShiftedLeft(-exponent)};
}

// A random finite operand with an exponent field as near `field` as the format allows.
// Every third one keeps only the top few bits of its significand, so that exact products hit
// halfway cases.
Extended RandomFinite(std::mt19937_64& generator, int field) {
    uint64_t significand = generator() | kExtendedIntegerBit;
    if (generator() % 3 == 0) significand &= ~uint64_t{0} << (32 + generator() % 32);
    return Extended::FromFields(generator() % 2 != 0,
                                static_cast<uint16_t>(std::clamp(field, 1, 0x7FFE)), significand);
}

// Products and quotients of random operands whose results fall anywhere from below the
// subnormals to beyond the largest number: each the nearest value of the exact result.
TEST(ExtendedTest, ProductsAndQuotientsAreTheNearestValuesOfTheExactResults) {
    std::mt19937_64 generator(2201);
    const int bias = kExtendedExponentBias;
    for (int i = 0; i < 3000; ++i) {
        // The second operand's exponent puts the result near the bottom, the middle or the
        // top of the range.
        const Extended a =
            RandomFinite(generator, bias - 8000 + static_cast<int>(generator() % 16001));
        const int aExponent = ExtendedSplit(a).exponent - bias;
        const int target = i % 3 == 0   ? 1 - bias - 70 + static_cast<int>(generator() % 90)
                           : i % 3 == 1 ? bias - static_cast<int>(generator() % 20)
                                        : static_cast<int>(generator() % 200) - 100;
        const Extended forProduct = RandomFinite(generator, target - aExponent + bias);
        const Extended forQuotient = RandomFinite(generator, aExponent - target + bias);
        const Exact x = ExactValue(ExtendedSplit(a));
        const Exact y = ExactValue(ExtendedSplit(forProduct));
        const Exact z = ExactValue(ExtendedSplit(forQuotient));
        const bool productNegative =
            ExtendedSplit(a).negative != ExtendedSplit(forProduct).negative;
        const bool quotientNegative =
            ExtendedSplit(a).negative != ExtendedSplit(forQuotient).negative;
        ASSERT_TRUE(SameBits(a * forProduct,
                             ExtendedNearest(x.numerator * y.numerator,
                                             x.denominator * y.denominator, productNegative)))
            << ::testing::PrintToString(a) << " * " << ::testing::PrintToString(forProduct);
        ASSERT_TRUE(SameBits(a / forQuotient,
                             ExtendedNearest(x.numerator * z.denominator,
                                             x.denominator * z.numerator, quotientNegative)))
            << ::testing::PrintToString(a) << " / " << ::testing::PrintToString(forQuotient);
    }
}

TEST(ExtendedTest, RoundsHalvesToEvenAndUnderflowsGradually) {
    const Extended one = 1;
    const Extended justAboveOne = Fields(0x3FFF, 0x8000000000000001);
    // (1 + 2^-63)^2 = 1 + 2^-62 + 2^-126: the last term is far below half a unit.
    EXPECT_TRUE(SameBits(justAboveOne * justAboveOne, Fields(0x3FFF, 0x8000000000000002)));
    // (2^32 + 1)^2 * 2^-64 needs 65 bits ending in 1: exactly half, to the even neighbour.
    const Extended factor = Fields(0x401F, 0x8000000080000000);
    EXPECT_TRUE(SameBits(factor * factor, Fields(0x403F, 0x8000000100000000)));
    // Halving the smallest subnormal is a tie between zero and itself: zero, the even one;
    // three halves of it round to two.
    const Extended half = 0.5;
    EXPECT_TRUE(SameBits(Limits::denorm_min() * half, Extended(0)));
    EXPECT_TRUE(SameBits(Fields(0, 3) * half, Fields(0, 2)));
    // The smallest normal number halved is a subnormal with the same bits shifted.
    EXPECT_TRUE(SameBits(Limits::min() * half, Fields(0, 0x4000000000000000)));
    // The largest subnormal rounds up to the smallest normal number.
    EXPECT_TRUE(SameBits(Fields(0, 0x7FFFFFFFFFFFFFFF) * justAboveOne, Limits::min()));
    // The largest number doubled, or rounded up, is infinite.
    EXPECT_TRUE(SameBits(Limits::max() * Extended(2), Limits::infinity()));
    EXPECT_TRUE(SameBits(-Limits::max() * justAboveOne, -Limits::infinity()));
    EXPECT_TRUE(SameBits(one / Limits::denorm_min(), Limits::infinity()));
}

// The x87's rules, from Intel's manual (operands of unsupported formats and the rules for
// generating a QNaN) and the results of a real x87.
TEST(ExtendedTest, SpecialOperandsGiveWhatTheX87Gives) {
    const Extended zero = 0, two = 2, infinity = Limits::infinity();
    const Extended quiet = Fields(0x7FFF, 0xC000000000000005);
    const Extended negativeQuiet = Fields(0xFFFF, 0xC000000000000005);
    const Extended signalling = Fields(0xFFFF, 0x8000000000000009);
    const Extended unnormal = Fields(0x3FFF, 0x4000000000000000);
    const Extended pseudoInfinity = Fields(0x7FFF, 0);
    const Extended pseudoDenormal = Fields(0x0000, 0x8000000000000000);

    EXPECT_TRUE(SameBits(zero * infinity, kDefaultNan));
    EXPECT_TRUE(SameBits(zero / zero, kDefaultNan));
    EXPECT_TRUE(SameBits(infinity / -infinity, kDefaultNan));
    EXPECT_TRUE(SameBits(-two / zero, -infinity));
    EXPECT_TRUE(SameBits(infinity / zero, infinity));
    EXPECT_TRUE(SameBits(two / -infinity, Fields(0x8000, 0)));
    EXPECT_TRUE(SameBits(-zero * two, Fields(0x8000, 0)));
    // A NaN passes through, made quiet; of two, the larger significand wins, the positive
    // one of two equal ones.
    EXPECT_TRUE(SameBits(two * negativeQuiet, negativeQuiet));
    EXPECT_TRUE(SameBits(signalling / two, Fields(0xFFFF, 0xC000000000000009)));
    EXPECT_TRUE(SameBits(signalling * quiet, quiet));
    EXPECT_TRUE(SameBits(negativeQuiet * quiet, quiet));
    EXPECT_TRUE(SameBits(quiet / negativeQuiet, quiet));
    EXPECT_TRUE(SameBits(zero * quiet, quiet));
    // Unsupported formats are invalid operands, even beside a NaN.
    EXPECT_TRUE(SameBits(unnormal * two, kDefaultNan));
    EXPECT_TRUE(SameBits(quiet * unnormal, kDefaultNan));
    EXPECT_TRUE(SameBits(pseudoInfinity / two, kDefaultNan));
    // A pseudo-denormal is worth what the smallest normal number with its bits is worth.
    EXPECT_TRUE(SameBits(pseudoDenormal * Extended(1), Limits::min()));
    EXPECT_TRUE(SameBits(pseudoDenormal * two, Fields(0x0002, 0x8000000000000000)));
}

TEST(ExtendedTest, ComparesAsTheX87Compares) {
    const Extended quiet = Limits::quiet_NaN();
    const Extended unnormal = Fields(0x3FFF, 0x4000000000000000);
    EXPECT_EQ(Extended(0), Fields(0x8000, 0));
    EXPECT_LT(Fields(0, 5), Limits::min());                   // subnormal below normal
    EXPECT_EQ(Fields(0, 0x8000000000000000), Limits::min());  // pseudo-denormal
    EXPECT_LT(-Limits::infinity(), -Limits::max());
    EXPECT_LT(Extended(-3), Extended(-2));
    EXPECT_LT(Extended(-2), Extended(0));
    EXPECT_GT(Limits::infinity(), Limits::max());
    EXPECT_EQ(Extended(1) <=> Extended(1.0f), std::partial_ordering::equivalent);
    EXPECT_EQ(quiet <=> quiet, std::partial_ordering::unordered);
    EXPECT_EQ(unnormal <=> Extended(1), std::partial_ordering::unordered);
    EXPECT_FALSE(quiet == quiet);
}

TEST(ExtendedTest, RoundsToIntegersHalvesToEven) {
    const struct {
        double value;
        double rounded;
    } cases[] = {{0.5, 0},
                 {1.5, 2},
                 {2.5, 2},
                 {-2.5, -2},
                 {-3.5, -4},
                 {0.4999, 0},
                 {0.75, 1},
                 {1e-300, 0},
                 {123.25, 123},
                 {-7.75, -8},
                 {4503599627370495.5, 4503599627370496}};
    for (const auto& c : cases) {
        EXPECT_TRUE(SameBits(ExtendedRoundToInteger(c.value), Extended(c.rounded))) << c.value;
    }
    // The largest value below 2^63 with a fraction: 2^63 - 0.5 is halfway, to 2^63.
    EXPECT_TRUE(SameBits(ExtendedRoundToInteger(Fields(0x403D, 0xFFFFFFFFFFFFFFFF)),
                         Extended(uint64_t{1} << 63)));
    // A negative fraction rounds to negative zero; zero itself to positive zero.
    EXPECT_TRUE(SameBits(ExtendedRoundToInteger(-0.25), Fields(0x8000, 0)));
    EXPECT_TRUE(SameBits(ExtendedRoundToInteger(-0.0), Extended(0)));
    EXPECT_TRUE(SameBits(ExtendedRoundToInteger(Fields(0x8000, 1)), Fields(0x8000, 0)));
    // 2^63 and more, infinities, NaNs and refused patterns come back as they are.
    for (const Extended same :
         {Limits::max(), -Limits::infinity(), Fields(0x7FFF, 0x8000000000000001),
          Fields(0x3FFF, 0x4000000000000000)}) {
        EXPECT_TRUE(SameBits(ExtendedRoundToInteger(same), same));
    }
}

TEST(ExtendedTest, FloatsAndDoublesConvertAsTheProcessorConvertsThem) {
    // Widening is exact, so narrowing again must give back the float or double, and a double
    // narrowed to a float through the extended format must round as the processor's own
    // conversion does (one rounding either way): subnormals, overflow and ties included.
    std::mt19937_64 generator(2202);
    for (int i = 0; i < 300000; ++i) {
        const uint64_t bits = generator();
        const double dual = std::bit_cast<double>(bits);
        const float single = std::bit_cast<float>(static_cast<uint32_t>(bits));
        if (dual != dual || single != single) continue;  // NaNs are checked below
        ASSERT_EQ(std::bit_cast<uint64_t>(static_cast<double>(Extended(dual))), bits);
        ASSERT_EQ(std::bit_cast<uint32_t>(static_cast<float>(Extended(single))),
                  static_cast<uint32_t>(bits));
        ASSERT_EQ(std::bit_cast<uint64_t>(static_cast<double>(Extended(single))),
                  std::bit_cast<uint64_t>(static_cast<double>(single)));
        ASSERT_EQ(std::bit_cast<uint32_t>(static_cast<float>(Extended(dual))),
                  std::bit_cast<uint32_t>(static_cast<float>(dual)))
            << dual;
    }
    // Extended values beyond both formats.
    EXPECT_EQ(static_cast<double>(Limits::max()), std::numeric_limits<double>::infinity());
    EXPECT_EQ(static_cast<float>(-Limits::min()), -0.0f);
    EXPECT_TRUE(std::signbit(static_cast<float>(-Limits::min())));
    // A NaN keeps the top of its payload and becomes quiet; refused patterns are the
    // default NaN.
    EXPECT_EQ(std::bit_cast<uint32_t>(static_cast<float>(Fields(0xFFFF, 0x8000000000000001))),
              0xFFC00000u);
    EXPECT_EQ(std::bit_cast<uint64_t>(static_cast<double>(Fields(0x7FFF, 0xC0000000000007FF))),
              0x7FF8000000000000u);
    EXPECT_EQ(std::bit_cast<uint64_t>(static_cast<double>(Fields(0x7FFF, 0xA000000000000800))),
              0x7FFC000000000001u);
    EXPECT_EQ(std::bit_cast<uint32_t>(static_cast<float>(Fields(0x3FFF, 1))), 0xFFC00000u);
    EXPECT_TRUE(
        SameBits(Extended(std::bit_cast<float>(0x7F800001u)), Fields(0x7FFF, 0xC000010000000000)));
}

TEST(ExtendedTest, IntegersConvertExactly) {
    EXPECT_TRUE(SameBits(Extended(INT64_MIN), Fields(0xC03E, 0x8000000000000000)));
    EXPECT_TRUE(SameBits(Extended(UINT64_MAX), Fields(0x403E, 0xFFFFFFFFFFFFFFFF)));
    EXPECT_TRUE(SameBits(Extended(-1), Fields(0xBFFF, 0x8000000000000000)));
    EXPECT_TRUE(SameBits(Extended(0), Fields(0, 0)));
    std::mt19937_64 generator(2203);
    for (int i = 0; i < 10000; ++i) {
        const uint64_t integer = generator() >> (generator() % 64);
        ASSERT_EQ(static_cast<uint64_t>(Extended(integer)), integer);
    }
    // The integer part of a value with a fraction.
    EXPECT_EQ(static_cast<uint64_t>(Extended(1234.75)), 1234u);
    EXPECT_EQ(static_cast<uint64_t>(Extended(0.75)), 0u);
}

}  // namespace
