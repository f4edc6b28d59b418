#pragma once
// What the POSIX printing files share.

#include "platform/types.hpp"

namespace platform::posix {

/// A new handle for a printer, a device context, a font or a dialog block: never 0 and
/// never used twice in a process.
Handle NewPrintHandle();

/// The font, pen and brush a device context starts with; they are never deleted. New
/// handles count up from just above the stock font, so the other stock objects lie below it.
inline constexpr Handle kStockFont = 0x5000'0000;
inline constexpr Handle kStockPenHandle = 0x4FFF'FFF1;
inline constexpr Handle kStockBrushHandle = 0x4FFF'FFF2;
inline constexpr Handle kHollowBrushHandle = 0x4FFF'FFF3;
inline constexpr Handle kScreenDcHandle = 0x4FFF'FFF4;

}  // namespace platform::posix
