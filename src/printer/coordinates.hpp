#pragma once
// Printer coordinates: device pixels of the printable area (origin top left, y downwards), or
// a user window laid over that area by PrnScale. Positions become pixels by rounding to the
// nearest integer, halves to even.

#include <cstdint>

#include "platform/print.hpp"
#include "printer/page_metrics.hpp"

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

/// A user position (or, when relative, a move from the current position) in device pixels.
/// The current position is not changed.
platform::Point PrnToDevice(double x, double y, bool relative);

/// A device position in user units.
PrnPair PrnToWorld(int32_t x, int32_t y);

/// A device size in user units.
PrnPair PrnSizeToWorld(int32_t width, int32_t height);

/// Rounds to the nearest integer, halves to even, saturating at the 32-bit range.
int32_t PrnRound(double value);

/// A device length or sum of device values, saturated at the 32-bit range.
int32_t PrnSaturate(int64_t value);
