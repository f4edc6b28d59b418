// Arbitrary bytes read as a number: no crash, no undefined behaviour, always a finite
// result, the same bits from both arithmetics where there are two, and leading blanks change
// nothing.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/fpu.hpp"
#include "runtime/number.hpp"
#include "runtime/startup.hpp"

namespace {

bool SameBits(Extended a, Extended b) {
    return a.significand == b.significand && a.signAndExponent == b.signAndExponent;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    platform::FpuLoadX87ControlWord(kRtX87ControlWord);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const Text text(std::string_view(reinterpret_cast<const char*>(data), size));
    const Extended number = TextToNum<Extended>(text);
    if (ExtendedSplit(number).exponent == kExtendedExponentAllOnes) std::abort();
#if VIRODARO_X87_LONG_DOUBLE
    if (!SameBits(static_cast<Extended>(TextToNum<X87Extended>(text)), number)) std::abort();
#endif

    const Extended afterBlanks = TextToNum<Extended>(Text(" \t\n") + text);
    if (!SameBits(afterBlanks, number)) std::abort();
    return 0;
}
