#pragma once
// The arithmetics the number conversions compute in, for typed tests: Extended's integers
// everywhere and, where long double is the x87 format, the x87 too. Every test of a
// conversion runs on each, with the same expected values.

#include <gtest/gtest.h>

#include <string>
#include <type_traits>

#include "runtime/extended.hpp"
#include "runtime/x87_extended.hpp"

#if VIRODARO_X87_LONG_DOUBLE
using NumArithmetics = ::testing::Types<Extended, X87Extended>;
#else
using NumArithmetics = ::testing::Types<Extended>;
#endif

/// Names the typed tests after their arithmetic: NumToTextTest/Integers.Prints...
struct NumArithmeticName {
    template <typename Real>
    static std::string GetName(int) {
        return std::is_same_v<Real, Extended> ? "Integers" : "X87";
    }
};
