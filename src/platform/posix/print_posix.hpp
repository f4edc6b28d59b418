#pragma once
// What the POSIX printing files share.

#include "platform/types.hpp"

namespace platform::posix {

/// A new handle for a printer, a device context, a font or a dialog block: never 0 and
/// never used twice in a process.
Handle NewPrintHandle();

/// The font a device context starts with; it is never deleted.
inline constexpr Handle kStockFont = 0x5000'0000;

}  // namespace platform::posix
