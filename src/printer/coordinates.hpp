#pragma once
// The user window laid over the printable area, and the conversions that use it. Laying,
// dropping and reading the window start a page, whose printable area the window covers.

#include "printer/unit_conversion.hpp"

/// The user window's corners.
struct PrnWindow {
    double x1;
    double y1;
    double x2;
    double y2;
};

/// Lays a user window over the printable area: (x1, y1) top left, (x2, y2) bottom right.
/// Starts a page if none is open; raises 5 for a window without width or height. A window
/// that equals the device coordinates is dropped.
void PrnScale(float x1, float y1, float x2, float y2);

/// Back to device coordinates; starts a page if none is open. Quiet when no page can start.
void PrnScaleReset();

/// The window's low x, low y, high x, high y (the printable area when there is no window).
/// Starts a page if none is open; zeros, quietly, when no page can start.
PrnWindow PrnGetScale();
