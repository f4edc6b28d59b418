#pragma once
// Conversions between the platform layer's plain types and the Win32 API's.

#include <windows.h>

#include "platform/types.hpp"

namespace platform::win32 {

inline HANDLE ToWin(Handle handle) { return reinterpret_cast<HANDLE>(handle); }
inline Handle FromWin(HANDLE handle) { return reinterpret_cast<Handle>(handle); }

}  // namespace platform::win32
