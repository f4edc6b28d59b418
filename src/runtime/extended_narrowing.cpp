// Extended values stored as floats and doubles, rounded as the x87 stores them.

#include <algorithm>
#include <bit>

#include "runtime/extended.hpp"
#include "runtime/extended_unpacked.hpp"

namespace {

// The IEEE bits of `value` in a format of `fractionBits` and `exponentBits`: rounded to
// nearest, ties to even, at the format's last place (which lies higher for a subnormal).
uint64_t Narrow(Extended value, int32_t fractionBits, int32_t exponentBits) {
    const ExtendedUnpacked x = ExtendedUnpack(value);
    const int32_t signShift = fractionBits + exponentBits;
    const uint64_t sign = static_cast<uint64_t>(x.negative) << signShift;
    const uint64_t maxField = (uint64_t{1} << exponentBits) - 1;
    const uint64_t infinity = maxField << fractionBits;
    const uint64_t quiet = uint64_t{1} << (fractionBits - 1);
    switch (x.kind) {
        case ExtendedKind::kRefused:  // the default NaN, negative
            return (uint64_t{1} << signShift) | infinity | quiet;
        case ExtendedKind::kNan:  // the top of the payload, made quiet
            return sign | infinity | quiet |
                   ((x.significand & ~kExtendedIntegerBit) >> (63 - fractionBits));
        case ExtendedKind::kInfinity:
            return sign | infinity;
        case ExtendedKind::kZero:
            return sign;
        case ExtendedKind::kFinite:
            break;
    }
    const int32_t field = x.exponent + static_cast<int32_t>(maxField >> 1);
    if (field >= static_cast<int32_t>(maxField)) return sign | infinity;
    // The significand keeps fractionBits + 1 bits, fewer for a subnormal.
    int32_t drop = 63 - fractionBits;
    if (field < 1) drop += 1 - field;
    uint64_t kept = 0;
    uint64_t rest = 1;  // below one half, but not zero
    if (drop < 64) {
        kept = x.significand >> drop;
        rest = x.significand << (64 - drop);
    } else if (drop == 64) {
        rest = x.significand;
    }
    constexpr uint64_t kHalf = uint64_t{1} << 63;
    if (rest > kHalf || (rest == kHalf && (kept & 1) != 0)) ++kept;
    // A normal number's kept bits include its integer bit, so adding them to the field below
    // carries a rounding up into the exponent, up to infinity; a subnormal that rounds up to
    // the integer bit becomes the smallest normal number the same way.
    const uint64_t magnitude =
        field < 1 ? kept : (static_cast<uint64_t>(field - 1) << fractionBits) + kept;
    return sign | std::min(magnitude, infinity);
}

}  // namespace

Extended::operator float() const {
    return std::bit_cast<float>(static_cast<uint32_t>(Narrow(*this, 23, 8)));
}

Extended::operator double() const { return std::bit_cast<double>(Narrow(*this, 52, 11)); }
