// Files and handles on Windows: thin wrappers around kernel32.

#include <windows.h>

#include "platform/files.hpp"
#include "platform/win32/win32_handles.hpp"

namespace platform {

bool WriteFile(Handle file, const void* bytes, uint32_t count, uint32_t* written) {
    DWORD done = 0;
    const bool ok = ::WriteFile(win32::ToWin(file), bytes, count, &done, nullptr);
    *written = done;
    return ok;
}

bool CloseHandle(Handle object) { return ::CloseHandle(win32::ToWin(object)); }

}  // namespace platform
