// Multiplication, division, comparison and rounding to an integer of extended values, in
// integers, with the results the x87 gives in the mode start-up loads.

#include <compare>

#include "runtime/extended.hpp"
#include "runtime/extended_unpacked.hpp"
#include "runtime/wide_integer.hpp"

namespace {

// Half a unit of the last place, as the top bit of the bits below the significand.
constexpr uint64_t kHalf = uint64_t{1} << 63;

Extended Infinity(bool negative) {
    return Extended::FromFields(negative, kExtendedExponentAllOnes, kExtendedIntegerBit);
}

Extended Zero(bool negative) { return Extended::FromFields(negative, 0, 0); }

// Rounds significand * 2^(exponent - 63), the significand's top bit set, to the format.
// `rest` stands for the exact bits below the significand: its top bit is worth half a unit
// of the last place, and only whether any bit below that is set matters. Below the normal
// range the significand is shifted down first, so that it rounds once, at the last place
// the format has there (gradual underflow); past the top of the range it is infinity.
Extended RoundAndPack(bool negative, int32_t exponent, uint64_t significand, uint64_t rest) {
    int32_t field = exponent + kExtendedExponentBias;
    if (field < 1) {
        const int32_t shift = 1 - field;
        const uint64_t sticky = rest != 0 ? 1 : 0;
        if (shift < 64) {
            rest = (significand << (64 - shift)) | sticky;
            significand >>= shift;
        } else {
            rest = shift == 64 ? significand | sticky : 1;
            significand = 0;
        }
        field = 0;
    }
    if (rest > kHalf || (rest == kHalf && (significand & 1) != 0)) {
        ++significand;
        if (significand == 0) {  // the carry left the 64 bits
            significand = kExtendedIntegerBit;
            ++field;
        } else if (field == 0 && significand == kExtendedIntegerBit) {
            field = 1;  // the largest subnormal rounded up to the smallest normal number
        }
    }
    if (field >= kExtendedExponentAllOnes) return Infinity(negative);
    return Extended::FromFields(negative, static_cast<uint16_t>(field), significand);
}

bool IsNanOrRefused(const ExtendedUnpacked& x) {
    return x.kind == ExtendedKind::kNan || x.kind == ExtendedKind::kRefused;
}

// The result of an operation with a NaN or a refused operand: a refused pattern makes it the
// default NaN, even beside a NaN; otherwise it is the NaN operand with the larger
// significand (the positive one of two equal ones), made quiet.
Extended PropagateNan(Extended a, const ExtendedUnpacked& x, Extended b,
                      const ExtendedUnpacked& y) {
    if (x.kind == ExtendedKind::kRefused || y.kind == ExtendedKind::kRefused) {
        return kExtendedDefaultNan;
    }
    Extended chosen;
    if (x.kind != ExtendedKind::kNan) {
        chosen = b;
    } else if (y.kind != ExtendedKind::kNan) {
        chosen = a;
    } else if (a.significand != b.significand) {
        chosen = a.significand > b.significand ? a : b;
    } else {
        chosen = x.negative ? b : a;
    }
    chosen.significand |= kExtendedQuietBit;
    return chosen;
}

// Zeros, finite numbers and infinities in the order of their magnitudes.
int32_t MagnitudeClass(ExtendedKind kind) {
    return kind == ExtendedKind::kZero ? 0 : kind == ExtendedKind::kFinite ? 1 : 2;
}

std::strong_ordering CompareMagnitudes(const ExtendedUnpacked& x, const ExtendedUnpacked& y) {
    if (x.kind != y.kind) return MagnitudeClass(x.kind) <=> MagnitudeClass(y.kind);
    if (x.kind != ExtendedKind::kFinite) return std::strong_ordering::equal;
    if (x.exponent != y.exponent) return x.exponent <=> y.exponent;
    return x.significand <=> y.significand;
}

}  // namespace

Extended operator*(Extended a, Extended b) {
    const ExtendedUnpacked x = ExtendedUnpack(a);
    const ExtendedUnpacked y = ExtendedUnpack(b);
    const bool negative = x.negative != y.negative;
    if (x.kind == ExtendedKind::kFinite && y.kind == ExtendedKind::kFinite) {
        // The product of two significands in [2^63, 2^64) lies in [2^126, 2^128).
        const WideUnsigned product = WideMultiply(x.significand, y.significand);
        const int32_t exponent = x.exponent + y.exponent;
        if ((product.high & kExtendedIntegerBit) != 0) {
            return RoundAndPack(negative, exponent + 1, product.high, product.low);
        }
        return RoundAndPack(negative, exponent, (product.high << 1) | (product.low >> 63),
                            product.low << 1);
    }
    if (IsNanOrRefused(x) || IsNanOrRefused(y)) return PropagateNan(a, x, b, y);
    if (x.kind == ExtendedKind::kInfinity || y.kind == ExtendedKind::kInfinity) {
        if (x.kind == ExtendedKind::kZero || y.kind == ExtendedKind::kZero) {
            return kExtendedDefaultNan;
        }
        return Infinity(negative);
    }
    return Zero(negative);
}

Extended operator/(Extended a, Extended b) {
    const ExtendedUnpacked x = ExtendedUnpack(a);
    const ExtendedUnpacked y = ExtendedUnpack(b);
    const bool negative = x.negative != y.negative;
    if (x.kind == ExtendedKind::kFinite && y.kind == ExtendedKind::kFinite) {
        // A quotient of 64 bits with its top bit set: the dividend's significand times 2^63
        // when it is not below the divisor's, else times 2^64.
        int32_t exponent = x.exponent - y.exponent;
        uint64_t high = x.significand;
        uint64_t low = 0;
        if (x.significand >= y.significand) {
            low = high << 63;
            high >>= 1;
        } else {
            --exponent;
        }
        const WideQuotient division = WideDivide(high, low, y.significand);
        // The remainder against half the divisor says all that rounding needs of the bits
        // below the quotient.
        const uint64_t remainder = division.remainder;
        const uint64_t toDivisor = y.significand - remainder;
        uint64_t rest = 0;
        if (remainder != 0) {
            rest = remainder < toDivisor ? kHalf >> 1 : remainder == toDivisor ? kHalf : kHalf | 1;
        }
        return RoundAndPack(negative, exponent, division.quotient, rest);
    }
    if (IsNanOrRefused(x) || IsNanOrRefused(y)) return PropagateNan(a, x, b, y);
    if (x.kind == ExtendedKind::kInfinity) {
        return y.kind == ExtendedKind::kInfinity ? kExtendedDefaultNan : Infinity(negative);
    }
    if (y.kind == ExtendedKind::kInfinity) return Zero(negative);
    if (y.kind == ExtendedKind::kZero) {
        return x.kind == ExtendedKind::kZero ? kExtendedDefaultNan : Infinity(negative);
    }
    return Zero(negative);
}

std::partial_ordering operator<=>(Extended a, Extended b) {
    const ExtendedUnpacked x = ExtendedUnpack(a);
    const ExtendedUnpacked y = ExtendedUnpack(b);
    if (IsNanOrRefused(x) || IsNanOrRefused(y)) return std::partial_ordering::unordered;
    const bool xBelowZero = x.negative && x.kind != ExtendedKind::kZero;
    const bool yBelowZero = y.negative && y.kind != ExtendedKind::kZero;
    if (xBelowZero != yBelowZero) {
        return xBelowZero ? std::partial_ordering::less : std::partial_ordering::greater;
    }
    const std::strong_ordering magnitudes = CompareMagnitudes(x, y);
    return xBelowZero ? 0 <=> magnitudes : magnitudes;
}

bool operator==(Extended a, Extended b) { return (a <=> b) == 0; }

Extended ExtendedRoundToInteger(Extended value) {
    const ExtendedUnpacked x = ExtendedUnpack(value);
    if (x.kind == ExtendedKind::kZero) return Zero(false);
    if (x.kind != ExtendedKind::kFinite || x.exponent >= 63) return value;
    // The integer part, and the fraction as bits below it whose top bit is worth one half.
    uint64_t integer = 0;
    uint64_t fraction = 1;  // below one half, but not zero
    if (x.exponent >= 0) {
        integer = x.significand >> (63 - x.exponent);
        fraction = x.significand << (x.exponent + 1);
    } else if (x.exponent == -1) {
        fraction = x.significand;
    }
    if (fraction > kHalf || (fraction == kHalf && (integer & 1) != 0)) ++integer;
    const Extended rounded(integer);
    return x.negative ? -rounded : rounded;
}
