#include "runtime/number.hpp"

#include <algorithm>
#include <string_view>

#include "runtime/decimal_digits.hpp"
#include "runtime/decimal_parse.hpp"
#include "runtime/number_layout.hpp"
#include "runtime/power_of_ten.hpp"
#include "runtime/prefixed_integer.hpp"

namespace {

// Counts of places from 18 on, negative counts taken as unsigned among them, mean 18.
constexpr uint32_t kMaxPlaces = 18;

// Every extended value of this magnitude or more is an integer.
constexpr Extended kTwoTo63 = Extended(uint64_t{1} << 63);

bool IsLeadingBlank(char byte) {
    return byte == ' ' || byte == '\t' || byte == '\n';
}

}  // namespace

template <typename Real>
Real TextToNum(const Text& text) {
    const char* next = text.Data();
    const char* const end = next + text.Length();
    while (next != end && IsLeadingBlank(*next))
        ++next;
    if (next != end && *next == '&') return Real(NumParsePrefixedInteger(next + 1, end));
    return NumParseDecimal<Real>(next, end);
}

template <typename Real>
Text NumToText(Extended value, int32_t digits) {
    const int32_t significantDigits = NumSignificantDigits(digits);
    char text[kNumTextMaxLength];
    const int32_t length =
        NumLayOut(NumDecimalDigits<Real>(value, significantDigits), significantDigits, text);
    return Text(std::string_view(text, static_cast<size_t>(length)));
}

template <typename Real>
Real NumRound(std::type_identity_t<Real> value, int32_t places) {
    // Every extended value of 2^63 or more is an integer already. Scaling it up first could
    // overflow to infinity, or round it to a neighbour on the way back.
    const Real magnitude = value < 0 ? -value : value;
    if (!(magnitude < Real(kTwoTo63))) return value;
    const uint32_t count = std::min(static_cast<uint32_t>(places), kMaxPlaces);
    const Real scale = NumScaleByPowerOfTen(Real(1), static_cast<int32_t>(count));
    return ExtendedRoundToInteger(value * scale) / scale;
}

template Extended TextToNum<Extended>(const Text& text);
template Text NumToText<Extended>(Extended value, int32_t digits);
template Extended NumRound<Extended>(Extended value, int32_t places);
#if VIRODARO_X87_LONG_DOUBLE
template X87Extended TextToNum<X87Extended>(const Text& text);
template Text NumToText<X87Extended>(Extended value, int32_t digits);
template X87Extended NumRound<X87Extended>(X87Extended value, int32_t places);
#endif
