#pragma once
// The drawing settings that later drawing operations use: text colour, background, pen style
// and width, and the raster mix mode. Colours are 0x00BBGGRR.

#include <cstdint>

/// The text colour (-1 is black), applied at once; starts a page if none is open.
void PrnTextColor(int32_t color);

/// The text background: -1 or -2 transparent, any other colour opaque; starts a page if
/// none is open.
void PrnBackColor(int32_t color);

/// Pen style 0 solid .. 4 dash-dot-dot; anything else is solid. Needs no printer.
void PrnPenStyle(int32_t style);

/// Pen width in device pixels, kept as given. Needs no printer.
void PrnPenWidth(int32_t width);

/// The raster mix mode (1..16; 0 or anything above 16 is 13, copy pen); starts a page if
/// none is open. It is not kept: a new page starts with the device's own.
void PrnSetMix(int32_t mode);

/// The device context's mix mode; 0 and runtime error 57 with nothing attached.
int32_t PrnGetMix();
