#pragma once
// The x87's own long double as a second arithmetic for the conversions, where long double is
// the x87 format (x86 with GCC or Clang, for Linux and mingw-w64 alike). In the mode
// start-up loads the hardware computes exactly what Extended computes in integers, only
// faster; the tests hold the two to the same results.

#include <bit>
#include <concepts>
#include <cstring>
#include <limits>

#include "platform/fpu.hpp"
#include "runtime/extended.hpp"

#if VIRODARO_HAS_X87 && defined(__LDBL_MANT_DIG__) && __LDBL_MANT_DIG__ == 64
#define VIRODARO_X87_LONG_DOUBLE 1
#else
#define VIRODARO_X87_LONG_DOUBLE 0
#endif

#if VIRODARO_X87_LONG_DOUBLE

static_assert(std::numeric_limits<long double>::digits == 64 &&
              std::numeric_limits<long double>::max_exponent == 16384);

/// An extended value held in a long double, computed by the x87.
struct X87Extended {
    long double value = 0;

    constexpr X87Extended() = default;
    template <std::integral Integer>
    constexpr X87Extended(Integer integer) : value(static_cast<long double>(integer)) {}
    constexpr X87Extended(float number) : value(number) {}
    constexpr X87Extended(double number) : value(number) {}
    explicit constexpr X87Extended(long double number) : value(number) {}
    explicit constexpr X87Extended(Extended extended)
        : value(std::bit_cast<long double>(Image{extended.significand, extended.signAndExponent})) {
    }

    explicit operator Extended() const {
        Extended extended;
        std::memcpy(&extended.significand, &value, sizeof extended.significand);
        std::memcpy(&extended.signAndExponent, reinterpret_cast<const char*>(&value) + 8,
                    sizeof extended.signAndExponent);
        return extended;
    }
    /// Rounded as Extended's conversions round, by the x87's own stores.
    explicit operator float() const { return static_cast<float>(value); }
    explicit operator double() const { return static_cast<double>(value); }
    /// The integer part of a value from 0 to 2^64 - 1.
    explicit operator uint64_t() const { return static_cast<uint64_t>(value); }

  private:
    // A long double's bytes: the ten of the format and the padding up to its size.
    struct Image {
        uint64_t significand;
        uint16_t signAndExponent;
        uint16_t padding[(sizeof(long double) - 10) / 2] = {};
    };
};

inline X87Extended operator-(X87Extended a) { return X87Extended(-a.value); }
inline X87Extended operator*(X87Extended a, X87Extended b) {
    return X87Extended(a.value * b.value);
}
inline X87Extended operator/(X87Extended a, X87Extended b) {
    return X87Extended(a.value / b.value);
}
inline bool operator<(X87Extended a, X87Extended b) { return a.value < b.value; }
inline bool operator>=(X87Extended a, X87Extended b) { return a.value >= b.value; }

inline ExtendedFields ExtendedSplit(X87Extended value) {
    return ExtendedSplit(static_cast<Extended>(value));
}

/// As ExtendedRoundToInteger of Extended. Relies on the round-to-nearest, 64-bit precision
/// mode that start-up loads.
inline X87Extended ExtendedRoundToInteger(X87Extended value) {
    constexpr long double kTwoTo63 = 9223372036854775808.0L;
    const long double magnitude = value.value < 0 ? -value.value : value.value;
    if (!(magnitude < kTwoTo63)) return value;
    // Below 2^63, adding 2^63 leaves no bits for a fraction, so the addition itself rounds
    // the fraction away; subtracting 2^63 again is exact. It is much faster than the
    // library's rounding functions, and digit generation rounds twice per number.
    const long double rounded = (magnitude + kTwoTo63) - kTwoTo63;
    return X87Extended(value.value < 0 ? -rounded : rounded);
}

#endif
