#pragma once
// Printer fonts on POSIX: a font description becomes a cairo font face found through
// fontconfig ("Arial" finds a metric-compatible face), sized and measured as GDI does.

#include <cairo.h>

#include "platform/print.hpp"

namespace platform::posix {

/// The em size in device pixels of a description: -height for a negative height (the
/// character height), the em part of the cell for a positive one, 12 points at `dpi` for 0.
double FontEmSize(const LogFont& font, int32_t dpi);

/// A cairo scaled font for the description at `dpi`; the caller destroys it. Null when
/// cairo cannot make one.
cairo_scaled_font_t* CreateScaledFont(const LogFont& font, int32_t dpi);

/// GDI's text metrics of the description at `dpi`: ascent and descent rounded, their sum as
/// the height, the leading beyond the em size as internal leading, the face's line gap as
/// external leading, and the face's average character width where it records one.
bool MeasureFont(const LogFont& font, int32_t dpi, TextMetric* metric);

}  // namespace platform::posix
