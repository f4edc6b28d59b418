// Arbitrary 80-bit patterns printed with every count of digits: no crash, no undefined
// behaviour, a text no longer than the longest layout that starts with its sign and holds no
// more digits than asked for, and, for ordinary numbers, a text that reads back as the number
// to within its last digit.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "runtime/extended_precision.hpp"
#include "runtime/fpu.hpp"
#include "runtime/number.hpp"
#include "runtime/number_layout.hpp"

namespace {

void CheckText(long double value, int32_t digits) {
    const Text text = NumToText(value, digits);
    const uint32_t length = text.Length();
    if (length < 2 || length > static_cast<uint32_t>(kNumTextMaxLength)) std::abort();
    if (text[0] != ' ' && text[0] != '-') std::abort();

    const int32_t asked = digits >= 1 && digits < 18 ? digits : 18;
    int32_t mantissaDigits = 0;
    for (uint32_t i = 1; i < length && text[i] != 'E'; ++i)
        mantissaDigits += text[i] >= '0' && text[i] <= '9';
    if (mantissaDigits > asked) std::abort();

    // Texts of 1e4932 and more read back saturated; below that, every number that is not
    // zero, NaN, infinite or a pattern the processor rejects reads back to within a unit of
    // the text's last digit.
    const ExtendedFields fields = ExtendedSplit(value);
    const bool ordinary = fields.exponent != 0 && (fields.significand >> 63) != 0 &&
                          std::isfinite(value) && std::fabs(value) < 1e4931L;
    if (!ordinary) return;
    const long double back = TextToNum(text);
    if (std::fabs(back - value) > std::fabs(value) * std::pow(10.0L, 1 - asked)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FpuLoadX87ControlWord(kRtX87ControlWord);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    unsigned char bytes[sizeof(long double)] = {};
    std::memcpy(bytes, data, size < 10 ? size : 10);
    long double value;
    std::memcpy(&value, bytes, sizeof value);

    for (int32_t digits = -1; digits <= 19; ++digits)
        CheckText(value, digits);
    if (size >= 14) {
        int32_t digits;
        std::memcpy(&digits, data + 10, sizeof digits);
        CheckText(value, digits);
    }
    return 0;
}
