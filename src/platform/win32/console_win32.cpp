// The console on Windows: thin wrappers around kernel32's console functions.

#include <windows.h>

#include <vector>

#include "platform/console.hpp"
#include "platform/process.hpp"
#include "platform/win32/win32_handles.hpp"

namespace platform {
namespace {

using win32::FromWin;
using win32::ToWin;

COORD ToWin(Coord coord) { return {coord.x, coord.y}; }
Coord FromWin(COORD coord) { return {coord.X, coord.Y}; }
SMALL_RECT ToWin(const SmallRect& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }
SmallRect FromWin(const SMALL_RECT& rect) { return {rect.Left, rect.Top, rect.Right, rect.Bottom}; }

CHAR_INFO ToWin(const CharInfo& cell) {
    CHAR_INFO info{};
    info.Char.AsciiChar = cell.character;
    info.Attributes = cell.attributes;
    return info;
}

InputRecord FromWin(const INPUT_RECORD& raw) {
    InputRecord record{InputKind::kOther, {}, {}};
    if (raw.EventType == KEY_EVENT) {
        const KEY_EVENT_RECORD& key = raw.Event.KeyEvent;
        record.kind = InputKind::kKey;
        record.key = {key.bKeyDown != FALSE, key.uChar.AsciiChar, key.wVirtualScanCode,
                      key.dwControlKeyState};
    } else if (raw.EventType == MOUSE_EVENT) {
        const MOUSE_EVENT_RECORD& mouse = raw.Event.MouseEvent;
        record.kind = InputKind::kMouse;
        record.mouse = {FromWin(mouse.dwMousePosition), mouse.dwButtonState, mouse.dwEventFlags,
                        mouse.dwControlKeyState};
    }
    return record;
}

// Peeks or reads input records and converts them.
template <class Call>
bool TransferInput(Call call, Handle input, InputRecord* records, uint32_t capacity,
                   uint32_t* count) {
    std::vector<INPUT_RECORD> raw(capacity);
    DWORD got = 0;
    const bool ok = call(ToWin(input), raw.data(), capacity, &got);
    *count = ok ? got : 0;
    for (uint32_t i = 0; i < *count; ++i)
        records[i] = FromWin(raw[i]);
    return ok;
}

ConsoleCtrlHandler installedHandler = nullptr;

BOOL WINAPI CtrlTrampoline(DWORD controlType) {
    return installedHandler != nullptr && installedHandler(controlType) != 0;
}

}  // namespace

Handle GetStdHandle(StdHandle which) {
    switch (which) {
        case StdHandle::kInput:
            return FromWin(::GetStdHandle(STD_INPUT_HANDLE));
        case StdHandle::kOutput:
            return FromWin(::GetStdHandle(STD_OUTPUT_HANDLE));
        case StdHandle::kError:
            return FromWin(::GetStdHandle(STD_ERROR_HANDLE));
    }
    return kNullHandle;
}

Handle OpenConsoleInput() {
    return FromWin(
        ::CreateFileA("CONIN$", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
}

Handle OpenConsoleOutput() {
    return FromWin(::CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, 0, nullptr));
}

bool GetConsoleMode(Handle console, uint32_t* mode) {
    DWORD value = 0;
    const bool ok = ::GetConsoleMode(ToWin(console), &value);
    *mode = value;
    return ok;
}

bool SetConsoleMode(Handle console, uint32_t mode) {
    return ::SetConsoleMode(ToWin(console), mode);
}

bool SetConsoleCtrlHandler(ConsoleCtrlHandler handler, bool add) {
    installedHandler = add ? handler : nullptr;
    return ::SetConsoleCtrlHandler(CtrlTrampoline, add);
}

bool GetConsoleScreenBufferInfo(Handle console, ScreenBufferInfo* info) {
    CONSOLE_SCREEN_BUFFER_INFO raw{};
    if (!::GetConsoleScreenBufferInfo(ToWin(console), &raw)) return false;
    *info = {FromWin(raw.dwSize), FromWin(raw.dwCursorPosition), raw.wAttributes,
             FromWin(raw.srWindow)};
    return true;
}

bool WriteConsoleOutputA(Handle console, const CharInfo* buffer, Coord bufferSize,
                         Coord bufferOrigin, SmallRect* region) {
    std::vector<CHAR_INFO> cells(static_cast<size_t>(bufferSize.x) * bufferSize.y);
    for (size_t i = 0; i < cells.size(); ++i)
        cells[i] = ToWin(buffer[i]);
    SMALL_RECT target = ToWin(*region);
    const bool ok = ::WriteConsoleOutputA(ToWin(console), cells.data(), ToWin(bufferSize),
                                          ToWin(bufferOrigin), &target);
    *region = FromWin(target);
    return ok;
}

bool ScrollConsoleScreenBufferA(Handle console, const SmallRect& scroll, const SmallRect* clip,
                                Coord destination, const CharInfo& fill) {
    const SMALL_RECT scrollRect = ToWin(scroll);
    SMALL_RECT clipRect{};
    if (clip != nullptr) clipRect = ToWin(*clip);
    const CHAR_INFO fillCell = ToWin(fill);
    return ::ScrollConsoleScreenBufferA(ToWin(console), &scrollRect,
                                        clip != nullptr ? &clipRect : nullptr, ToWin(destination),
                                        &fillCell);
}

bool FillConsoleOutputCharacterA(Handle console, char character, uint32_t length, Coord start,
                                 uint32_t* written) {
    DWORD count = 0;
    const bool ok =
        ::FillConsoleOutputCharacterA(ToWin(console), character, length, ToWin(start), &count);
    *written = count;
    return ok;
}

bool FillConsoleOutputAttribute(Handle console, uint16_t attribute, uint32_t length, Coord start,
                                uint32_t* written) {
    DWORD count = 0;
    const bool ok =
        ::FillConsoleOutputAttribute(ToWin(console), attribute, length, ToWin(start), &count);
    *written = count;
    return ok;
}

bool SetConsoleCursorPosition(Handle console, Coord position) {
    return ::SetConsoleCursorPosition(ToWin(console), ToWin(position));
}

bool GetConsoleCursorInfo(Handle console, CursorInfo* info) {
    CONSOLE_CURSOR_INFO raw{};
    if (!::GetConsoleCursorInfo(ToWin(console), &raw)) return false;
    *info = {raw.dwSize, raw.bVisible != FALSE};
    return true;
}

bool SetConsoleCursorInfo(Handle console, const CursorInfo& info) {
    const CONSOLE_CURSOR_INFO raw{info.size, info.visible ? TRUE : FALSE};
    return ::SetConsoleCursorInfo(ToWin(console), &raw);
}

bool PeekConsoleInputA(Handle input, InputRecord* records, uint32_t capacity, uint32_t* count) {
    return TransferInput(::PeekConsoleInputA, input, records, capacity, count);
}

bool ReadConsoleInputA(Handle input, InputRecord* records, uint32_t capacity, uint32_t* count) {
    return TransferInput(::ReadConsoleInputA, input, records, capacity, count);
}

WaitResult WaitForConsoleInput(Handle input, uint32_t timeoutMs) {
    // INVALID_HANDLE_VALUE is also the process's own pseudo-handle: waiting on it would
    // never end.
    if (input == kNullHandle || input == kInvalidHandle) {
        ::SetLastError(ERROR_INVALID_HANDLE);
        return WaitResult::kFailed;
    }
    return WaitForSingleObject(input, timeoutMs);
}


}  // namespace platform
