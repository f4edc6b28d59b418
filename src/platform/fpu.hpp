#pragma once
// The processor's floating-point control state: what every OS call must hand back as it
// found it, and the x87 control word that start-up loads. The one file with x87 assembly.
//
// On x86 the state is the x87 control word (precision and rounding of long double
// arithmetic) and MXCSR (rounding of float and double arithmetic). Other processors have no
// x87: there the number conversions compute in integers with a rounding of their own, and
// only the C library's floating-point environment (the rounding of float and double) is
// kept around OS calls.

#include <cfenv>
#include <cstdint>

#if defined(__x86_64__) || defined(__i386__)
#define VIRODARO_HAS_X87 1
#else
#define VIRODARO_HAS_X87 0
#endif

namespace platform {

#if VIRODARO_HAS_X87

struct FpuControl {
    uint16_t x87ControlWord;
    uint32_t mxcsr;
};

inline FpuControl FpuSaveControl() {
    FpuControl state{};
    __asm__ volatile("fnstcw %0" : "=m"(state.x87ControlWord));
#if defined(__SSE__)
    __asm__ volatile("stmxcsr %0" : "=m"(state.mxcsr));
#endif
    return state;
}

inline void FpuRestoreControl(const FpuControl& state) {
    __asm__ volatile("fldcw %0" : : "m"(state.x87ControlWord));
#if defined(__SSE__)
    __asm__ volatile("ldmxcsr %0" : : "m"(state.mxcsr));
#endif
}

inline void FpuLoadX87ControlWord(uint16_t controlWord) {
    __asm__ volatile("fldcw %0" : : "m"(controlWord));
}

#else

struct FpuControl {
    std::fenv_t environment;
};

inline FpuControl FpuSaveControl() {
    FpuControl state;
    std::fegetenv(&state.environment);
    return state;
}

inline void FpuRestoreControl(const FpuControl& state) { std::fesetenv(&state.environment); }

/// Without an x87 there is nothing to load, and nothing changes by it: the conversions do not
/// use the processor's floating point here (their integer arithmetic rounds as the x87 in
/// this mode does), and float and double arithmetic already rounds to nearest, ties to even,
/// as every process starts.
inline void FpuLoadX87ControlWord(uint16_t) {}

#endif

}  // namespace platform
