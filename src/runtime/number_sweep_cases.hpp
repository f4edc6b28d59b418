#pragma once
// The cases of the number sweep: random inputs for everything the conversions compute,
// made from a seed and the case's index alone (the same on every processor and compiler),
// and their results in an arithmetic as bytes, so that two arithmetics or two processors
// can be compared bit for bit.

#include <cstdint>
#include <string>

#include "runtime/extended.hpp"

enum class SweepKind {
    kMultiply,
    kDivide,
    kRoundAndCompare,
    kFloatsAndIntegers,
    kNumToText,
    kDecimalText,
    kPrefixedText,
    kNumRound,
    kScaleByPowerOfTen,
    kTextRoundTrip,
    kCount,
};

struct SweepCase {
    SweepKind kind;
    Extended a;
    Extended b;
    /// The count of digits or places, or the power of ten.
    int32_t count;
    /// Random bits for the float, double and integer conversions.
    uint64_t bits;
    std::string text;
};

/// Case `index` of the sweep with this seed.
SweepCase SweepMakeCase(uint64_t seed, uint64_t index);

/// The results of a case in the arithmetic `Real` (Extended, or X87Extended where there is
/// one), as bytes.
template <typename Real>
std::string SweepRun(const SweepCase& sweepCase);

/// The kind and inputs of a case, for a failure message.
std::string SweepDescribe(const SweepCase& sweepCase);

/// Bytes in hexadecimal.
std::string SweepHex(const std::string& bytes);
