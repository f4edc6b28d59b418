#pragma once
// Files and handles. Calls that can fail return false (or kInvalidHandle) and leave a Win32
// error code for GetLastError.

#include <cstdint>

#include "platform/types.hpp"

namespace platform {

/// Writes bytes to a file, pipe or console handle; `written` receives the count written.
/// A console takes the bytes as processed output (CR, LF, BS, TAB, BEL, wrap and scroll).
bool WriteFile(Handle file, const void* bytes, uint32_t count, uint32_t* written);

bool CloseHandle(Handle object);

}  // namespace platform
