#include "runtime/number.hpp"

#include <algorithm>
#include <string_view>

#include "runtime/decimal_digits.hpp"
#include "runtime/decimal_parse.hpp"
#include "runtime/extended_precision.hpp"
#include "runtime/number_layout.hpp"
#include "runtime/power_of_ten.hpp"
#include "runtime/prefixed_integer.hpp"

namespace {

// Counts of places from 18 on, negative counts taken as unsigned among them, mean 18.
constexpr uint32_t kMaxPlaces = 18;

bool IsLeadingBlank(char byte) {
    return byte == ' ' || byte == '\t' || byte == '\n';
}

}  // namespace

long double TextToNum(const Text& text) {
    const char* next = text.Data();
    const char* const end = next + text.Length();
    while (next != end && IsLeadingBlank(*next))
        ++next;
    if (next != end && *next == '&') return NumParsePrefixedInteger(next + 1, end);
    return NumParseDecimal(next, end);
}

Text NumToText(long double value, int32_t digits) {
    const int32_t significantDigits = NumSignificantDigits(digits);
    char text[kNumTextMaxLength];
    const int32_t length =
        NumLayOut(NumDecimalDigits(value, significantDigits), significantDigits, text);
    return Text(std::string_view(text, static_cast<size_t>(length)));
}

long double NumRound(long double value, int32_t places) {
    // Every extended value of 2^63 or more is an integer already. Scaling it up first could
    // overflow to infinity, or round it to a neighbour on the way back.
    const long double magnitude = value < 0 ? -value : value;
    if (!(magnitude < kExtendedTwoTo63)) return value;
    const uint32_t count = std::min(static_cast<uint32_t>(places), kMaxPlaces);
    const long double scale = NumScaleByPowerOfTen(1, static_cast<int32_t>(count));
    return ExtendedRoundToInteger(value * scale) / scale;
}
