// The results of the number sweep's cases in each arithmetic, as bytes to compare.

#include "runtime/number_sweep_cases.hpp"

#include <bit>
#include <string>

#include "runtime/number.hpp"
#include "runtime/power_of_ten.hpp"
#include "runtime/x87_extended.hpp"

namespace {

std::string Bytes(Extended value) {
    std::string bytes;
    for (int i = 0; i < 8; ++i)
        bytes += static_cast<char>(value.significand >> (8 * i));
    bytes += static_cast<char>(value.signAndExponent);
    bytes += static_cast<char>(value.signAndExponent >> 8);
    return bytes;
}

template <typename Unsigned>
std::string Bytes(Unsigned value) {
    std::string bytes;
    for (size_t i = 0; i < sizeof value; ++i)
        bytes += static_cast<char>(value >> (8 * i));
    return bytes;
}

template <typename Real>
char Order(Real a, Real b) {
    if (a < b) return '<';
    if (b < a) return '>';
    return a >= b ? '=' : '?';
}

template <typename Real>
std::string RunFloatsAndIntegers(const SweepCase& c) {
    const Real a(c.a);
    std::string result = Bytes(std::bit_cast<uint32_t>(static_cast<float>(a)));
    result += Bytes(std::bit_cast<uint64_t>(static_cast<double>(a)));
    result +=
        Bytes(static_cast<Extended>(Real(std::bit_cast<float>(static_cast<uint32_t>(c.bits)))));
    result += Bytes(static_cast<Extended>(Real(std::bit_cast<double>(c.bits))));
    result += Bytes(static_cast<Extended>(Real(static_cast<int64_t>(c.bits >> (c.bits % 64)))));
    // The integer part of the magnitude rounded to an integer, where that fits in 64 bits.
    const Real rounded = ExtendedRoundToInteger(a < 0 ? -a : a);
    const Real twoTo64(
        Extended::FromFields(false, kExtendedExponentBias + 64, kExtendedIntegerBit));
    if (rounded < twoTo64) result += Bytes(static_cast<uint64_t>(rounded));
    return result;
}

}  // namespace

template <typename Real>
std::string SweepRun(const SweepCase& c) {
    const Real a(c.a), b(c.b);
    switch (c.kind) {
        case SweepKind::kMultiply:
            return Bytes(static_cast<Extended>(a * b));
        case SweepKind::kDivide:
            return Bytes(static_cast<Extended>(a / b));
        case SweepKind::kRoundAndCompare:
            return Bytes(static_cast<Extended>(ExtendedRoundToInteger(a))) + Order(a, b);
        case SweepKind::kFloatsAndIntegers:
            return RunFloatsAndIntegers<Real>(c);
        case SweepKind::kNumToText:
            return std::string(NumToText<Real>(c.a, c.count).Bytes());
        case SweepKind::kDecimalText:
        case SweepKind::kPrefixedText:
            return Bytes(static_cast<Extended>(TextToNum<Real>(Text(std::string_view(c.text)))));
        case SweepKind::kNumRound:
            return Bytes(static_cast<Extended>(NumRound<Real>(a, c.count)));
        case SweepKind::kScaleByPowerOfTen:
            return Bytes(static_cast<Extended>(NumScaleByPowerOfTen(a, c.count)));
        case SweepKind::kTextRoundTrip: {
            const Text text = NumToText<Real>(c.a, c.count);
            return std::string(text.Bytes()) + Bytes(static_cast<Extended>(TextToNum<Real>(text)));
        }
        case SweepKind::kCount:
            break;
    }
    return {};
}

template std::string SweepRun<Extended>(const SweepCase& sweepCase);
#if VIRODARO_X87_LONG_DOUBLE
template std::string SweepRun<X87Extended>(const SweepCase& sweepCase);
#endif

std::string SweepHex(const std::string& bytes) {
    static const char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (const char byte : bytes) {
        hex += kDigits[static_cast<uint8_t>(byte) >> 4];
        hex += kDigits[static_cast<uint8_t>(byte) & 15];
    }
    return hex;
}

std::string SweepDescribe(const SweepCase& c) {
    static const char* const kNames[] = {"multiply",
                                         "divide",
                                         "round and compare",
                                         "float, double and integer conversions",
                                         "NumToText",
                                         "TextToNum",
                                         "TextToNum",
                                         "NumRound",
                                         "scale by a power of ten",
                                         "NumToText and back"};
    std::string description = kNames[static_cast<int>(c.kind)];
    description += ": a " + SweepHex(Bytes(c.a)) + " b " + SweepHex(Bytes(c.b)) + " count " +
                   std::to_string(c.count) + " bits " + SweepHex(Bytes(c.bits));
    if (!c.text.empty()) description += " text " + SweepHex(c.text);
    return description;
}
