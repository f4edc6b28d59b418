// Arbitrary bytes read as a number: no crash, no undefined behaviour, always a finite
// result, and leading blanks change nothing.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "runtime/fpu.hpp"
#include "runtime/number.hpp"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FpuLoadX87ControlWord(kRtX87ControlWord);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const long double number = TextToNum(Text(bytes));
    if (!std::isfinite(number)) std::abort();

    const long double afterBlanks = TextToNum(Text(" \t\n" + std::string(bytes)));
    if (std::memcmp(&number, &afterBlanks, 10) != 0) std::abort();
    return 0;
}
