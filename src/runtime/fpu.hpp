#pragma once
// The floating-point control state of x86-64: the x87 control word (precision and rounding
// of long double arithmetic) and MXCSR (the same for SSE).

#include <cstdint>

#if !defined(__x86_64__)
#error "VIRODARO's number conversions need x86-64 and its 80-bit x87 long double"
#endif

/// All exceptions masked, 64-bit significand, round to nearest: the mode every number
/// conversion relies on.
inline constexpr uint16_t kRtX87ControlWord = 0x133F;

struct FpuControl {
    uint16_t x87ControlWord;
    uint32_t mxcsr;
};

inline FpuControl FpuSaveControl() {
    FpuControl state;
    __asm__ volatile("fnstcw %0" : "=m"(state.x87ControlWord));
    __asm__ volatile("stmxcsr %0" : "=m"(state.mxcsr));
    return state;
}

inline void FpuRestoreControl(const FpuControl& state) {
    __asm__ volatile("fldcw %0" : : "m"(state.x87ControlWord));
    __asm__ volatile("ldmxcsr %0" : : "m"(state.mxcsr));
}

inline void FpuLoadX87ControlWord(uint16_t controlWord) {
    __asm__ volatile("fldcw %0" : : "m"(controlWord));
}
