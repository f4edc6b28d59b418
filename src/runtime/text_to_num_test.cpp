#include <gtest/gtest.h>

#include <initializer_list>
#include <limits>
#include <string>
#include <string_view>

#include "runtime/number.hpp"
#include "testing/extended_values.hpp"
#include "testing/number_arithmetics.hpp"
#include "testing/sim_runtime.hpp"

namespace {

// 2^127, what a number beyond the extended range reads as.
const Extended kSaturated = ExtendedFromDecimal("170141183460469231731687303715884105728");

Extended Decimal(std::string_view text) { return ExtendedFromDecimal(text); }

struct Case {
    const char* text;
    Extended number;
};

template <typename Real>
class TextToNumTest : public SimRuntimeTest {
  protected:
    static Extended Read(std::string_view text) {
        return static_cast<Extended>(TextToNum<Real>(Text(text)));
    }

    // Each expected value is a quotient or product of two exact numbers, which the parser
    // rounds once, as the exact decimal is rounded to the nearest extended value.
    static void ExpectReads(std::initializer_list<Case> cases) {
        for (const Case& c : cases) {
            EXPECT_EQ(Read(c.text), c.number) << '"' << c.text << '"';
        }
    }
};
TYPED_TEST_SUITE(TextToNumTest, NumArithmetics, NumArithmeticName);

TYPED_TEST(TextToNumTest, ReadsDecimalNumbersUpToTheFirstByteThatDoesNotFit) {
    this->ExpectReads({
        {"12abc", 12},
        {"  -3.5", Decimal("-3.5")},
        {"1e3", 1000},
        {"1d2", 100},
        {"1.2.3", Decimal("1.2")},
        {".5", Decimal("0.5")},
        {"1,000", 1},
        {"5 0", 5},
        {"1e", 1},
        {"0.05", Decimal("0.05")},
        {"+7", 7},
        {"-.25", Decimal("-0.25")},
        {"007.50", Decimal("7.5")},
        {"100.05", Decimal("100.05")},
        {"12\r", 12},
    });
    EXPECT_EQ(this->Read(std::string_view("3\0"
                                          "5",
                                          3)),
              3);  // a NUL ends the number too
}

TYPED_TEST(TextToNumTest, SkipsOnlyBlanksTabsAndLineFeedsBeforeTheNumber) {
    this->ExpectReads({{" \t\n 7", 7}, {"\r7", 0}, {"\v7", 0}, {"\f7", 0}, {"x7", 0}});
}

TYPED_TEST(TextToNumTest, TextWithoutAMantissaDigitIsZero) {
    this->ExpectReads({{"", 0},
                       {"-", 0},
                       {"+", 0},
                       {"abc", 0},
                       {"- 5", 0},
                       {".", 0},
                       {"-.e5", 0},
                       {"e5", 0},
                       {"--5", 0},
                       {"+-5", 0},
                       {"-&H10", 0},
                       {"+&H10", 0}});
    EXPECT_EQ(static_cast<Extended>(TextToNum<TypeParam>(Text())), 0);
}

TYPED_TEST(TextToNumTest, ReadsEveryExponentLetterAndSign) {
    this->ExpectReads({{"1E3", 1000},
                       {"1e3", 1000},
                       {"1D3", 1000},
                       {"1d3", 1000},
                       {"1e+3", 1000},
                       {"1e-3", Decimal("0.001")},
                       {"2.5d-3", Decimal("0.0025")},
                       {"-4E2", -400},
                       {"1e+", 1},
                       {"1ex", 1},
                       {"1.5e2.5", 150},
                       {"1e 3", 1},
                       {"1f3", 1}});
}

TYPED_TEST(TextToNumTest, TruncatesSignificantDigitsAfterTheEighteenth) {
    this->ExpectReads({
        {"1234567890123456789", Decimal("1234567890123456780.0")},
        {"1234567890123456789999", Decimal("1234567890123456780000.0")},
        {"123456789012345678.9", Decimal("123456789012345678.0")},
        {"99999999999999999999", Decimal("99999999999999999900.0")},
        // Leading zeros are not significant, on either side of the point.
        {"0000000000000000000001", 1},
        {"1.00000000000000000000009", 1},
    });
    EXPECT_EQ(this->Read("0.00012345678901234567899"), this->Read("0.000123456789012345678"));
    EXPECT_EQ(this->Read("-98765432109876543210e-30"), this->Read("-987654321098765432e-28"));
}

TYPED_TEST(TextToNumTest, SaturatesAtTheLimitsOfTheExtendedRange) {
    this->ExpectReads({
        {"1e5000", kSaturated},
        {"-1e5000", -kSaturated},
        {"1e4932", kSaturated},
        {"0.1e4933", kSaturated},
        {"10e4931", kSaturated},
        {"1e-5000", 0},
        {"1e-4934", 0},
        {"0.01e-4932", 0},
        // The exponent saturates at 9999 and cannot wrap around.
        {"1e99999999999999999999", kSaturated},
        {"1e-99999999999999999999", 0},
        {"0.0000001e9999", kSaturated},
    });
    // Large powers round several times on the way, so these are near, not exact.
    EXPECT_NEAR(static_cast<double>(this->Read("9.99e4931") / Decimal("9.99e4931")), 1.0, 1e-16);
    EXPECT_NEAR(static_cast<double>(this->Read("1e4000") / Decimal("1e4000")), 1.0, 1e-16);
    // One below the lower limit is still a (subnormal) number.
    EXPECT_GT(this->Read("1e-4933"), 0);
    EXPECT_LT(this->Read("1e-4933"), std::numeric_limits<Extended>::min());
}

TYPED_TEST(TextToNumTest, ZeroMantissaIsZeroWhateverTheExponent) {
    this->ExpectReads({{"0e5000", 0}, {"0.000e9999", 0}, {"-0e5000", 0}, {"0e-5000", 0}, {"0", 0}});
}

TYPED_TEST(TextToNumTest, ReadsEveryPrefixAndItsDigits) {
    this->ExpectReads({
        {"&H10", 16},
        {"&h1aF", 431},
        {"&H1AF", 431},
        {"&O17", 15},
        {"&o777", 511},
        {"&Q17", 15},
        {"&q17", 15},
        {"&17", 15},
        {"&B101", 5},
        {"&b101", 5},
        {" \t&H10", 16},
        {"&H10G", 16},
        {"&O18", 1},
        {"&B1012", 5},
        // Digits valid only in a larger base, or none at all, give 0.
        {"&", 0},
        {"&H", 0},
        {"&Hxyz", 0},
        {"&8", 0},
        {"&B2", 0},
        {"&X1", 0},
        {"&OA", 0},
    });
}

TYPED_TEST(TextToNumTest, SuffixAndFirstDigitChooseHowTheBitsAreRead) {
    this->ExpectReads({
        // Below 2^16: 16-bit signed unless "&", "&&", "?" or a leading 0 says otherwise.
        {"&HFFFF", -1},
        {"&HFFFF%", -1},
        {"&HFFFF&", 65535},
        {"&HFFFF&&", 65535},
        {"&HFFFF?", 65535},
        {"&HFFFF??", 65535},
        {"&HFFFF???", 65535},
        {"&H0FFFF", 65535},
        {"&H8000", -32768},
        {"&H7FFF", 32767},
        {"&O177777", -1},
        {"&0177777", 65535},
        // From 2^16 to 2^32 - 1: 32-bit signed; "&" does not widen these.
        {"&H10000", 65536},
        {"&HFFFFFFFF", -1},
        {"&HFFFFFFFF&", -1},
        {"&HFFFFFFFF&&", Decimal("4294967295.0")},
        {"&HFFFFFFFF?", Decimal("4294967295.0")},
        {"&H0FFFFFFFF", Decimal("4294967295.0")},
        {"&H80000000", Decimal("-2147483648.0")},
        // From 2^32 on: the 64-bit pattern as it is, signed unless "?".
        {"&H100000000", Decimal("4294967296.0")},
        {"&HFFFFFFFFFFFFFFFF", -1},
        {"&HFFFFFFFFFFFFFFFF?", 0},
        {"&H7FFFFFFFFFFFFFFF?", Decimal("9223372036854775807.0")},
        {"&H8000000000000000", Decimal("-9223372036854775808.0")},
    });
}

TYPED_TEST(TextToNumTest, DigitsBeyondSixtyFourBitsGiveZero) {
    const std::string ones(64, '1');
    this->ExpectReads({
        {"&H10000000000000000", 0},
        {"&H00000000000000000001", 1},  // leading zeros push no bit out
        {"&O1777777777777777777777", -1},
        {"&O2000000000000000000000", 0},
    });
    EXPECT_EQ(this->Read("&B" + ones), -1);
    EXPECT_EQ(this->Read("&B1" + std::string(64, '0')), 0);
}

}  // namespace
