#pragma once
// Start-up and shut-down of the process around the application's main routine.

#include <cstdint>

#include "platform/process.hpp"
#include "platform/types.hpp"

/// Values taken once at start-up.
extern platform::OsVersionInfo RtOsVersion;
/// The command line after the program path and the blanks that follow it.
extern const char* RtCommandTail;
extern platform::Handle RtInstance;
/// How the program's window was asked to show itself (10, SW_SHOWDEFAULT, when unsaid).
extern int32_t RtShowWindow;

/// The process entry: answers a standard option where the platform's users expect one
/// (and ends there), else prepares the console, the OS values and the per-thread block, runs
/// RtFrameSetup and AppMain, and ends the process with AppMain's result.
[[noreturn]] void RtStartup();

/// Start-up before the main routine: COM, the console, the OS version, the start-up
/// information, the command tail, the module handle and the per-thread block. False when the
/// per-thread block cannot be made.
bool RtPrepareProcess();

/// Fills the console handles, modes and cursor shape of ConsoleState.
void RtInitConsole();

/// All exceptions masked, 64-bit significand, round to nearest: the x87 mode that start-up
/// loads, in which the hardware's long double gives what the conversions define.
inline constexpr uint16_t kRtX87ControlWord = 0x133F;

/// Resets the runtime's global state and loads the floating-point mode; runs once before the
/// main routine.
void RtFrameSetup();

/// Releases what the runtime holds and ends the process with the exit code.
[[noreturn]] void RtShutdown(uint32_t exitCode);

/// The console control handler: Ctrl+C, Ctrl+Break and close are handled (the program is
/// not stopped); every other event gets the system's default handling.
int32_t RtCtrlHandler(uint32_t controlType);

/// The command tail of a command line: what follows the program path and its blanks.
const char* RtSkipProgramPath(const char* commandLine);
