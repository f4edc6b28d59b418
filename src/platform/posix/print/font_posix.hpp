#pragma once
// Printer fonts on POSIX: a font description becomes a cairo font face found through
// fontconfig ("Arial" finds a metric-compatible face), sized and measured from the face's
// own tables as GDI does.

#include <cairo.h>

#include "platform/print.hpp"

namespace platform::posix {

/// What GDI reads from a face at a size, in device pixels.
struct FontMeasures {
    /// Pixels per em: -height for a negative height, the em that makes the cell (ascent and
    /// descent) as high as a positive height, 12 points for 0.
    double em = 0;
    TextMetric metric;
    /// Below the baseline (positive downwards) to the top of the underline, and its
    /// thickness; above the baseline to the top of the strike-out line, and its thickness.
    double underlinePosition = 0;
    double underlineThickness = 0;
    double strikeOutPosition = 0;
    double strikeOutThickness = 0;
};

/// A cairo scaled font for the description at `dpi`, one unit a device pixel, with its
/// advances rounded to whole pixels as the printer lays text out; the caller destroys it.
/// Null when cairo cannot make one.
cairo_scaled_font_t* CreateScaledFont(const LogFont& font, int32_t dpi);

/// GDI's measures of the description at `dpi`: with ppem the em size, ascent and descent are
/// the face's Windows ascent and descent scaled and rounded, the height their sum, the
/// external leading the line gap that the Windows metrics do not already cover, the average
/// width the face's own recorded one.
bool MeasureFont(const LogFont& font, int32_t dpi, FontMeasures* measures);

/// The same, the text metrics alone.
bool MeasureFont(const LogFont& font, int32_t dpi, TextMetric* metric);

}  // namespace platform::posix
