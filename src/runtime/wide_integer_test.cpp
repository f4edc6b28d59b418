#include "runtime/wide_integer.hpp"

#include <gtest/gtest.h>

#include <random>

namespace {

// a + b as 128 bits, for checking quotients by multiplying back.
WideUnsigned Add(WideUnsigned a, uint64_t b) {
    const uint64_t low = a.low + b;
    return {a.high + (low < b ? 1 : 0), low};
}

bool operator==(WideUnsigned a, WideUnsigned b) { return a.high == b.high && a.low == b.low; }

TEST(WideIntegerTest, ProductsFromHalvesMatchTheWholeProduct) {
    // Known products: the largest, and carries through every 32-bit piece.
    EXPECT_TRUE(WideMultiplyPortable(~uint64_t{0}, ~uint64_t{0}) ==
                (WideUnsigned{0xFFFFFFFFFFFFFFFE, 1}));
    EXPECT_TRUE(WideMultiplyPortable(uint64_t{1} << 63, 2) == (WideUnsigned{1, 0}));
    EXPECT_TRUE(WideMultiplyPortable(0xFFFFFFFF, 0xFFFFFFFF) ==
                (WideUnsigned{0, 0xFFFFFFFE00000001}));
    std::mt19937_64 generator(22);
    for (int i = 0; i < 100000; ++i) {
        const uint64_t a = generator() >> (generator() % 64);
        const uint64_t b = generator() >> (generator() % 64);
        ASSERT_TRUE(WideMultiplyPortable(a, b) == WideMultiply(a, b)) << a << " * " << b;
    }
}

TEST(WideIntegerTest, QuotientTimesDivisorPlusRemainderIsTheDividend) {
    std::mt19937_64 generator(23);
    for (int i = 0; i < 200000; ++i) {
        // A divisor with its top bit set, mostly random and sometimes with few bits, which
        // makes the estimated quotient digits need their corrections.
        uint64_t divisor = generator() | (uint64_t{1} << 63);
        if (i % 3 == 0) divisor &= ~uint64_t{0} << (generator() % 63);
        uint64_t high = generator() % divisor;
        if (i % 5 == 0) high = divisor - 1;
        const uint64_t low = i % 7 == 0 ? ~uint64_t{0} : generator();
        const WideQuotient division = WideDivide(high, low, divisor);
        ASSERT_LT(division.remainder, divisor);
        ASSERT_TRUE(Add(WideMultiply(division.quotient, divisor), division.remainder) ==
                    (WideUnsigned{high, low}))
            << high << ":" << low << " / " << divisor;
    }
}

}  // namespace
