// The process on Windows: thin wrappers around kernel32 and ole32.

#include <windows.h>

#include <objbase.h>

#include <cstring>

#include "platform/process.hpp"
#include "platform/win32/win32_handles.hpp"

namespace platform {

uint32_t GetLastError() {
    return ::GetLastError();
}
void SetLastError(uint32_t code) {
    ::SetLastError(code);
}
uint32_t SetErrorMode(uint32_t mode) {
    return ::SetErrorMode(mode);
}

bool GetVersionExA(OsVersionInfo* info) {
    OSVERSIONINFOA raw{};
    raw.dwOSVersionInfoSize = sizeof raw;  // 148 bytes
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    const bool ok = ::GetVersionExA(&raw);
#pragma GCC diagnostic pop
    *info = {raw.dwMajorVersion, raw.dwMinorVersion, raw.dwBuildNumber, raw.dwPlatformId, {}};
    std::memcpy(info->csdVersion, raw.szCSDVersion, sizeof info->csdVersion);
    return ok;
}

void GetStartupInfoA(StartupInfo* info) {
    STARTUPINFOA raw{};
    raw.cb = sizeof raw;  // 68 bytes in a 32-bit program
    ::GetStartupInfoA(&raw);
    *info = {raw.dwFlags, raw.wShowWindow, win32::FromWin(raw.hStdInput),
             win32::FromWin(raw.hStdOutput), win32::FromWin(raw.hStdError)};
}

const char* GetCommandLineA() {
    return ::GetCommandLineA();
}

// Windows has a command line of its own.
void SetProcessArguments(int, char**) {}

Handle GetModuleHandleA() {
    return reinterpret_cast<Handle>(::GetModuleHandleA(nullptr));
}

uint32_t TlsAlloc() {
    return ::TlsAlloc();
}
bool TlsFree(uint32_t index) {
    return ::TlsFree(index);
}
void* TlsGetValue(uint32_t index) {
    return ::TlsGetValue(index);
}
bool TlsSetValue(uint32_t index, void* value) {
    return ::TlsSetValue(index, value);
}

void* GlobalAllocZeroed(uint32_t bytes) {
    return ::GlobalAlloc(GMEM_ZEROINIT, bytes);
}
void* GlobalFree(void* block) {
    return ::GlobalFree(block);
}

int32_t CoInitialize() {
    return ::CoInitialize(nullptr);
}
void CoUninitialize() {
    ::CoUninitialize();
}

void ExitProcess(uint32_t exitCode) {
    ::ExitProcess(exitCode);
}

}  // namespace platform
