#pragma once
// Positions and sizes between user units and device pixels: pixels of the printable area
// (origin top left, y downwards), or a user window laid over that area by PrnScale. Device
// values come from user values by rounding to the nearest integer, halves to even. Nothing
// here starts a page.

#include <cstdint>

#include "platform/print.hpp"

/// A pair of values in user units.
struct PrnPair {
    double x;
    double y;
};

/// Whether a user window is laid over the printable area.
bool PrnScaled();

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
