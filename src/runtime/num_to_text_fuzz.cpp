// Arbitrary 80-bit patterns printed with every count of digits: no crash, no undefined
// behaviour, a text no longer than the longest layout that starts with its sign and holds no
// more digits than asked for, the same text from both arithmetics where there are two, and,
// for ordinary numbers, a text that reads back as the number to within its last digit.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "platform/fpu.hpp"
#include "runtime/number.hpp"
#include "runtime/number_layout.hpp"
#include "runtime/power_of_ten.hpp"
#include "runtime/startup.hpp"

namespace {

void CheckText(Extended value, int32_t digits) {
    const Text text = NumToText<Extended>(value, digits);
#if VIRODARO_X87_LONG_DOUBLE
    if (!(NumToText<X87Extended>(value, digits) == text)) std::abort();
#endif
    const uint32_t length = text.Length();
    if (length < 2 || length > static_cast<uint32_t>(kNumTextMaxLength)) std::abort();
    if (text[0] != ' ' && text[0] != '-') std::abort();

    const int32_t asked = digits >= 1 && digits < 18 ? digits : 18;
    int32_t mantissaDigits = 0;
    for (uint32_t i = 1; i < length && text[i] != 'E'; ++i)
        mantissaDigits += text[i] >= '0' && text[i] <= '9';
    if (mantissaDigits > asked) std::abort();

    // Texts of 1e4932 and more read back saturated; below that, every number that is not
    // zero, NaN, infinite or a pattern the x87 rejects reads back to within a unit of the
    // text's last digit: between |value| * (1 - 10^(1 - asked)) and |value| * (1 + ...).
    const ExtendedFields fields = ExtendedSplit(value);
    const Extended magnitude = fields.negative ? -value : value;
    const bool ordinary = fields.exponent != 0 && (fields.significand >> 63) != 0 &&
                          fields.exponent != kExtendedExponentAllOnes &&
                          magnitude < NumScaleByPowerOfTen(Extended(1), 4931);
    if (!ordinary) return;
    const Extended back = TextToNum<Extended>(text);
    const Extended backMagnitude = back < 0 ? -back : back;
    const uint64_t lastDigit = static_cast<uint64_t>(NumScaleByPowerOfTen(Extended(1), asked - 1));
    const Extended below = magnitude * (Extended(lastDigit - 1) / Extended(lastDigit));
    const Extended above = magnitude * (Extended(lastDigit + 1) / Extended(lastDigit));
    if (backMagnitude < below || backMagnitude > above) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    platform::FpuLoadX87ControlWord(kRtX87ControlWord);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    unsigned char bytes[10] = {};
    std::memcpy(bytes, data, size < 10 ? size : 10);
    Extended value;
    std::memcpy(&value.significand, bytes, sizeof value.significand);
    std::memcpy(&value.signAndExponent, bytes + 8, sizeof value.signAndExponent);

    for (int32_t digits = -1; digits <= 19; ++digits)
        CheckText(value, digits);
    if (size >= 14) {
        int32_t digits;
        std::memcpy(&digits, data + 10, sizeof digits);
        CheckText(value, digits);
    }
    return 0;
}
