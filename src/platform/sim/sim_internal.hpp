#pragma once
// What the simulated areas share: the handles of the simulated process and their resets.

#include <string_view>

#include "platform/sim/sim.hpp"
#include "platform/types.hpp"

namespace sim::detail {

inline constexpr platform::Handle kStdInput = 1;
inline constexpr platform::Handle kStdOutput = 2;
inline constexpr platform::Handle kStdError = 3;
inline constexpr platform::Handle kConsoleInput = 4;
inline constexpr platform::Handle kConsoleOutput = 5;

/// Whether the handle is a console output (standard output or error not redirected).
bool IsConsoleOutput(platform::Handle handle);
/// Processed console output onto the simulated screen.
void WriteToConsole(std::string_view bytes);
/// Appends to the log of a redirected standard stream; false for another handle.
bool WriteToRedirected(platform::Handle handle, std::string_view bytes);

/// Each area starts afresh; sim::Reset calls them all.
void ResetConsole(const ConsoleSetup& setup);
void ResetProcess();
void ResetMemory();
void ResetFiles();
void ResetPrint();
void ResetChildren();

/// Closes a process or thread handle of a child; false for other handles.
bool CloseChildHandle(platform::Handle handle);

}  // namespace sim::detail
