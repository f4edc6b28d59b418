// Files and handles on Windows: thin wrappers around kernel32.

#include <windows.h>

#include "platform/files.hpp"
#include "platform/win32/win32_handles.hpp"

namespace platform {

Handle CreateFileA(const char* path, uint32_t desiredAccess, uint32_t shareMode, bool inheritHandle,
                   uint32_t creationDisposition, uint32_t attributes) {
    SECURITY_ATTRIBUTES security{sizeof security, nullptr, inheritHandle};
    return win32::FromWin(::CreateFileA(path, desiredAccess, shareMode, &security,
                                        creationDisposition, attributes, nullptr));
}

bool ReadFile(Handle file, void* buffer, uint32_t count, uint32_t* read) {
    DWORD done = 0;
    const bool ok = ::ReadFile(win32::ToWin(file), buffer, count, &done, nullptr);
    *read = done;
    return ok;
}

bool WriteFile(Handle file, const void* bytes, uint32_t count, uint32_t* written) {
    DWORD done = 0;
    const bool ok = ::WriteFile(win32::ToWin(file), bytes, count, &done, nullptr);
    *written = done;
    return ok;
}

bool SetFilePointerEx(Handle file, int64_t distance, MoveMethod method, uint64_t* newPosition) {
    LARGE_INTEGER move;
    move.QuadPart = distance;
    LARGE_INTEGER reached{};
    const bool ok = ::SetFilePointerEx(win32::ToWin(file), move, &reached, method);
    if (ok && newPosition != nullptr) *newPosition = static_cast<uint64_t>(reached.QuadPart);
    return ok;
}

bool SetEndOfFile(Handle file) { return ::SetEndOfFile(win32::ToWin(file)); }

FileType GetFileType(Handle file) {
    return static_cast<FileType>(::GetFileType(win32::ToWin(file)));
}

bool FlushFileBuffers(Handle file) { return ::FlushFileBuffers(win32::ToWin(file)); }

bool CloseHandle(Handle object) { return ::CloseHandle(win32::ToWin(object)); }

bool ReplaceFileA(const char* replacedPath, const char* replacementPath) {
    // The same files by their full paths: wine's ReplaceFile refuses names relative to the
    // current directory (ERROR_DIRECTORY), which Windows takes.
    char replaced[MAX_PATH];
    char replacement[MAX_PATH];
    const DWORD replacedLength = ::GetFullPathNameA(replacedPath, MAX_PATH, replaced, nullptr);
    const DWORD replacementLength =
        ::GetFullPathNameA(replacementPath, MAX_PATH, replacement, nullptr);
    if (replacedLength == 0 || replacedLength >= MAX_PATH || replacementLength == 0 ||
        replacementLength >= MAX_PATH) {
        if (::GetLastError() == ERROR_SUCCESS) ::SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return false;
    }
    return ::ReplaceFileA(replaced, replacement, nullptr, 0, nullptr, nullptr);
}

}  // namespace platform
