#pragma once
// Lines of the program's screens on standard output.

#include "runtime/text.hpp"

/// Writes the text and CR LF to standard output.
void AppWriteLine(Text line);

/// A text that came from outside the program (a print server's name for a queue), made fit
/// to stand in a line as data: each byte the console acts on instead of showing it (BEL, BS,
/// TAB, LF, CR) becomes "?", so that the text can neither ring, move the cursor nor start a
/// line of its own. Every other byte is shown as the console shows it.
Text AppShownAsData(const Text& text);

/// The banner's first line: byte 249, a blank, "VIRODARO", a blank, byte 249.
Text AppBannerLine();
