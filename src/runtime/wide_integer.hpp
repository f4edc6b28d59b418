#pragma once
// 128-bit products and quotients made of 64-bit halves, for the extended arithmetic: exact,
// on any processor and compiler.

#include <cstdint>

/// A 128-bit unsigned value.
struct WideUnsigned {
    uint64_t high;
    uint64_t low;
};

/// a * b from 32-bit pieces, for compilers without a 128-bit integer type.
constexpr WideUnsigned WideMultiplyPortable(uint64_t a, uint64_t b) {
    constexpr uint64_t kLowHalf = 0xFFFFFFFF;
    const uint64_t lowLow = (a & kLowHalf) * (b & kLowHalf);
    const uint64_t lowHigh = (a & kLowHalf) * (b >> 32);
    const uint64_t highLow = (a >> 32) * (b & kLowHalf);
    const uint64_t highHigh = (a >> 32) * (b >> 32);
    const uint64_t middle = (lowLow >> 32) + (lowHigh & kLowHalf) + (highLow & kLowHalf);
    return {highHigh + (lowHigh >> 32) + (highLow >> 32) + (middle >> 32),
            (middle << 32) | (lowLow & kLowHalf)};
}

/// a * b, exact.
constexpr WideUnsigned WideMultiply(uint64_t a, uint64_t b) {
#if defined(__SIZEOF_INT128__)
    const unsigned __int128 product = static_cast<unsigned __int128>(a) * b;
    return {static_cast<uint64_t>(product >> 64), static_cast<uint64_t>(product)};
#else
    return WideMultiplyPortable(a, b);
#endif
}

struct WideQuotient {
    uint64_t quotient;
    uint64_t remainder;
};

/// (high * 2^64 + low) / divisor for a divisor whose top bit is set and high < divisor, so
/// that the quotient fits in 64 bits. Knuth's division on 32-bit digits (as Hacker's Delight
/// writes it for a normalised divisor): each quotient digit is estimated from the top digits
/// with the processor's 64-bit division and corrected at most twice.
constexpr WideQuotient WideDivide(uint64_t high, uint64_t low, uint64_t divisor) {
    constexpr uint64_t kDigitBase = uint64_t{1} << 32;
    const uint64_t divisorHigh = divisor >> 32;
    const uint64_t divisorLow = divisor & (kDigitBase - 1);
    const uint64_t lowHigh = low >> 32;
    const uint64_t lowLow = low & (kDigitBase - 1);

    uint64_t upper = high / divisorHigh;
    uint64_t rest = high - upper * divisorHigh;
    while (upper >= kDigitBase || upper * divisorLow > ((rest << 32) | lowHigh)) {
        --upper;
        rest += divisorHigh;
        if (rest >= kDigitBase) break;
    }
    // The partial remainder is below the divisor, so its wrapped 64-bit difference is exact.
    const uint64_t partial = ((high << 32) | lowHigh) - upper * divisor;

    uint64_t lower = partial / divisorHigh;
    rest = partial - lower * divisorHigh;
    while (lower >= kDigitBase || lower * divisorLow > ((rest << 32) | lowLow)) {
        --lower;
        rest += divisorHigh;
        if (rest >= kDigitBase) break;
    }
    return {(upper << 32) | lower, ((partial << 32) | lowLow) - lower * divisor};
}
