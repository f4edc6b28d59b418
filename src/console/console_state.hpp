#pragma once
// ConsoleState: the process-wide record of the console.

#include <cstdint>

#include "platform/console.hpp"
#include "platform/types.hpp"

/// Whether the last console-cell write filled the bottom-right cell and so owes the screen
/// a scroll, which the next write pays before it writes.
enum ConPendingScroll : uint8_t { kConNoScrollOwed = 0, kConScrollOwed = 255 };

struct ConsoleState {
    /// Standard input: console input modes are set on it.
    platform::Handle stdIn;
    /// Standard output: the target of ConWriteStdOut.
    platform::Handle stdOut;
    /// "CONIN$": keys and mouse are read from it even when standard input is redirected.
    platform::Handle conIn;
    /// Target of every console-cell operation: standard output when it is the console,
    /// otherwise standard error.
    platform::Handle conOut;
    /// The cursor shape the program wants.
    platform::CursorInfo cursorInfo;
    /// The cursor was shown or hidden for the length of one operation and must be put back.
    uint32_t cursorTemporarilyChanged;
    /// Colour indices of the cells the console-cell path writes.
    uint32_t foreground;
    uint32_t background;
    ConPendingScroll pendingScroll;
    /// Mouse reporting: the button mask in bits 0-15, the event kinds in bits 16-19 (moves,
    /// double clicks, presses, releases) and reporting on in bit 31.
    uint32_t mouseSettings;
    /// The button-state word of the last mouse record removed from the input queue.
    uint32_t lastButtonState;
};

extern ConsoleState gConsole;

/// Resets the fields that every run starts from (colours 7 on 0, no scroll owed, mouse
/// reporting off).
void ConResetState();

/// The attribute word of every cell the console-cell path writes, fills or scrolls in.
inline uint16_t ConAttribute() {
    return static_cast<uint16_t>(gConsole.background * 16 + gConsole.foreground);
}
