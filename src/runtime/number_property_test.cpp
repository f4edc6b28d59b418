// Properties over many numbers of every magnitude: what is printed reads back as the number.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "runtime/number.hpp"
#include "testing/number_arithmetics.hpp"
#include "testing/sim_runtime.hpp"

namespace {

template <typename Real>
class NumberPropertyTest : public SimRuntimeTest {};
TYPED_TEST_SUITE(NumberPropertyTest, NumArithmetics, NumArithmeticName);

// A float drawn uniformly from all finite non-zero bit patterns, so every binary exponent,
// subnormals included, is as likely as any other.
float RandomFloat(std::mt19937& generator) {
    while (true) {
        const uint32_t bits = static_cast<uint32_t>(generator());
        float value;
        std::memcpy(&value, &bits, sizeof value);
        if (std::isfinite(value) && value != 0) return value;
    }
}

double RandomDouble(std::mt19937_64& generator) {
    while (true) {
        const uint64_t bits = generator();
        double value;
        std::memcpy(&value, &bits, sizeof value);
        if (std::isfinite(value) && value != 0) return value;
    }
}

TYPED_TEST(NumberPropertyTest, SevenDigitsOfAFloatReadBackWithinSixTenthsOfTheSeventhDigit) {
    // Rounding looks at the eighth digit alone, so the seven digits lie within half a unit
    // of the seventh digit, or within 0.6 units when the eighth digit is a 5 that truncates.
    // (Stored as a float, the text can then land on the neighbouring float where floats are
    // about one unit apart, as with 8.9978845877e-19, printed as 8.997884E-19.)
    std::mt19937 generator(20240607);
    for (int i = 0; i < 1000000; ++i) {
        const float value = RandomFloat(generator);
        const Text text = NumToText<TypeParam>(value, 7);
        // Seven digits read back lie far closer to the float than a double's last place, so
        // the double nearest to them measures the distance well enough.
        const double back = static_cast<double>(TextToNum<TypeParam>(text));
        const double magnitude = std::fabs(static_cast<double>(value));
        const double unit = std::pow(10.0, std::floor(std::log10(magnitude)) - 6);
        ASSERT_LT(std::fabs(back - value), 0.6 * unit)
            << value << " printed as \"" << text.Data() << '"';
        ASSERT_EQ(text[0] == '-', value < 0) << text.Data();
    }
}

TYPED_TEST(NumberPropertyTest, EighteenDigitsOfADoubleReadBackAsTheSameDouble) {
    // Eighteen digits come within a few units of the 64th bit of the value, and so does
    // reading them back: far closer than the halfway point between two doubles. A wrong
    // digit, decimal position or scale anywhere in the range shows up as another double.
    std::mt19937_64 generator(20240608);
    for (int i = 0; i < 200000; ++i) {
        const double value = RandomDouble(generator);
        const Text text = NumToText<TypeParam>(value, 18);
        ASSERT_EQ(static_cast<double>(TextToNum<TypeParam>(text)), value)
            << value << " printed as \"" << text.Data() << '"';
    }
}

}  // namespace
