#pragma once
// Line input at the console: printable characters, Backspace and Enter; every other key is
// ignored. Keys come from "CONIN$" and the echo goes to the console cells.

#include <cstdint>

#include "runtime/text.hpp"

/// The most characters a line holds; further keys are dropped without an echo.
inline constexpr uint32_t kConLineCapacity = 10000;

/// Reads one line typed at the console and returns it without its Enter. Without usable
/// console input it returns what was typed so far.
Text ConLineInput();

/// Waits for the next one-byte key event and returns its byte (never 0 for a key); other
/// events are taken and dropped. Returns 0 when there is no usable console input.
uint8_t ConWaitChar();

/// Moves the cursor back one cell: over the bottom-right cell when a scroll is owed, to the
/// end of the previous row from column 1.
void ConCursorBack();
