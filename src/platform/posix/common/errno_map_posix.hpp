#pragma once
// errno values in Win32 numbering, so that the runtime maps every failure the same way.

#include <cstdint>

namespace platform::posix {

/// The Win32 error code that stands for an errno value.
uint32_t Win32ErrorFromErrno(int errnoValue);

/// Sets the thread's last-error code from errno and returns false, for `return Fail...;`.
bool FailWithErrno();

}  // namespace platform::posix
