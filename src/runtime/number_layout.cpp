#include "runtime/number_layout.hpp"

#include <cstring>

namespace {

char* Append(char* out, const char* bytes, int32_t count) {
    std::memcpy(out, bytes, count);
    return out + count;
}

char* AppendZeros(char* out, int32_t count) {
    std::memset(out, '0', count);
    return out + count;
}

}  // namespace

int32_t NumLayOut(const DecimalDigits& number, int32_t significantDigits, char* out) {
    char* end = out;
    *end++ = number.negative ? '-' : ' ';
    const char* digits = number.digits;
    const int32_t count = number.count;
    if (count == 0) {
        *end++ = '0';
        return static_cast<int32_t>(end - out);
    }
    // The number is the integer of these digits times 10^scale.
    const int32_t scale = number.position - count;
    if (scale >= 0 && count + scale <= significantDigits) {
        end = AppendZeros(Append(end, digits, count), scale);
    } else if (scale < 0 && -scale <= significantDigits) {
        const int32_t fractionDigits = -scale;
        if (count > fractionDigits) {
            end = Append(end, digits, count - fractionDigits);
            *end++ = '.';
            end = Append(end, digits + count - fractionDigits, fractionDigits);
        } else {
            *end++ = '.';
            end = Append(AppendZeros(end, fractionDigits - count), digits, count);
        }
    } else {
        *end++ = digits[0];
        if (count > 1) {
            *end++ = '.';
            end = Append(end, digits + 1, count - 1);
        }
        *end++ = 'E';
        // The exponent of the first digit, never zero in this form.
        const int32_t exponent = number.position - 1;
        *end++ = exponent > 0 ? '+' : '-';
        end += NumWriteDecimal(static_cast<uint64_t>(exponent > 0 ? exponent : -exponent), end);
    }
    return static_cast<int32_t>(end - out);
}
