#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "runtime/number.hpp"
#include "runtime/number_layout.hpp"
#include "testing/extended_values.hpp"
#include "testing/number_arithmetics.hpp"
#include "testing/sim_runtime.hpp"

namespace {

template <typename Real>
class NumToTextTest : public SimRuntimeTest {
  protected:
    static std::string Printed(Extended value, int32_t digits) {
        return std::string(NumToText<Real>(value, digits).Bytes());
    }
};
TYPED_TEST_SUITE(NumToTextTest, NumArithmetics, NumArithmeticName);

// An extended value built from its fields, for bit patterns no arithmetic produces.
Extended FromFields(uint16_t signAndExponent, uint64_t significand) {
    return Extended::FromFields((signAndExponent >> 15) != 0, signAndExponent & 0x7FFF,
                                significand);
}

TYPED_TEST(NumToTextTest, PrintsFloatsWithSevenAndDoublesWithFifteenDigits) {
    // Callers pass what they hold, widened: the float nearest the value with 7 digits, the
    // double nearest it with 15.
    struct Case {
        float single;
        double dual;
        const char* seven;
        const char* fifteen;
    } cases[] = {
        {0.0f, 0.0, " 0", " 0"},
        {0.5f, 0.5, " .5", " .5"},
        {-0.5f, -0.5, "-.5", "-.5"},
        {25.0f, 25.0, " 25", " 25"},
        {-10.0f, -10.0, "-10", "-10"},
        {2400.0f, 2400.0, " 2400", " 2400"},
        {1234.5678f, 1234.5678, " 1234.568", " 1234.5678"},
        {1000000.0f, 1000000.0, " 1000000", " 1000000"},
        {10000000.0f, 10000000.0, " 1E+7", " 10000000"},
        {12345678.0f, 12345678.0, " 1.234568E+7", " 12345678"},
        {0.0001234f, 0.0001234, " .0001234", " .0001234"},
        {0.00001234f, 0.00001234, " 1.234E-5", " .00001234"},
        {1.0f / 3.0f, 1.0 / 3.0, " .3333333", " .333333333333333"},
        {2.0f / 3.0f, 2.0 / 3.0, " .6666667", " .666666666666667"},
        {3.0000015f, 3.0000015, " 3.000001", " 3.0000015"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(this->Printed(c.single, 7), c.seven) << c.dual;
        EXPECT_EQ(this->Printed(c.dual, 15), c.fifteen) << c.dual;
    }
}

TYPED_TEST(NumToTextTest, RoundsOnTheDigitAfterTheLastAlone) {
    // 100.0000534...: the eighth digit is 5 and the seventh even; the later digits that would
    // round it up are not consulted.
    EXPECT_EQ(this->Printed(100.00005f, 7), " 100");
    EXPECT_EQ(this->Printed(0.25, 1), " .2");  // 5 after an even digit truncates
    EXPECT_EQ(this->Printed(0.75, 1), " .8");  // 5 after an odd digit rounds up
    EXPECT_EQ(this->Printed(-2.5, 1), "-2");
    EXPECT_EQ(this->Printed(3.5, 1), " 4");
    EXPECT_EQ(this->Printed(0.26, 1), " .3");
    EXPECT_EQ(this->Printed(0.34, 1), " .3");
    // A carry out of the first digit moves the decimal position.
    EXPECT_EQ(this->Printed(9.9999999, 7), " 10");
    EXPECT_EQ(this->Printed(99999995.0, 7), " 1E+8");
    EXPECT_EQ(this->Printed(-0.99999996, 7), "-1");
}

TYPED_TEST(NumToTextTest, ChoosesTheLayoutByTheDigitPlacesItNeeds) {
    EXPECT_EQ(this->Printed(1234567, 7), " 1234567");
    EXPECT_EQ(this->Printed(12345670, 7), " 1.234567E+7");  // one place more than seven
    EXPECT_EQ(this->Printed(1200, 2), " 1.2E+3");
    EXPECT_EQ(this->Printed(1200, 4), " 1200");
    EXPECT_EQ(this->Printed(0.1234567, 7), " .1234567");
    EXPECT_EQ(this->Printed(0.01234567, 7), " 1.234567E-2");
    EXPECT_EQ(this->Printed(1e-7, 7), " .0000001");
    EXPECT_EQ(this->Printed(1e-8, 7), " 1E-8");
    EXPECT_EQ(this->Printed(-123.25, 7), "-123.25");
    EXPECT_EQ(this->Printed(5e20, 7), " 5E+20");
    EXPECT_EQ(this->Printed(-4.5e-300, 15), "-4.5E-300");
}

TYPED_TEST(NumToTextTest, ZeroNanAndInfinityHaveFixedTexts) {
    const Extended infinity = std::numeric_limits<Extended>::infinity();
    const Extended nan = std::numeric_limits<Extended>::quiet_NaN();
    EXPECT_EQ(this->Printed(-0.0, 7), " 0");
    EXPECT_EQ(this->Printed(nan, 7), " 0");
    EXPECT_EQ(this->Printed(-nan, 15), " 0");
    EXPECT_EQ(this->Printed(infinity, 7), " 9.999999E+998");
    EXPECT_EQ(this->Printed(-infinity, 7), "-9.999999E+998");
    EXPECT_EQ(this->Printed(infinity, 15), " 9.99999999999999E+998");
}

TYPED_TEST(NumToTextTest, PatternsTheProcessorRejectsPrintAsNan) {
    EXPECT_EQ(this->Printed(FromFields(0x3FFF, 0x4000000000000000), 7), " 0");  // unnormal
    EXPECT_EQ(this->Printed(FromFields(0x7FFF, 0), 7), " 0");                   // pseudo-infinity
    EXPECT_EQ(this->Printed(FromFields(0xFFFF, 0xC000000000000000), 7), " 0");  // negative NaN
    // A zero exponent field has no digits, whatever the significand says.
    EXPECT_EQ(this->Printed(FromFields(0x8000, 0x8000000000000000), 7), " 0");  // pseudo-denormal
    EXPECT_EQ(this->Printed(std::numeric_limits<Extended>::denorm_min(), 7), " 0");
}

TYPED_TEST(NumToTextTest, DigitCountsZeroAndFromEighteenOnMeanEighteen) {
    const Extended third = ExtendedNearest(BigUnsigned(1), BigUnsigned(3));
    const std::string eighteen = " .333333333333333333";
    EXPECT_EQ(this->Printed(third, 0), eighteen);
    EXPECT_EQ(this->Printed(third, 18), eighteen);
    EXPECT_EQ(this->Printed(third, 19), eighteen);
    EXPECT_EQ(this->Printed(third, -1), eighteen);
    EXPECT_EQ(this->Printed(third, INT32_MIN), eighteen);
    EXPECT_EQ(this->Printed(third, 17), " .33333333333333333");
    EXPECT_EQ(this->Printed(third, 1), " .3");
}

TYPED_TEST(NumToTextTest, ExtremeValuesFillTheLongestLayout) {
    const Extended largest = std::numeric_limits<Extended>::max();
    const Extended smallest = std::numeric_limits<Extended>::min();
    EXPECT_EQ(this->Printed(largest, 18), " 1.18973149535723176E+4932");
    EXPECT_EQ(this->Printed(-smallest, 18), "-3.36210314311209351E-4932");
    EXPECT_EQ(this->Printed(-smallest, 18).size(), static_cast<size_t>(kNumTextMaxLength));
    EXPECT_EQ(this->Printed(largest, 7), " 1.189731E+4932");
}

TYPED_TEST(NumToTextTest, PrintsTheNumbersOwnValueWhenTheExponentEstimateIsTooHigh) {
    // Near 1e-205 and 1e-264 the estimate of the decimal exponent comes out one too high and
    // the scaled integer has only 17 digits; the text must still be the number's value.
    EXPECT_EQ(this->Printed(9.99e-206, 15), " 9.99E-206");
    EXPECT_EQ(this->Printed(-9.95e-265, 15), "-9.95E-265");
    EXPECT_EQ(this->Printed(9.99e-206, 7), " 9.99E-206");
}

TYPED_TEST(NumToTextTest, ShortMemoryRaisesErrorSevenAndGivesTheEmptyText) {
    sim::FailTextAllocationsAfter(0);
    const Text text = NumToText<TypeParam>(25, 7);
    sim::FailTextAllocationsAfter(-1);
    EXPECT_TRUE(text.Empty());
    EXPECT_EQ(RtErrorNumber(), kRtErrOutOfMemory);
}

}  // namespace
