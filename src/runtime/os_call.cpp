#include "runtime/os_call.hpp"

#include "platform/process.hpp"
#include "runtime/errors.hpp"

namespace {

// One word for the whole process: 0 free, -1 held. The floating-point mode, error mode and
// last-error code handled around a call are per process or per thread in the OS, so calls
// from two threads must not interleave.
std::atomic<int32_t> osCallLock{0};

}  // namespace

RtOsCallScope::RtOsCallScope() {
    while (osCallLock.exchange(-1, std::memory_order_acquire) != 0) {
    }
    fpu_ = platform::FpuSaveControl();
    savedErrorMode_ = platform::SetErrorMode(platform::kQuietErrorMode);
    platform::SetLastError(0);
}

uint8_t RtOsCallScope::Finish() {
    platform::FpuRestoreControl(fpu_);
    const uint32_t lastError = platform::GetLastError();
    platform::SetErrorMode(savedErrorMode_);
    osCallLock.store(0, std::memory_order_release);
    return lastError == 0 ? 0 : RtOsErrorMap(lastError);
}

void RtOsCallScope::OutOfMemory() { platform::SetLastError(platform::kErrorNotEnoughMemory); }

void RtOsCallLockReset() { osCallLock.store(0, std::memory_order_release); }
