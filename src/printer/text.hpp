#pragma once
// Text on the printer. Text is drawn at the current position in the current font and text
// colour (on the background colour when it is opaque), and the position moves past it like a
// cursor.

#include <cstdint>

#include "printer/page_metrics.hpp"
#include "runtime/text.hpp"

/// Draws the text at the current position and moves the position past it. An empty text
/// does nothing at all, even with nothing attached; otherwise runtime error 57 when no page
/// can be started or the text cannot be drawn.
void PrnPrintText(const Text& text);

/// Draws a number as PrnPrintText does: 7 significant digits for a single-precision value,
/// 15 for a double.
void PrnPrintNumber(float value);
void PrnPrintNumber(double value);

/// Moves the position to the start of the next text line (it may leave the page; no page is
/// added). Runtime error 57 when no page can be started.
void PrnNewLine();

/// The current font's average character width and character height in user units; zeros and
/// runtime error 57 with nothing attached. Starts no page.
PrnPair PrnCharSize();

/// The width and height of the text in the current font in user units; zeros and runtime
/// error 57 with nothing attached. Starts no page.
PrnPair PrnTextSize(const Text& text);

/// How many lines of the current font fit on the printable height; 0 and runtime error 57
/// with nothing attached. Starts no page.
int32_t PrnLinesPerPage();
