#pragma once
// Console output: the standard-output path and the console-cell path.
//
// Standard-output text goes to stdOut with one write per call; when that is the console, the
// console interprets CR, LF, BS, TAB and BEL, wraps and scrolls. Console-cell operations
// write cells straight into the screen buffer through conOut at the console cursor, so that
// prompts and their echo reach the console even when standard output is redirected.
// Columns and rows are 1-based.

#include <cstdint>

#include "runtime/text.hpp"

/// Writes every byte of the text to standard output (nothing for the empty text). A failed
/// write raises its mapped error; a short write raises 61.
void ConWriteStdOut(Text text);

/// Writes CR LF to standard output, with the errors of ConWriteStdOut.
void ConStdOutNewLine();

/// Writes the text as cells at the cursor, wrapping at the right edge, and leaves the
/// cursor behind it. Every byte shows as its glyph; nothing is interpreted.
void ConPrint(Text text);

/// Moves the cursor to column 1 of the next row, scrolling at the bottom row.
void ConNewLine();

/// Moves the cursor; a coordinate out of range keeps its current value. Clears the scroll
/// owed by a write into the bottom-right cell.
void ConLocate(int32_t column, int32_t row);

/// Blanks the whole screen buffer and puts the cursor at column 1, row 1.
void ConClear();

/// 0 hides the cursor, a negative value shows it, a positive value sets its size (10..99)
/// and shows it.
void ConCursor(int32_t size);

/// Moves the screen buffer's content up one row; the bottom row becomes blank.
void ConScrollUp();

/// Shows a hidden cursor (or hides a shown one) until ConCursorRestore.
void ConCursorForceVisible();
void ConCursorForceHidden();
void ConCursorRestore();
