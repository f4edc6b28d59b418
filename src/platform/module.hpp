#pragma once
// The program's own module, when another program calls into it.

namespace platform {

/// Finishes loading the program's own executable when another program has mapped it as a
/// library and the system's loader stopped short of what running its code needs (on
/// Windows, wine's loader neither relocates an executable loaded with LoadLibrary nor binds
/// its imports). Does the work once and nothing afterwards, nor where the loader did it all;
/// any thread may call it, before anything else of the program's code.
void FinishModuleLoad();

}  // namespace platform
