#pragma once
// Filled polygons and open polylines on the printer. Points come as callers hand them: a
// block whose first 32-bit word is the number of points, followed by that many (x, y) pairs
// of 32-bit floats in user coordinates, always absolute. Lists of fewer than 2 or more than
// 1,024 points draw nothing. Neither operation moves the current position or raises an
// error when no page can be started.

#include <cstdint>

/// The most points one call draws.
inline constexpr int32_t kPrnMaxPolygonPoints = 1024;

/// PrnPolygon's fill modes: 0 the winding rule, anything else the alternate rule.
inline constexpr int32_t kPrnWindingFill = 0;

/// A closed polygon outlined in `border` (-1 the text colour) and filled with `fill` (-1
/// the border colour, -2 nothing) in `fillStyle`, by the rule `fillMode` chooses.
void PrnPolygon(const void* points, int32_t border, int32_t fill, int32_t fillStyle,
                int32_t fillMode);

/// Connected line segments through the points in `color` (-1 the text colour).
void PrnPolyline(const void* points, int32_t color);
