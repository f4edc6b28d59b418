#pragma once
// The terminal's screen as a Windows console screen buffer. A shadow model holds the truth
// about the cursor and the cells: every byte the program sends to the terminal passes
// through here and updates it, standard-output text included.

#include <cstdint>
#include <string_view>

#include "platform/console.hpp"

namespace platform::posix {

/// Standard-output text to the terminal on `fd`, interpreted as the Windows console does
/// (CR, LF, BS, TAB, BEL, immediate wrap, scroll). False (errno set) when the write fails.
bool ScreenWriteProcessed(int fd, std::string_view bytes);

/// Cells into one row from column x on; the cursor stays where it was.
bool ScreenWriteCells(int fd, int x, int y, const CharInfo* cells, int count);

/// Moves whole rows top+count..bottom up by `count`; the rows left open take `fill`.
bool ScreenScrollUp(int fd, int top, int bottom, int count, CharInfo fill);

/// Writes `length` copies of a character (or attribute) from `start` on, row after row.
uint32_t ScreenFillCharacters(int fd, char character, uint32_t length, Coord start);
uint32_t ScreenFillAttributes(int fd, uint16_t attribute, uint32_t length, Coord start);

bool ScreenSetCursor(int fd, Coord position);
bool ScreenSetCursorShape(int fd, const CursorInfo& shape);
CursorInfo ScreenCursorShape();

/// The size of the terminal and the cursor, as the model knows them.
ScreenBufferInfo ScreenInfo(int fd);

}  // namespace platform::posix
