#pragma once
// Child processes on POSIX, behind process handles.

#include "platform/posix/common/handles_posix.hpp"

namespace platform::posix {

/// Closes a process handle: a child that still has the terminal gives it back to the program
/// (it runs on beside it, as on a shared console).
void CloseChild(HandleEntry& entry);

}  // namespace platform::posix
