#pragma once
// The drawing objects of the POSIX printer device contexts: fonts, pens and brushes made by
// the program, and the stock objects every device context starts with.

#include <cstdint>

#include "platform/posix/print/print_posix.hpp"
#include "platform/print.hpp"
#include "platform/print_drawing.hpp"

namespace platform::posix {

/// The pen and brush a device context starts with (a black one-pixel pen, a white brush),
/// and the stock brush that fills nothing.
inline constexpr Handle kStockPen = kStockPenHandle;
inline constexpr Handle kStockBrush = kStockBrushHandle;
inline constexpr Handle kHollowBrush = kHollowBrushHandle;

struct PenObject {
    int32_t style = kPsSolid;
    int32_t width = 0;
    uint32_t color = 0;
};

struct BrushObject {
    enum class Kind { kSolid, kHatch, kHollow };
    Kind kind = Kind::kSolid;
    int32_t hatch = 0;
    uint32_t color = 0;
};

/// The description of a font, pen or brush object (the stock ones included), or null.
const LogFont* FindFont(Handle font);
const PenObject* FindPen(Handle pen);
const BrushObject* FindBrush(Handle brush);

}  // namespace platform::posix
