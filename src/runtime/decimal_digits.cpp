#include "runtime/decimal_digits.hpp"

#include <cstring>

#include "runtime/power_of_ten.hpp"
#include "runtime/x87_extended.hpp"

namespace {

enum class ValueKind { kNoDigits, kInfinite, kFinite };

// The x87 refuses unnormals (a non-zero exponent without the integer bit) and
// pseudo-infinities as invalid operands and computes NaN from them, so they print as NaN.
ValueKind Classify(const ExtendedFields& fields) {
    if (fields.exponent == 0) return ValueKind::kNoDigits;
    if ((fields.significand & kExtendedIntegerBit) == 0) return ValueKind::kNoDigits;
    if (fields.exponent == kExtendedExponentAllOnes) {
        return fields.significand == kExtendedIntegerBit ? ValueKind::kInfinite
                                                         : ValueKind::kNoDigits;
    }
    return ValueKind::kFinite;
}

// Room for the scaled integer (at most 19 digits, see below) and the two guard digits.
constexpr int32_t kGeneratedDigits = 21;

// Writes the digits of a finite non-zero magnitude, scaled to an integer of about 18
// digits, followed by two "0" guard digits, and returns the decimal position of the first.
template <typename Real>
int32_t GenerateDigits(Real magnitude, uint16_t exponentField, char (&out)[kGeneratedDigits]) {
    const int32_t binaryExponent = exponentField - kExtendedExponentBias;
    // floor(binaryExponent * log10(2)), from a slightly small 16-bit fraction of log10(2):
    // often one too low, and one too high for some numbers from about 1e-205 down.
    int32_t estimate = (binaryExponent * 19728) >> 16;
    Real scaled = ExtendedRoundToInteger(NumScaleByPowerOfTen(magnitude, 17 - estimate));
    if (scaled >= Real(kNumTenTo18)) {
        scaled = scaled / Real(10);
        ++estimate;
    }
    const uint64_t integer = static_cast<uint64_t>(ExtendedRoundToInteger(scaled));
    // 18 digits when the estimate was right, 17 when it was one too high; 19 in the rare case
    // where dividing 10^19 - 1 by ten rounds up to 10^18. The decimal position follows the
    // digits actually produced, so the printed value is always the number's own.
    const int32_t count = NumWriteDecimal(integer, out);
    std::memset(out + count, '0', kGeneratedDigits - count);
    return estimate - 17 + count;
}

// Rounds the first n digits on digit n + 1 alone; returns 1 when the carry left the first
// digit (the digits are then "1" and zeros), else 0.
int32_t RoundOnNextDigit(char* digits, int32_t n) {
    const char next = digits[n];
    const bool lastIsOdd = ((digits[n - 1] - '0') & 1) != 0;
    if (next < '5' || (next == '5' && !lastIsOdd)) return 0;
    int32_t i = n - 1;
    while (i >= 0 && digits[i] == '9')
        digits[i--] = '0';
    if (i >= 0) {
        ++digits[i];
        return 0;
    }
    digits[0] = '1';
    return 1;
}

}  // namespace

int32_t NumSignificantDigits(int32_t requested) {
    const uint32_t count = static_cast<uint32_t>(requested);
    return count == 0 || count >= kNumMaxDigits ? kNumMaxDigits : static_cast<int32_t>(count);
}

template <typename Real>
DecimalDigits NumDecimalDigits(Extended value, int32_t significantDigits) {
    DecimalDigits result{};
    const ExtendedFields fields = ExtendedSplit(value);
    switch (Classify(fields)) {
        case ValueKind::kNoDigits:
            result.position = 1;
            return result;
        case ValueKind::kInfinite:
            std::memset(result.digits, '9', significantDigits);
            result.count = significantDigits;
            result.position = 999;
            result.negative = fields.negative;
            return result;
        case ValueKind::kFinite:
            break;
    }
    char generated[kGeneratedDigits];
    const Real magnitude(fields.negative ? -value : value);
    result.position = GenerateDigits(magnitude, fields.exponent, generated);
    result.position += RoundOnNextDigit(generated, significantDigits);
    int32_t count = significantDigits;
    while (count > 0 && generated[count - 1] == '0')
        --count;
    std::memcpy(result.digits, generated, count);
    result.count = count;
    result.negative = fields.negative;
    return result;
}

int32_t NumWriteDecimal(uint64_t value, char* out) {
    char reversed[20];
    int32_t count = 0;
    do {
        reversed[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    for (int32_t i = 0; i < count; ++i)
        out[i] = reversed[count - 1 - i];
    return count;
}

template DecimalDigits NumDecimalDigits<Extended>(Extended value, int32_t significantDigits);
#if VIRODARO_X87_LONG_DOUBLE
template DecimalDigits NumDecimalDigits<X87Extended>(Extended value, int32_t significantDigits);
#endif
