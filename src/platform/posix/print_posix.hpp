#pragma once
// What the POSIX printing files share.

#include "platform/types.hpp"

namespace platform::posix {

/// A new handle for a printer, a device context, a font or a dialog block: never 0 and
/// never used twice in a process.
Handle NewPrintHandle();

/// The font, pen and brush a device context starts with; they are never deleted.
inline constexpr Handle kStockFont = 0x5000'0000;
inline constexpr Handle kStockPenHandle = 0x5000'0001;
inline constexpr Handle kStockBrushHandle = 0x5000'0002;

}  // namespace platform::posix
