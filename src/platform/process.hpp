#pragma once
// The process: last-error code, error mode, OS version, start-up information, command line,
// module handle, thread-local storage, COM and exit; environment variables, child processes
// and the time of day. Calls that can fail return false or a
// null value and leave a Win32 error code for GetLastError.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/types.hpp"

namespace platform {

/// The calling thread's last-error code (Win32 numbering).
uint32_t GetLastError();
void SetLastError(uint32_t code);

/// SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX: no system dialogs for failing calls.
inline constexpr uint32_t kQuietErrorMode = 0x8001;
/// Sets the process error mode and returns the previous one.
uint32_t SetErrorMode(uint32_t mode);

/// What GetVersionExA reports (OSVERSIONINFOA without its size field).
struct OsVersionInfo {
    uint32_t majorVersion;
    uint32_t minorVersion;
    uint32_t buildNumber;
    uint32_t platformId;  // 2 = VER_PLATFORM_WIN32_NT
    char csdVersion[128];
};
bool GetVersionExA(OsVersionInfo* info);

/// The parts of STARTUPINFOA that the runtime reads.
inline constexpr uint32_t kStartfUseShowWindow = 0x1;
inline constexpr uint32_t kStartfUseStdHandles = 0x100;
struct StartupInfo {
    uint32_t flags;
    uint16_t showWindow;
    Handle stdInput;
    Handle stdOutput;
    Handle stdError;
};
void GetStartupInfoA(StartupInfo* info);

/// The whole command line, program path first, as Windows hands it to a process.
const char* GetCommandLineA();

/// Tells the platform the arguments the C++ entry point received; backends that have no
/// command line of their own rebuild one from them. Called once, before anything else, by a
/// program (never by a library), so the POSIX backend also makes a write to a closed pipe
/// fail there, as on Windows, instead of ending the process, and opens /dev/null on a
/// standard descriptor the process was started without.
void SetProcessArguments(int argc, char** argv);

/// What a command line means to the platform's users beyond the program's own arguments.
/// On POSIX every command-line program answers GNU's `--help` and `--version`; on Windows
/// the command tail is the program's alone (its users know `/?` only from programs that
/// offer it).
enum class OptionConvention { kProgramsOwn, kGnuStandardOptions };
OptionConvention CommandLineConvention();

/// Writes the bytes to standard output as they are, apart from the console (no screen
/// model, no code page, no question to the terminal): for what the program says before it
/// sets the console up. False, with the error code, when they were not all written.
bool WriteStandardOutput(std::string_view bytes);

/// The program's own module (GetModuleHandleA(NULL)).
Handle GetModuleHandleA();

/// The process's identifier, unique among the processes running now.
uint32_t GetCurrentProcessId();

inline constexpr uint32_t kTlsOutOfIndexes = 0xFFFFFFFF;
uint32_t TlsAlloc();
bool TlsFree(uint32_t index);
void* TlsGetValue(uint32_t index);
bool TlsSetValue(uint32_t index, void* value);

/// GlobalAlloc(GMEM_ZEROINIT) and GlobalFree: zero-filled process memory.
void* GlobalAllocZeroed(uint32_t bytes);
/// Returns null on success, the block itself on failure (as GlobalFree does).
void* GlobalFree(void* block);

/// CoInitialize(NULL) / CoUninitialize for the calling thread.
int32_t CoInitialize();
void CoUninitialize();

/// GetEnvironmentVariableA: copies the value with its NUL into `buffer` and returns its
/// length; when it does not fit, returns the size it needs (with the NUL) and copies nothing;
/// 0 when the variable is not set.
uint32_t GetEnvironmentVariableA(const char* name, char* buffer, uint32_t size);

/// A started child process: its handles (both to be closed) and its id.
struct ProcessInformation {
    Handle process;
    Handle thread;
    uint32_t processId;
};

/// CreateProcessA with no application name, no environment block and no directory of its
/// own (the child inherits the program's), normal priority, and STARTF_USESHOWWINDOW with
/// `showWindow`. `arguments` is the command line split into arguments, for platforms that
/// start programs from an argument vector; Windows uses the command line itself. On a
/// terminal the child gets the terminal in the state it was found and the foreground; the
/// program takes it back when the child ends.
bool CreateProcessA(const char* commandLine, const std::vector<std::string>& arguments,
                    bool inheritHandles, uint16_t showWindow, ProcessInformation* info);

/// Waits for a process to end (WaitForSingleObject on its handle).
WaitResult WaitForSingleObject(Handle object, uint32_t timeoutMs);

/// The exit code of an ended process, or kErrorStillActive (259) while it runs.
bool GetExitCodeProcess(Handle process, uint32_t* exitCode);

/// The local date and time (SYSTEMTIME).
struct SystemTime {
    uint16_t year;
    uint16_t month;
    uint16_t dayOfWeek;
    uint16_t day;
    uint16_t hour;
    uint16_t minute;
    uint16_t second;
    uint16_t milliseconds;
};
void GetLocalTime(SystemTime* time);

/// Ends the process at once with the given exit code. Backends that changed the terminal
/// hand it back first.
[[noreturn]] void ExitProcess(uint32_t exitCode);

}  // namespace platform
