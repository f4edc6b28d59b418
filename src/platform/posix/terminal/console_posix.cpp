// The console on a POSIX terminal: standard handles, "CONIN$" as /dev/tty in raw mode, and
// the screen-buffer calls on the terminal's shadow model.

#include <fcntl.h>

#include <algorithm>
#include <cerrno>

#include "platform/console.hpp"
#include "platform/posix/common/errno_map_posix.hpp"
#include "platform/posix/common/handles_posix.hpp"
#include "platform/posix/terminal/input_posix.hpp"
#include "platform/posix/terminal/screen_posix.hpp"
#include "platform/posix/terminal/terminal_posix.hpp"
#include "platform/process.hpp"

namespace platform {
namespace {

// The terminal descriptor behind a console output handle, or -1 with the last error set.
int ConsoleOutputFd(Handle handle) {
    const posix::HandleEntry* entry = posix::FindHandle(handle);
    if (entry == nullptr) return -1;
    if (entry->kind != posix::HandleKind::kFile || !entry->isTerminal) {
        SetLastError(kErrorInvalidHandle);
        return -1;
    }
    return entry->fd;
}

bool IsConsole(const posix::HandleEntry& entry) {
    return entry.kind == posix::HandleKind::kConsoleInput || entry.isTerminal;
}

// The console input: "CONIN$", or standard input when it is the terminal.
bool IsConsoleInput(const posix::HandleEntry& entry) {
    return entry.kind == posix::HandleKind::kConsoleInput || (entry.fd == 0 && entry.isTerminal);
}

bool CheckConsoleInput(Handle handle) {
    const posix::HandleEntry* entry = posix::FindHandle(handle);
    if (entry == nullptr) return false;
    if (!IsConsoleInput(*entry)) {
        SetLastError(kErrorInvalidHandle);
        return false;
    }
    return true;
}

}  // namespace

Handle GetStdHandle(StdHandle which) {
    switch (which) {
        case StdHandle::kInput:
            return posix::StandardHandle(0);
        case StdHandle::kOutput:
            return posix::StandardHandle(1);
        case StdHandle::kError:
            return posix::StandardHandle(2);
    }
    return kNullHandle;
}

Handle OpenConsoleInput() {
    const int fd = posix::TerminalOpenInput();
    if (fd < 0) {
        posix::FailWithErrno();
        return kInvalidHandle;
    }
    return posix::AddHandle({posix::HandleKind::kConsoleInput, fd, true, 0, {}});
}

Handle OpenConsoleOutput() {
    const int fd = open("/dev/tty", O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        posix::FailWithErrno();
        return kInvalidHandle;
    }
    return posix::AddHandle({posix::HandleKind::kFile, fd, true, 0, {}});
}

bool GetConsoleMode(Handle handle, uint32_t* mode) {
    const posix::HandleEntry* entry = posix::FindHandle(handle);
    if (entry == nullptr) return false;
    if (!IsConsole(*entry)) {
        SetLastError(kErrorInvalidHandle);
        return false;
    }
    *mode = entry->consoleMode;
    return true;
}

bool SetConsoleMode(Handle handle, uint32_t mode) {
    posix::HandleEntry* entry = posix::FindHandle(handle);
    if (entry == nullptr) return false;
    if (!IsConsole(*entry)) {
        SetLastError(kErrorInvalidHandle);
        return false;
    }
    entry->consoleMode = mode;
    if (IsConsoleInput(*entry)) posix::InputSetMouseTracking(mode & kInputMouse);
    return true;
}

// Ctrl+C and Ctrl+Break reach the program as keys because the terminal is in raw mode, and
// the terminal's hang-up ends the program after the terminal is restored: the handler has
// nothing left to decide.
bool SetConsoleCtrlHandler(ConsoleCtrlHandler, bool) { return true; }

bool GetConsoleScreenBufferInfo(Handle handle, ScreenBufferInfo* info) {
    const int fd = ConsoleOutputFd(handle);
    if (fd < 0) return false;
    *info = posix::ScreenInfo(fd);
    return true;
}

bool WriteConsoleOutputA(Handle handle, const CharInfo* buffer, Coord bufferSize,
                         Coord bufferOrigin, SmallRect* region) {
    const int fd = ConsoleOutputFd(handle);
    if (fd < 0) return false;
    const ScreenBufferInfo screen = posix::ScreenInfo(fd);
    const SmallRect clipped{std::max<int16_t>(region->left, 0), std::max<int16_t>(region->top, 0),
                            std::min<int16_t>(region->right, screen.size.x - 1),
                            std::min<int16_t>(region->bottom, screen.size.y - 1)};
    for (int y = clipped.top; y <= clipped.bottom; ++y) {
        const int sourceRow = bufferOrigin.y + (y - region->top);
        const int sourceColumn = bufferOrigin.x + (clipped.left - region->left);
        const int count = std::min(clipped.right - clipped.left + 1, bufferSize.x - sourceColumn);
        if (sourceRow >= bufferSize.y || count <= 0) break;
        if (!posix::ScreenWriteCells(fd, clipped.left, y,
                                     buffer + sourceRow * bufferSize.x + sourceColumn, count)) {
            return posix::FailWithErrno();
        }
    }
    *region = clipped;
    return true;
}

bool ScrollConsoleScreenBufferA(Handle handle, const SmallRect& scroll, const SmallRect* clip,
                                Coord destination, const CharInfo& fill) {
    const int fd = ConsoleOutputFd(handle);
    if (fd < 0) return false;
    const ScreenBufferInfo screen = posix::ScreenInfo(fd);
    // A terminal moves whole rows; that is all the runtime asks for.
    const bool wholeRowsUp = clip == nullptr && scroll.left == 0 && destination.x == 0 &&
                             scroll.right == screen.size.x - 1 && destination.y < scroll.top;
    if (!wholeRowsUp) {
        SetLastError(kErrorCallNotImplemented);
        return false;
    }
    return posix::ScreenScrollUp(fd, destination.y, scroll.bottom, scroll.top - destination.y,
                                 fill) ||
           posix::FailWithErrno();
}

bool FillConsoleOutputCharacterA(Handle handle, char character, uint32_t length, Coord start,
                                 uint32_t* written) {
    const int fd = ConsoleOutputFd(handle);
    if (fd < 0) return false;
    *written = posix::ScreenFillCharacters(fd, character, length, start);
    return true;
}

bool FillConsoleOutputAttribute(Handle handle, uint16_t attribute, uint32_t length, Coord start,
                                uint32_t* written) {
    const int fd = ConsoleOutputFd(handle);
    if (fd < 0) return false;
    *written = posix::ScreenFillAttributes(fd, attribute, length, start);
    return true;
}

bool SetConsoleCursorPosition(Handle handle, Coord position) {
    const int fd = ConsoleOutputFd(handle);
    if (fd < 0) return false;
    const ScreenBufferInfo screen = posix::ScreenInfo(fd);
    if (position.x < 0 || position.y < 0 || position.x >= screen.size.x ||
        position.y >= screen.size.y) {
        SetLastError(kErrorInvalidParameter);
        return false;
    }
    return posix::ScreenSetCursor(fd, position) || posix::FailWithErrno();
}

bool GetConsoleCursorInfo(Handle handle, CursorInfo* info) {
    if (ConsoleOutputFd(handle) < 0) return false;
    *info = posix::ScreenCursorShape();
    return true;
}

bool SetConsoleCursorInfo(Handle handle, const CursorInfo& info) {
    const int fd = ConsoleOutputFd(handle);
    if (fd < 0) return false;
    if (info.size < 1 || info.size > 100) {
        SetLastError(kErrorInvalidParameter);
        return false;
    }
    return posix::ScreenSetCursorShape(fd, info) || posix::FailWithErrno();
}

bool PeekConsoleInputA(Handle input, InputRecord* records, uint32_t capacity, uint32_t* count) {
    *count = 0;
    return CheckConsoleInput(input) && posix::InputFetch(records, capacity, count, false);
}

bool ReadConsoleInputA(Handle input, InputRecord* records, uint32_t capacity, uint32_t* count) {
    *count = 0;
    if (!CheckConsoleInput(input)) return false;
    // Reading waits while the queue is empty, as the console does.
    while (posix::InputFetch(records, capacity, count, true) && *count == 0) {
        if (posix::InputWait(kInfinite) == WaitResult::kFailed) return false;
    }
    return *count > 0;
}

WaitResult WaitForConsoleInput(Handle input, uint32_t timeoutMs) {
    if (!CheckConsoleInput(input)) return WaitResult::kFailed;
    return posix::InputWait(timeoutMs);
}

}  // namespace platform
