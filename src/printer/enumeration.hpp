#pragma once
// The printers the platform knows. Every call enumerates afresh; nothing is cached.

#include <cstdint>

#include "runtime/text.hpp"

/// How many printers the platform enumerates; 0 when enumeration fails. Raises nothing.
int32_t PrnPrinterCount();

/// A text field of printer `index` (1-based), selected by its byte position in a 32-bit
/// level-2 printer record: 0 server, 4 printer name, 8 share, 12 port, 16 driver, 20 comment,
/// 24 location, 32 separator file, 36 print processor, 40 data type, 44 parameters. Every
/// other position, an index out of range or any failure gives the empty text; raises
/// nothing.
Text PrnPrinterInfo(int32_t index, int32_t field);

/// Why the print server the printers come from was given up during this run.
enum class PrintServerTrouble : uint8_t {
    kNone,
    kSilent,    // it did not answer within the bound, or the user stopped waiting
    kUnusable,  // its answers made no sense, even when asked again
    kPassword,  // it asked for a password, and the system holds no credentials for it
};

/// The print server the printers come from, when the run gave it up (its printers are then
/// missing from the list), and why; kNone, with `server` empty, when it answered. Raises
/// nothing.
PrintServerTrouble PrnServerTrouble(Text& server);
