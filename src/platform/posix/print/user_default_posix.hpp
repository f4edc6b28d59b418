#pragma once
// The queue a user has chosen as their default on this machine, which comes before the
// print server's default, as it does for lp: the environment's LPDEST, else its PRINTER
// (unless that is "lp", which many systems set for the old spooler), else the "Default"
// line of the user's lpoptions file, else that of the system's.

#include <string>

namespace platform::posix {

/// The user's default queue; empty when they have chosen none.
std::string UserDefaultQueue();

/// The queue a "Default" line of an lpoptions file at `path` names (without an instance);
/// empty when there is none.
std::string LpoptionsDefault(const std::string& path);

}  // namespace platform::posix
