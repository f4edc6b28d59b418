#include "runtime/number_sweep_cases.hpp"

#include <algorithm>
#include <bit>
#include <string>

namespace {

// SplitMix64: fully defined by its arithmetic, unlike the standard library's distributions.
// Each draw stands in a statement of its own, or after a sequence point (&&, ||, ?:), so
// that every compiler draws in the same order: the order of function arguments and of the
// operands of + is the compiler's choice.
class SweepRandom {
  public:
    explicit SweepRandom(uint64_t state) : state_(state) {}

    uint64_t Next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EB;
        return z ^ (z >> 31);
    }
    uint32_t Below(uint32_t count) { return static_cast<uint32_t>(Next() % count); }
    int32_t Between(int32_t low, int32_t high) {
        return low + static_cast<int32_t>(Below(static_cast<uint32_t>(high - low + 1)));
    }
    char Of(const char* bytes) {
        return bytes[Below(static_cast<uint32_t>(std::char_traits<char>::length(bytes)))];
    }

  private:
    uint64_t state_;
};

constexpr int32_t kBias = kExtendedExponentBias;

uint16_t ClampedField(int32_t field) { return static_cast<uint16_t>(std::clamp(field, 1, 0x7FFE)); }

// Significands at the edges: a power of two and just above it, and just below the next.
// Products and quotients of these land a hair from a significand of 2^63, where rounding is
// decided by the last bits.
uint64_t EdgeSignificand(SweepRandom& random) {
    return random.Below(2) != 0 ? kExtendedIntegerBit + random.Below(3)
                                : ~uint64_t{0} - random.Below(3);
}

// The patterns that need rules of their own: zeros, infinities, NaNs, subnormals and the
// patterns the x87 refuses.
Extended SpecialValue(SweepRandom& random) {
    const bool negative = random.Below(2) != 0;
    const uint64_t payload = random.Next() >> 2;
    switch (random.Below(9)) {
        case 0:
            return Extended::FromFields(negative, 0, 0);
        case 1:
            return Extended::FromFields(negative, 0x7FFF, kExtendedIntegerBit);
        case 2:
            return Extended::FromFields(negative, 0x7FFF,
                                        kExtendedIntegerBit | kExtendedQuietBit | payload);
        case 3:
            return Extended::FromFields(negative, 0x7FFF, kExtendedIntegerBit | (payload | 1));
        case 4:
            return Extended::FromFields(negative, ClampedField(random.Between(1, 0x7FFE)), payload);
        case 5:
            return Extended::FromFields(negative, 0x7FFF, payload);
        case 6:
            return Extended::FromFields(negative, 0, kExtendedIntegerBit | payload);
        case 7:
            return Extended::FromFields(negative, 0, payload >> random.Below(63));
        default:
            return Extended::FromFields(true, 0x7FFF, kExtendedIntegerBit | kExtendedQuietBit);
    }
}

// A value of every sort: ordinary numbers of every magnitude, numbers near the ends of the
// range, significands with few bits (whose products are exact ties), small integers and
// halves, widened floats and doubles, and the special patterns.
Extended RandomValue(SweepRandom& random) {
    const bool negative = random.Below(2) != 0;
    uint64_t significand = random.Next() | kExtendedIntegerBit;
    switch (random.Below(16)) {
        case 0:
        case 1:
        case 2:
            return Extended::FromFields(negative, ClampedField(random.Between(1, 0x7FFE)),
                                        significand);
        case 3: {
            const auto field = static_cast<uint16_t>(random.Between(0, 80));
            if (random.Below(2) != 0) significand >>= 1;  // subnormal, or unnormal
            return Extended::FromFields(negative, field, significand);
        }
        case 4:
            return Extended::FromFields(negative, ClampedField(0x7FFE - random.Between(0, 80)),
                                        significand);
        case 5:
        case 6:
            significand &= ~uint64_t{0} << random.Between(24, 63);
            return Extended::FromFields(negative, ClampedField(kBias + random.Between(-70, 70)),
                                        significand);
        case 7: {
            // An integer below a million, or a half, quarter or eighth of one.
            const ExtendedFields integer =
                ExtendedSplit(Extended(static_cast<int64_t>(random.Below(2000001)) - 1000000));
            const int32_t field =
                integer.exponent == 0 ? 0 : integer.exponent - random.Between(0, 3);
            return Extended::FromFields(integer.negative, static_cast<uint16_t>(field),
                                        integer.significand);
        }
        case 8:
            if (random.Below(2) != 0) {
                return Extended(std::bit_cast<float>(static_cast<uint32_t>(random.Next())));
            }
            significand = EdgeSignificand(random);
            return Extended::FromFields(
                negative,
                ClampedField(random.Below(2) != 0 ? kBias + random.Between(-70, 70)
                                                  : random.Between(1, 0x7FFE)),
                significand);
        case 9:
            return Extended(std::bit_cast<double>(random.Next()));
        case 10:
            return SpecialValue(random);
        default:
            return Extended::FromFields(negative, ClampedField(kBias + random.Between(-200, 200)),
                                        significand);
    }
}

// A second operand that often puts a product or quotient near the bottom or the top of the
// range, where rounding meets gradual underflow or overflow.
Extended SecondOperand(SweepRandom& random, Extended& a, bool forProduct) {
    const Extended b = RandomValue(random);
    // The same number or its negative: equal NaN payloads, exact quotients of one.
    if (random.Below(10) == 0) return random.Below(2) != 0 ? a : -a;
    ExtendedFields fields = ExtendedSplit(a);
    if (random.Below(3) != 0 || fields.exponent == 0 || fields.exponent == 0x7FFF) return b;
    // The result's exponent field: from below the smallest subnormal's to the top.
    const int32_t target =
        random.Below(2) ? random.Between(-66, 2) : random.Between(0x7FFB, 0x8000);
    const int32_t field =
        forProduct ? target - fields.exponent + kBias : fields.exponent - target + kBias;
    uint64_t significand = random.Next() | kExtendedIntegerBit;
    if (random.Below(2) != 0) {
        significand = EdgeSignificand(random);
        a = Extended::FromFields(fields.negative, fields.exponent, EdgeSignificand(random));
    }
    return Extended::FromFields(random.Below(2) != 0, ClampedField(field), significand);
}

std::string Digits(SweepRandom& random, int32_t count) {
    std::string digits;
    for (int32_t i = 0; i < count; ++i)
        digits += random.Below(3) == 0 ? '0' : static_cast<char>('0' + random.Below(10));
    return digits;
}

// A decimal number as users and files write it, and as they mistype it: blanks, signs,
// digits (sometimes very many) with points, an exponent of any size, and bytes after it.
std::string DecimalText(SweepRandom& random) {
    std::string text;
    for (uint32_t i = random.Below(3); i > 0; --i)
        text += random.Below(8) == 0 ? '\r' : random.Of(" \t\n");
    for (uint32_t i = random.Below(4) == 0 ? random.Below(3) + 1 : 0; i > 0; --i)
        text += random.Of("+-");
    std::string digits(random.Below(3) == 0 ? random.Below(12) : 0, '0');
    digits += Digits(random, random.Below(4) == 0 ? random.Below(30) : random.Below(12));
    const uint32_t point =
        random.Below(3) == 0 ? UINT32_MAX : random.Below(static_cast<uint32_t>(digits.size()) + 1);
    for (size_t i = 0; i <= digits.size(); ++i) {
        if (i == point) text += '.';
        if (i < digits.size()) text += digits[i];
    }
    if (random.Below(10) == 0) text += "." + Digits(random, random.Below(4));
    if (random.Below(3) != 0) {
        text += random.Below(10) == 0 ? random.Of("xf ,") : random.Of("EeDd");
        if (random.Below(2) != 0) text += random.Of("+-");
        switch (random.Below(4)) {
            case 0:
                text += std::to_string(random.Below(40));
                break;
            case 1:
                text += std::to_string(random.Between(4880, 4990));
                break;
            case 2:
                text += std::string(random.Below(3), '0');
                text += std::to_string(random.Below(10000));
                break;
            default:
                text += Digits(random, random.Below(25));
                break;
        }
    }
    if (random.Below(5) == 0) text += random.Of("0123456789.eE+- x&");
    return text;
}

// An integer after "&" with any prefix letter, digits of any base and any suffix.
std::string PrefixedText(SweepRandom& random) {
    std::string text = random.Below(8) == 0 ? " &" : "&";
    if (random.Below(8) != 0) text += random.Of("HhOoQqBbX7");
    if (random.Below(4) == 0) text += std::string(random.Below(24), '0');
    for (uint32_t i = random.Below(4) == 0 ? random.Below(70) : random.Below(20); i > 0; --i)
        text += random.Of("0101010123456789ABCDEFabcdefG");
    static const char* const kSuffixes[] = {"", "", "%", "&", "&&", "?", "??", "???", "x", "&?"};
    text += kSuffixes[random.Below(10)];
    return text;
}

int32_t DigitCount(SweepRandom& random) {
    if (random.Below(20) == 0) return static_cast<int32_t>(random.Next());
    return random.Between(-2, 20);
}

}  // namespace

SweepCase SweepMakeCase(uint64_t seed, uint64_t index) {
    SweepRandom random(seed ^ (index * 0xD1B54A32D192ED03));
    SweepCase c{};
    c.kind = static_cast<SweepKind>(index % static_cast<uint64_t>(SweepKind::kCount));
    c.a = RandomValue(random);
    c.bits = random.Next();
    switch (c.kind) {
        case SweepKind::kMultiply:
        case SweepKind::kDivide:
            c.b = SecondOperand(random, c.a, c.kind == SweepKind::kMultiply);
            break;
        case SweepKind::kRoundAndCompare:
            c.b = random.Below(4) == 0 ? c.a : RandomValue(random);
            break;
        case SweepKind::kDecimalText:
            c.text = DecimalText(random);
            break;
        case SweepKind::kPrefixedText:
            c.text = PrefixedText(random);
            break;
        case SweepKind::kScaleByPowerOfTen:
            c.count =
                random.Below(4) == 0 ? random.Between(-9000, 9000) : random.Between(-5000, 5000);
            break;
        default:
            c.count = DigitCount(random);
            break;
    }
    return c;
}
