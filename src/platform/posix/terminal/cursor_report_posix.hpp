#pragma once
// The terminal's answer to a cursor-position query (ESC [ 6 n): ESC [ row ; column R.

#include <string>

#include "platform/console.hpp"

namespace platform::posix {

/// Looks for a complete cursor report in `bytes`; when there is one, removes it (and only
/// it: keys typed around it stay in place), stores the 0-based position and returns true.
bool TakeCursorReport(std::string& bytes, Coord* position);

}  // namespace platform::posix
