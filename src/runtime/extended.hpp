#pragma once
// The 80-bit extended format that every conversion between numbers and text works in, as a
// value of our own: a sign, a 15-bit exponent and a 64-bit significand, laid out as the x87
// lays them out. Its arithmetic is done in integers and rounds as the x87 rounds in the mode
// start-up loads (to nearest, ties to even, 64-bit significand; overflow to infinity,
// gradual underflow), so that every processor gets the x87's results bit for bit.

#include <bit>
#include <compare>
#include <concepts>
#include <cstdint>
#include <limits>
#include <type_traits>

/// The bias of the 15-bit exponent field.
inline constexpr int32_t kExtendedExponentBias = 16383;
/// The exponent field of infinities and NaNs.
inline constexpr uint16_t kExtendedExponentAllOnes = 0x7FFF;
/// The significand's explicit integer bit.
inline constexpr uint64_t kExtendedIntegerBit = uint64_t{1} << 63;
/// The bit that makes a NaN quiet.
inline constexpr uint64_t kExtendedQuietBit = uint64_t{1} << 62;

/// The fields of an extended value.
struct ExtendedFields {
    /// The 64-bit significand, its integer bit (bit 63) explicit.
    uint64_t significand;
    /// The biased exponent, 0..0x7FFF.
    uint16_t exponent;
    bool negative;
};

/// A number in the 80-bit extended format. Every bit pattern is a value, the ones the x87
/// refuses as operands (unnormals, pseudo-infinities, pseudo-NaNs) included: arithmetic
/// treats them as the x87 does.
struct Extended {
    /// The 64-bit significand, its integer bit (bit 63) explicit.
    uint64_t significand = 0;
    /// The sign (bit 15) and the biased exponent (bits 0..14).
    uint16_t signAndExponent = 0;

    constexpr Extended() = default;
    /// Exact, for an integer of any type.
    template <std::integral Integer>
    constexpr Extended(Integer value);
    /// Exact; a signalling NaN becomes quiet, as the x87 loads it.
    constexpr Extended(float value);
    constexpr Extended(double value);

    /// Rounded to nearest, ties to even, as the x87 stores a value in the smaller format: too
    /// large gives infinity, too small a subnormal or zero, a NaN keeps the top of its
    /// payload, a pattern the x87 refuses gives the default NaN.
    explicit operator float() const;
    explicit operator double() const;
    /// The integer part of a value from 0 to 2^64 - 1; larger ones give 2^64 - 1, and any
    /// other value an unspecified result.
    explicit constexpr operator uint64_t() const;

    static constexpr Extended FromFields(bool negative, uint16_t exponent, uint64_t significand) {
        Extended value;
        value.significand = significand;
        value.signAndExponent = static_cast<uint16_t>((negative ? 0x8000 : 0) | exponent);
        return value;
    }
};

constexpr ExtendedFields ExtendedSplit(Extended value) {
    return {value.significand, static_cast<uint16_t>(value.signAndExponent & 0x7FFF),
            (value.signAndExponent >> 15) != 0};
}

/// The sign flipped, whatever the value, as the x87 does.
constexpr Extended operator-(Extended value) {
    value.signAndExponent ^= 0x8000;
    return value;
}

/// The product and the quotient, rounded to nearest, ties to even. NaN operands, invalid
/// operations (0 * infinity, 0 / 0, infinity / infinity) and refused patterns give the NaN
/// the x87 gives; a non-zero number divided by zero is an infinity.
Extended operator*(Extended a, Extended b);
Extended operator/(Extended a, Extended b);

/// Compares values as the x87 does: zeros of either sign are equal, and a NaN or a refused
/// pattern is unordered with everything.
std::partial_ordering operator<=>(Extended a, Extended b);
bool operator==(Extended a, Extended b);

/// `value` rounded to an integer, halves to even, for magnitudes below 2^63; anything else
/// (larger numbers, which are integers already, infinities, NaNs, refused patterns) comes
/// back unchanged. A zero result is negative only when `value` was below zero.
Extended ExtendedRoundToInteger(Extended value);

/// The value of IEEE bits (a float's or a double's) in the extended format, exactly.
constexpr Extended ExtendedFromIeee(uint64_t bits, int32_t fractionBits, int32_t exponentBits) {
    const bool negative = ((bits >> (fractionBits + exponentBits)) & 1) != 0;
    const uint32_t maxField = (1u << exponentBits) - 1;
    const uint32_t field = static_cast<uint32_t>(bits >> fractionBits) & maxField;
    const uint64_t fraction = bits & ((uint64_t{1} << fractionBits) - 1);
    const int32_t bias = static_cast<int32_t>(maxField >> 1);
    const uint64_t significand = kExtendedIntegerBit | (fraction << (63 - fractionBits));
    if (field == maxField) {
        const uint64_t quiet = fraction != 0 ? kExtendedQuietBit : 0;
        return Extended::FromFields(negative, kExtendedExponentAllOnes, significand | quiet);
    }
    if (field != 0) {
        return Extended::FromFields(
            negative,
            static_cast<uint16_t>(static_cast<int32_t>(field) - bias + kExtendedExponentBias),
            significand);
    }
    if (fraction == 0) return Extended::FromFields(negative, 0, 0);
    // A subnormal, fraction * 2^(1 - bias - fractionBits), is normal in the wider format.
    const int32_t shift = std::countl_zero(fraction);
    return Extended::FromFields(
        negative,
        static_cast<uint16_t>(1 - bias - fractionBits + 63 - shift + kExtendedExponentBias),
        fraction << shift);
}

template <std::integral Integer>
constexpr Extended::Extended(Integer value) {
    uint64_t magnitude = static_cast<uint64_t>(value);
    bool negative = false;
    if constexpr (std::is_signed_v<Integer>) {
        negative = value < 0;
        if (negative) magnitude = 0 - magnitude;
    }
    if (magnitude == 0) return;
    const int32_t shift = std::countl_zero(magnitude);
    *this = FromFields(negative, static_cast<uint16_t>(kExtendedExponentBias + 63 - shift),
                       magnitude << shift);
}

constexpr Extended::Extended(float value)
    : Extended(ExtendedFromIeee(std::bit_cast<uint32_t>(value), 23, 8)) {}

constexpr Extended::Extended(double value)
    : Extended(ExtendedFromIeee(std::bit_cast<uint64_t>(value), 52, 11)) {}

constexpr Extended::operator uint64_t() const {
    const ExtendedFields fields = ExtendedSplit(*this);
    const int32_t exponent = fields.exponent - kExtendedExponentBias;
    if (exponent < 0) return 0;
    if (exponent > 63) return ~uint64_t{0};
    return fields.significand >> (63 - exponent);
}

template <>
struct std::numeric_limits<Extended> {
    static constexpr bool is_specialized = true;
    static constexpr bool has_infinity = true;
    static constexpr bool has_quiet_NaN = true;
    static constexpr int digits = 64;
    static constexpr int min_exponent = -16381;
    static constexpr int max_exponent = 16384;

    static constexpr Extended max() {
        return Extended::FromFields(false, kExtendedExponentAllOnes - 1, ~uint64_t{0});
    }
    static constexpr Extended lowest() { return -max(); }
    /// The smallest normal value, 2^-16382.
    static constexpr Extended min() { return Extended::FromFields(false, 1, kExtendedIntegerBit); }
    static constexpr Extended denorm_min() { return Extended::FromFields(false, 0, 1); }
    static constexpr Extended infinity() {
        return Extended::FromFields(false, kExtendedExponentAllOnes, kExtendedIntegerBit);
    }
    static constexpr Extended quiet_NaN() {
        return Extended::FromFields(false, kExtendedExponentAllOnes,
                                    kExtendedIntegerBit | kExtendedQuietBit);
    }
};
