#pragma once
// Lines, single pixels, boxes (with rounded corners, or as ellipses) and elliptic arcs and
// pie slices on the printer. Each starts a page if none is open (runtime error 57 when none
// can be), takes positions in user units and draws with a pen (and brush) made for the one
// call from PrinterState's pen style and width.

#include <cstdint>

/// PrnBox's rounding that turns the whole box into an ellipse.
inline constexpr int32_t kPrnEllipse = INT32_MIN;

/// PrnArc's flag that closes the arc with two radii and fills it.
inline constexpr int32_t kPrnArcPie = 0x2;

/// The current position becomes the point (an offset from it when `relative`).
void PrnMoveTo(double x, double y, bool relative);

/// A line from the current position to the point, which becomes the current position.
/// Colour -1 is the text colour.
void PrnLineTo(double x, double y, bool relative, int32_t color);

/// Sets one pixel, which becomes the current position. Colour -1 is the text colour.
void PrnSetPixel(double x, double y, bool relative, int32_t color);

/// The colour of one pixel (-1 where the device cannot tell); the position does not move.
int32_t PrnGetPixel(double x, double y, bool relative);

/// A box between two corners in either order, outlined in `border` (-1 the text colour) and
/// filled with `fill` (-1 the border colour, -2 nothing) in `fillStyle`; its corners are
/// rounded by `rounding` percent of the shorter side (0..100, anything else 100), or the
/// box is an ellipse for kPrnEllipse.
void PrnBox(double x1, double y1, double x2, double y2, int32_t rounding, int32_t border,
            int32_t fill, int32_t fillStyle);

/// The part of the ellipse in the box (x1, y1)-(x2, y2) from angle `start` to angle `end`
/// (radians, 0 to the right, counter-clockwise); with kPrnArcPie in `flags` a filled pie
/// slice, else the arc line alone.
void PrnArc(double x1, double y1, double x2, double y2, double start, double end, int32_t border,
            int32_t fill, int32_t fillStyle, int32_t flags);
