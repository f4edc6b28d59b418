#pragma once
// Services that reach outside the program: environment variables, the command tail, child
// processes and the time of day.

#include <cstdint>
#include <string>
#include <vector>

#include "runtime/text.hpp"

/// The value of an environment variable, whole; the empty text when it is not set.
Text SysEnviron(const Text& name);

/// The whole command tail (argument 0), its n-th argument (1-based), or the empty text.
Text SysCommandLine(int32_t argument);

/// Bits of SysShell's flags: the show-window value in bits 0-14, and waiting for the child.
inline constexpr uint32_t kSysShellShowMask = 0x7FFF;
inline constexpr uint32_t kSysShellWait = 0x8000;

/// Starts a program from a command line in the program's own console. With kSysShellWait
/// it waits for the program to end and returns its exit code; otherwise the process id.
/// A program that cannot be started raises the mapped OS error (53 when not found).
int32_t SysShell(const Text& commandLine, uint32_t flags, bool inheritHandles);

/// The process's identifier, unique among the processes running now.
uint32_t SysProcessId();

/// The local time of day: "hh:mm:ss", 24-hour clock, two digits each.
Text SysTime();

/// Splits a command tail into arguments: blanks separate them (a tab does not); an argument
/// that starts with a double quote runs to the next one, without the quotes, and an empty
/// pair counts for nothing; other double quotes are part of their argument.
std::vector<std::string> SysSplitArguments(std::string_view tail);
