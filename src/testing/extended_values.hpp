#pragma once
// Expected extended values for tests, worked out with exact integers rather than with the
// arithmetic under test or the compiler's long double (which is another format on most
// processors), and a readable form of extended values in test failures.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <ostream>
#include <string>
#include <string_view>

#include "runtime/extended.hpp"
#include "testing/big_unsigned.hpp"

/// The extended value nearest to numerator / denominator, halves to even, with gradual
/// underflow and overflow to infinity.
inline Extended ExtendedNearest(BigUnsigned numerator, BigUnsigned denominator,
                                bool negative = false) {
    if (numerator.IsZero()) return Extended::FromFields(negative, 0, 0);
    // numerator / denominator = quotient * 2^-scale, with a quotient of 66 or 67 bits: more
    // than the 64 kept and the rounding bit.
    const int scale = 66 + denominator.BitLength() - numerator.BitLength();
    if (scale >= 0) {
        numerator = numerator.ShiftedLeft(scale);
    } else {
        denominator = denominator.ShiftedLeft(-scale);
    }
    const auto [quotient, remainder] = BigUnsigned::Divide(numerator, denominator);
    // The value lies in [2^lead, 2^(lead + 1)); its last place is 2^(lead - 63), but never
    // below the place of the smallest subnormal.
    const int lead = quotient.BitLength() - 1 - scale;
    int lastPlace = std::max(lead - 63, 1 - kExtendedExponentBias - 63);
    const int cut = lastPlace + scale;
    uint64_t kept = quotient.BitsFrom(cut);
    const bool sticky = quotient.AnyBitBelow(cut - 1) || !remainder.IsZero();
    if (quotient.Bit(cut - 1) && (sticky || (kept & 1) != 0)) {
        if (++kept == 0) {
            kept = kExtendedIntegerBit;
            ++lastPlace;
        }
    }
    if ((kept & kExtendedIntegerBit) == 0) return Extended::FromFields(negative, 0, kept);
    const int field = lastPlace + 63 + kExtendedExponentBias;
    if (field >= kExtendedExponentAllOnes) {
        return Extended::FromFields(negative, kExtendedExponentAllOnes, kExtendedIntegerBit);
    }
    return Extended::FromFields(negative, static_cast<uint16_t>(field), kept);
}

/// The extended value nearest to a decimal number: an optional "-", digits with an optional
/// ".", and an optional "e" with a signed exponent ("1.12", "-9.99e4931", "1e-4933").
inline Extended ExtendedFromDecimal(std::string_view text) {
    const bool negative = !text.empty() && text.front() == '-';
    if (negative) text.remove_prefix(1);
    BigUnsigned digits(0);
    int exponent = 0;
    bool afterPoint = false;
    size_t i = 0;
    for (; i < text.size() && text[i] != 'e'; ++i) {
        if (text[i] == '.') {
            afterPoint = true;
            continue;
        }
        digits = digits * BigUnsigned(10) + BigUnsigned(static_cast<uint64_t>(text[i] - '0'));
        if (afterPoint) --exponent;
    }
    if (i < text.size()) exponent += std::stoi(std::string(text.substr(i + 1)));
    return exponent >= 0 ? ExtendedNearest(digits * BigUnsigned::PowerOfTen(exponent),
                                           BigUnsigned(1), negative)
                         : ExtendedNearest(digits, BigUnsigned::PowerOfTen(-exponent), negative);
}

/// Whether `value` is a NaN (or a pattern the x87 refuses, which it computes as one).
inline bool ExtendedIsNan(Extended value) { return !(value == value); }

/// Extended values in test failures: their fields, and the double nearest to them.
inline void PrintTo(const Extended& value, std::ostream* out) {
    char fields[40];
    std::snprintf(fields, sizeof fields, "%04X:%016llX", value.signAndExponent,
                  static_cast<unsigned long long>(value.significand));
    *out << fields << " (" << static_cast<double>(value) << ")";
}
