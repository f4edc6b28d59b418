#pragma once
// The application: one call of AppMain is one whole run of the program.

#include <cstdint>

#include "platform/types.hpp"

/// Runs the program from the first banner to the closing screen and returns its exit code.
/// Start-up passes its module handle, 0, the command tail and the show-window value; the run
/// uses none of them.
int32_t AppMain(platform::Handle instance, int32_t unused, const char* commandTail,
                int32_t showWindow);
