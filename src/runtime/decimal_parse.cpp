#include "runtime/decimal_parse.hpp"

#include <algorithm>
#include <cstdint>

#include "runtime/decimal_digits.hpp"
#include "runtime/power_of_ten.hpp"
#include "runtime/x87_extended.hpp"

namespace {

constexpr int32_t kExponentLimit = 9999;
// Decimal exponents from here on are out of the extended range.
constexpr int64_t kOutOfRangeExponent = 4933;
// What a number too large to read becomes: 2^127.
constexpr Extended kSaturatedMagnitude =
    Extended::FromFields(false, kExtendedExponentBias + 127, kExtendedIntegerBit);

bool IsDigit(char byte) {
    return byte >= '0' && byte <= '9';
}

bool IsExponentLetter(char byte) {
    return byte == 'E' || byte == 'e' || byte == 'D' || byte == 'd';
}

// Takes an optional "+" or "-"; true when it was "-".
bool TakeMinusSign(const char*& text, const char* end) {
    if (text == end || (*text != '+' && *text != '-')) return false;
    return *text++ == '-';
}

// The exponent after its letter: an optional sign and digits, saturated; 0 without digits.
// Inline: taken into the parser of each arithmetic, it saves TextToNum a call.
inline int32_t ParseExponent(const char* text, const char* end) {
    const bool negative = TakeMinusSign(text, end);
    int32_t exponent = 0;
    for (; text != end && IsDigit(*text); ++text)
        exponent = std::min(exponent * 10 + (*text - '0'), kExponentLimit);
    return negative ? -exponent : exponent;
}

}  // namespace

template <typename Real>
Real NumParseDecimal(const char* text, const char* end) {
    const bool negative = TakeMinusSign(text, end);

    uint64_t mantissa = 0;          // the first 18 significant digits
    int64_t significantDigits = 0;  // all of them
    int64_t pointPosition = 0;      // of the decimal point, in significant digits
    bool anyDigit = false;
    bool seenPoint = false;
    for (; text != end; ++text) {
        const char byte = *text;
        if (byte == '.') {
            if (seenPoint) break;
            seenPoint = true;
            continue;
        }
        if (!IsDigit(byte)) break;
        anyDigit = true;
        if (significantDigits == 0 && byte == '0') {
            // A zero before the first significant digit only moves the point when it
            // stands after the point.
            if (seenPoint) --pointPosition;
            continue;
        }
        if (significantDigits < kNumMaxDigits) mantissa = mantissa * 10 + (byte - '0');
        ++significantDigits;
        if (!seenPoint) ++pointPosition;
    }
    if (!anyDigit) return 0;
    int32_t exponent = 0;
    if (text != end && IsExponentLetter(*text)) exponent = ParseExponent(text + 1, end);

    Real magnitude;
    const int64_t decimalExponent = pointPosition + exponent;
    // A zero mantissa is zero whatever its exponent; it must not saturate.
    if (mantissa == 0 || decimalExponent <= -kOutOfRangeExponent) {
        magnitude = 0;
    } else if (decimalExponent >= kOutOfRangeExponent) {
        magnitude = Real(kSaturatedMagnitude);
    } else {
        const int64_t keptDigits = std::min<int64_t>(significantDigits, kNumMaxDigits);
        // Eighteen digits fit a signed integer, which the x87 loads in one step.
        magnitude = NumScaleByPowerOfTen(Real(static_cast<int64_t>(mantissa)),
                                         static_cast<int32_t>(decimalExponent - keptDigits));
    }
    return negative ? -magnitude : magnitude;
}

template Extended NumParseDecimal<Extended>(const char* text, const char* end);
#if VIRODARO_X87_LONG_DOUBLE
template X87Extended NumParseDecimal<X87Extended>(const char* text, const char* end);
#endif
