#pragma once
// RtCallOs: the wrapper around every operating-system call that can fail.

#include <atomic>
#include <cstdint>
#include <new>
#include <utility>

#include "platform/fpu.hpp"

/// The result of one call through RtCallOs: the function's own result, and the runtime
/// error number that the thread's last-error code maps to (0 when it was 0).
template <class Value>
struct RtOsResult {
    Value value;
    uint8_t error;
    bool Failed() const { return error != 0; }
};

/// Guards one OS call: holds the process-wide OS-call lock, keeps the floating-point mode,
/// suppresses the system's error dialogs and clears the last-error code; Finish undoes all
/// of that and maps the last-error code.
class RtOsCallScope {
  public:
    RtOsCallScope();
    uint8_t Finish();
    /// Sets the last-error code that a call which could not get memory leaves.
    static void OutOfMemory();

  private:
    platform::FpuControl fpu_;
    uint32_t savedErrorMode_;
};

/// Calls `call` inside an RtOsCallScope. Failure is judged by the last-error code alone: a
/// caller that must judge by the returned value (CreateFile's invalid handle) does so itself.
/// The lock is not re-entrant: `call` must not make another call through RtCallOs.
template <class Call>
auto RtCallOs(Call&& call) {
    using Value = decltype(std::forward<Call>(call)());
    RtOsCallScope scope;
    Value value{};
    // A call that cannot get memory fails as the OS reports it, with its null result; no
    // exception leaves the call.
    try {
        value = std::forward<Call>(call)();
    } catch (const std::bad_alloc&) {
        RtOsCallScope::OutOfMemory();
    }
    const uint8_t error = scope.Finish();
    return RtOsResult<Value>{std::move(value), error};
}

/// Frees the OS-call lock; start-up does this before the first call through RtCallOs.
void RtOsCallLockReset();
