#pragma once
// Lines of the program's screens on standard output.

#include "runtime/text.hpp"

/// Writes the text and CR LF to standard output.
void AppWriteLine(Text line);

/// The banner's first line: byte 249, a blank, "VIRODARO", a blank, byte 249.
Text AppBannerLine();
