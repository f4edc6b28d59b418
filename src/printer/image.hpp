#pragma once
// Pictures on the printer: a bitmap or an icon, from the program's resources or from a file,
// stretched into a box.

#include "runtime/text.hpp"

/// Draws the picture `source` names stretched into the box (x1, y1)-(x2, y2), both corners
/// included. A source of exactly 4 bytes whose value is below 0x8000 is a numeric resource
/// identifier; a name without a full stop is looked for among the resources (bitmap, then
/// icon) before the files; a name with one only among the files (bitmap, then icon).
/// Runtime error 57 when no page can be started, no picture is found, or the picture
/// cannot be read or drawn; nothing is drawn then.
void PrnImage(const Text& source, double x1, double y1, double x2, double y2);
