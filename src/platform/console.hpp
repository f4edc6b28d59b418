#pragma once
// The console: standard handles, "CONIN$", modes, the control handler, the screen buffer
// (cells, scrolling, filling, cursor) and the input queue (key and mouse records). Calls that can
// fail return false and leave a Win32 error code for GetLastError; on a handle that is not a
// console they fail with kErrorInvalidHandle.

#include <cstdint>

#include "platform/types.hpp"

namespace platform {

/// A cell position or a size, 0-based, in screen-buffer cells.
struct Coord {
    int16_t x;
    int16_t y;
};

/// An inclusive rectangle of cells.
struct SmallRect {
    int16_t left;
    int16_t top;
    int16_t right;
    int16_t bottom;
};

/// One cell: an ANSI character byte and its attribute word (CHAR_INFO).
struct CharInfo {
    char character;
    uint16_t attributes;
};

/// What GetConsoleScreenBufferInfo reports.
struct ScreenBufferInfo {
    Coord size;
    Coord cursorPosition;
    uint16_t attributes;
    SmallRect window;
};

/// The cursor shape: size in percent of the cell, and visibility.
struct CursorInfo {
    uint32_t size;
    bool visible;
};

enum class StdHandle { kInput, kOutput, kError };
Handle GetStdHandle(StdHandle which);

/// CreateFileA("CONIN$", GENERIC_READ, FILE_SHARE_READ, ..., OPEN_EXISTING): the console's
/// own input, even when standard input is redirected. kInvalidHandle when there is none.
Handle OpenConsoleInput();

/// CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_WRITE, ..., OPEN_EXISTING):
/// the console's own screen, even when standard output and standard error are redirected.
/// kInvalidHandle when there is none.
Handle OpenConsoleOutput();

/// Console modes of an input or output handle.
inline constexpr uint32_t kOutputProcessed = 0x1;
inline constexpr uint32_t kOutputWrapAtEol = 0x2;
inline constexpr uint32_t kInputMouse = 0x10;
bool GetConsoleMode(Handle console, uint32_t* mode);
bool SetConsoleMode(Handle console, uint32_t mode);

/// The console control handler: called with CTRL_C_EVENT (0), CTRL_BREAK_EVENT (1),
/// CTRL_CLOSE_EVENT (2) and others; a non-zero result means the event was handled.
using ConsoleCtrlHandler = int32_t (*)(uint32_t controlType);
bool SetConsoleCtrlHandler(ConsoleCtrlHandler handler, bool add);

bool GetConsoleScreenBufferInfo(Handle console, ScreenBufferInfo* info);

/// Writes the cells of `buffer` (bufferSize cells, read from bufferOrigin) into `region`;
/// the region is clipped to the screen buffer and reports what was written.
bool WriteConsoleOutputA(Handle console, const CharInfo* buffer, Coord bufferSize,
                         Coord bufferOrigin, SmallRect* region);

/// Moves the cells of `scroll` so that its top-left lands on `destination`; the uncovered
/// cells take `fill`. This program only moves whole rows up.
bool ScrollConsoleScreenBufferA(Handle console, const SmallRect& scroll, const SmallRect* clip,
                                Coord destination, const CharInfo& fill);

/// Writes `length` copies of a character (or an attribute) from `start` on, row after row.
bool FillConsoleOutputCharacterA(Handle console, char character, uint32_t length, Coord start,
                                 uint32_t* written);
bool FillConsoleOutputAttribute(Handle console, uint16_t attribute, uint32_t length, Coord start,
                                uint32_t* written);

bool SetConsoleCursorPosition(Handle console, Coord position);
bool GetConsoleCursorInfo(Handle console, CursorInfo* info);
bool SetConsoleCursorInfo(Handle console, const CursorInfo& info);

/// Control-key state bits of key and mouse records.
enum ControlKeyState : uint32_t {
    kRightAltPressed = 0x0001,
    kLeftAltPressed = 0x0002,
    kRightCtrlPressed = 0x0004,
    kLeftCtrlPressed = 0x0008,
    kShiftPressed = 0x0010,
    kCapsLockOn = 0x0080,
    kEnhancedKey = 0x0100,
};

/// Event flags of mouse records (0: a button was pressed or released).
enum MouseEventFlags : uint32_t {
    kMouseMoved = 0x1,
    kDoubleClick = 0x2,
    kMouseWheeled = 0x4,
};

/// A key going down or up: the character byte (0 for keys without one), the PC keyboard
/// scan code (set 1) and the control-key state.
struct KeyRecord {
    bool keyDown;
    char character;
    uint16_t scanCode;
    uint32_t controlKeyState;
};

/// A mouse event: the cell, the button-state word (left 0x1, right 0x2, middle 0x4; a wheel
/// turn in the high word), the event flags and the control-key state.
struct MouseRecord {
    Coord position;
    uint32_t buttonState;
    uint32_t eventFlags;
    uint32_t controlKeyState;
};

enum class InputKind { kKey, kMouse, kOther };

/// One record of the console input queue; kOther stands for focus, menu and buffer-size
/// records, which carry nothing the program reads.
struct InputRecord {
    InputKind kind;
    KeyRecord key;
    MouseRecord mouse;
};

/// Copies up to `capacity` records from the head of the queue without removing them;
/// `count` is 0 when the queue is empty.
bool PeekConsoleInputA(Handle input, InputRecord* records, uint32_t capacity, uint32_t* count);

/// Removes up to `capacity` records from the head of the queue, waiting while it is empty.
bool ReadConsoleInputA(Handle input, InputRecord* records, uint32_t capacity, uint32_t* count);

/// Blocks until the input queue holds a record or the timeout (milliseconds) passes
/// (WaitForSingleObject on the input handle). kFailed when there is no usable console input:
/// an invalid handle, or a terminal that has hung up.
WaitResult WaitForConsoleInput(Handle input, uint32_t timeoutMs);

}  // namespace platform
