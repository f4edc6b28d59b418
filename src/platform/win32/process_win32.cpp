// The process on Windows: thin wrappers around kernel32 and ole32.

#include <windows.h>

#include <objbase.h>

#include <cstring>
#include <string>

#include "platform/process.hpp"
#include "platform/win32/win32_handles.hpp"

namespace platform {

uint32_t GetLastError() { return ::GetLastError(); }
void SetLastError(uint32_t code) { ::SetLastError(code); }
uint32_t SetErrorMode(uint32_t mode) { return ::SetErrorMode(mode); }

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

const char* GetCommandLineA() { return ::GetCommandLineA(); }

// Windows has a command line of its own.
void SetProcessArguments(int, char**) {}

OptionConvention CommandLineConvention() { return OptionConvention::kProgramsOwn; }

bool WriteStandardOutput(std::string_view bytes) {
    const HANDLE output = ::GetStdHandle(STD_OUTPUT_HANDLE);
    while (!bytes.empty()) {
        DWORD written = 0;
        if (!::WriteFile(output, bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                         nullptr)) {
            return false;
        }
        bytes.remove_prefix(written);
    }
    return true;
}

Handle GetModuleHandleA() { return reinterpret_cast<Handle>(::GetModuleHandleA(nullptr)); }

uint32_t GetCurrentProcessId() { return ::GetCurrentProcessId(); }

uint32_t TlsAlloc() { return ::TlsAlloc(); }
bool TlsFree(uint32_t index) { return ::TlsFree(index); }
void* TlsGetValue(uint32_t index) { return ::TlsGetValue(index); }
bool TlsSetValue(uint32_t index, void* value) { return ::TlsSetValue(index, value); }

void* GlobalAllocZeroed(uint32_t bytes) { return ::GlobalAlloc(GMEM_ZEROINIT, bytes); }
void* GlobalFree(void* block) { return ::GlobalFree(block); }

int32_t CoInitialize() { return ::CoInitialize(nullptr); }
void CoUninitialize() { ::CoUninitialize(); }

uint32_t GetEnvironmentVariableA(const char* name, char* buffer, uint32_t size) {
    return ::GetEnvironmentVariableA(name, buffer, size);
}

bool CreateProcessA(const char* commandLine, const std::vector<std::string>&, bool inheritHandles,
                    uint16_t showWindow, ProcessInformation* info) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = showWindow;
    SECURITY_ATTRIBUTES security{sizeof security, nullptr, inheritHandles ? TRUE : FALSE};
    PROCESS_INFORMATION started{};
    // CreateProcessA may write into its command line.
    std::string line(commandLine);
    if (!::CreateProcessA(nullptr, line.data(), &security, &security, inheritHandles,
                          NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup, &started)) {
        return false;
    }
    *info = {win32::FromWin(started.hProcess), win32::FromWin(started.hThread),
             started.dwProcessId};
    return true;
}

WaitResult WaitForSingleObject(Handle object, uint32_t timeoutMs) {
    switch (::WaitForSingleObject(win32::ToWin(object), timeoutMs)) {
        case WAIT_OBJECT_0:
            return WaitResult::kReady;
        case WAIT_TIMEOUT:
            return WaitResult::kTimeout;
        default:
            return WaitResult::kFailed;
    }
}

bool GetExitCodeProcess(Handle process, uint32_t* exitCode) {
    DWORD code = 0;
    const bool ok = ::GetExitCodeProcess(win32::ToWin(process), &code);
    *exitCode = code;
    return ok;
}

void GetLocalTime(SystemTime* time) {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    *time = {now.wYear, now.wMonth,  now.wDayOfWeek, now.wDay,
             now.wHour, now.wMinute, now.wSecond,    now.wMilliseconds};
}

void ExitProcess(uint32_t exitCode) { ::ExitProcess(exitCode); }

}  // namespace platform
