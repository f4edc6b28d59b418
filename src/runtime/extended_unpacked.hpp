#pragma once
// An extended value taken apart for arithmetic: what kind of value it is and, for a finite
// non-zero number, a normalised significand and an exponent without bounds.

#include <bit>
#include <cstdint>

#include "runtime/extended.hpp"

enum class ExtendedKind {
    kZero,
    kFinite,
    kInfinity,
    kNan,
    /// A pattern the x87 refuses as an operand: an unnormal (a non-zero exponent field
    /// without the integer bit), a pseudo-infinity or a pseudo-NaN.
    kRefused,
};

struct ExtendedUnpacked {
    ExtendedKind kind;
    bool negative;
    /// For kFinite: the value is significand * 2^(exponent - 63), the significand's top bit
    /// set; subnormals are normalised here, so the exponent may lie below the format's range.
    int32_t exponent;
    uint64_t significand;
};

constexpr ExtendedUnpacked ExtendedUnpack(Extended value) {
    const ExtendedFields fields = ExtendedSplit(value);
    const uint64_t significand = fields.significand;
    const bool integerBit = (significand & kExtendedIntegerBit) != 0;
    if (fields.exponent == kExtendedExponentAllOnes) {
        if (!integerBit) return {ExtendedKind::kRefused, fields.negative, 0, significand};
        const bool infinite = significand == kExtendedIntegerBit;
        return {infinite ? ExtendedKind::kInfinity : ExtendedKind::kNan, fields.negative, 0,
                significand};
    }
    if (fields.exponent == 0) {
        if (significand == 0) return {ExtendedKind::kZero, fields.negative, 0, 0};
        // Subnormals and pseudo-denormals (integer bit set) alike are worth
        // significand * 2^(1 - bias - 63).
        const int32_t shift = std::countl_zero(significand);
        return {ExtendedKind::kFinite, fields.negative, 1 - kExtendedExponentBias - shift,
                significand << shift};
    }
    if (!integerBit) return {ExtendedKind::kRefused, fields.negative, 0, significand};
    return {ExtendedKind::kFinite, fields.negative, fields.exponent - kExtendedExponentBias,
            significand};
}

/// What an invalid operation gives: the x87's default NaN, negative and quiet.
inline constexpr Extended kExtendedDefaultNan =
    Extended::FromFields(true, kExtendedExponentAllOnes, kExtendedIntegerBit | kExtendedQuietBit);
