// Directories on Windows: thin wrappers around kernel32.

#include <windows.h>

#include <cstring>

#include "platform/files.hpp"
#include "platform/win32/win32_handles.hpp"

namespace platform {
namespace {

void CopyFindData(const WIN32_FIND_DATAA& raw, FindData* entry) {
    entry->attributes = raw.dwFileAttributes;
    static_assert(sizeof entry->fileName == sizeof raw.cFileName);
    std::memcpy(entry->fileName, raw.cFileName, sizeof entry->fileName);
}

}  // namespace

Handle FindFirstFileA(const char* pattern, FindData* entry) {
    WIN32_FIND_DATAA raw;
    const HANDLE search = ::FindFirstFileA(pattern, &raw);
    if (search != INVALID_HANDLE_VALUE) CopyFindData(raw, entry);
    return win32::FromWin(search);
}

bool FindNextFileA(Handle search, FindData* entry) {
    WIN32_FIND_DATAA raw;
    const bool ok = ::FindNextFileA(win32::ToWin(search), &raw);
    if (ok) CopyFindData(raw, entry);
    return ok;
}

bool FindClose(Handle search) { return ::FindClose(win32::ToWin(search)); }

bool DeleteFileA(const char* path) { return ::DeleteFileA(path); }

bool MoveFileExA(const char* existingPath, const char* newPath, uint32_t flags) {
    return ::MoveFileExA(existingPath, newPath, flags);
}

uint32_t GetCurrentDirectoryA(uint32_t bufferSize, char* buffer) {
    return ::GetCurrentDirectoryA(bufferSize, buffer);
}

bool SetCurrentDirectoryA(const char* path) { return ::SetCurrentDirectoryA(path); }

bool GetVolumeInformationA(const char* rootPath, char* volumeName, uint32_t volumeNameSize) {
    return ::GetVolumeInformationA(rootPath, volumeName, volumeNameSize, nullptr, nullptr, nullptr,
                                   nullptr, 0);
}

uint32_t MaxPathLength() { return MAX_PATH - 1; }

char PathSeparator() { return '\\'; }

bool EndsDirectoryPart(char byte) { return byte == '\\' || byte == '/' || byte == ':'; }

}  // namespace platform
