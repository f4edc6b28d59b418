#pragma once
// How the POSIX printer paints a path the way GDI does on a printer: where a pen's line lies
// on the pixel grid, its caps, joins and dash patterns, and the solid and hatched brushes.

#include <cairo.h>

#include <cstdint>

#include "platform/posix/print/print_dc_posix.hpp"

namespace platform::posix {

/// Where the middle of a line of the selected pen lies from a pixel's top-left corner: the
/// pixel's centre for odd widths, its corner for even ones (the extra row goes above).
double PenCentre(const PrintDeviceContext& context);

/// A colour 0x00BBGGRR as the cairo source.
void SetSourceColor(cairo_t* cairo, uint32_t color);

/// Fills the current path with the selected brush (nothing for a hollow one), keeping the
/// path.
void FillWithBrush(PrintDeviceContext* context, cairo_fill_rule_t rule);

/// Strokes the current path with the selected pen (nothing for a null pen), keeping the path.
void StrokeWithPen(PrintDeviceContext* context);

/// Adds the outline of the ellipse with this centre and these radii, from angle `from` to
/// angle `to` (radians in the ellipse's unit space, y downwards), running counter-clockwise
/// on the page. A radius of 0 gives the ellipse's flat line.
void AddEllipticArc(cairo_t* cairo, double centreX, double centreY, double radiusX, double radiusY,
                    double from, double to);

}  // namespace platform::posix
