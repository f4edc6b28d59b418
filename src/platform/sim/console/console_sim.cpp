// The simulated console: one screen buffer shared by standard output and standard error
// when they are not redirected, a cursor with its shape, and the modes set on handles.

#include <algorithm>
#include <deque>
#include <map>
#include <string>

#include "platform/console.hpp"
#include "platform/process.hpp"
#include "platform/screen_model.hpp"
#include "platform/sim/sim.hpp"
#include "platform/sim/sim_internal.hpp"

namespace {

struct SimConsole {
    sim::ConsoleSetup setup;
    platform::ScreenModel screen;
    platform::CursorInfo cursor{25, true};
    int cursorShapeChanges = 0;
    std::map<platform::Handle, uint32_t> modes;
    std::string redirectedOutput;
    std::string redirectedError;
    std::deque<platform::InputRecord> input;
    int inputWaits = 0;
};

SimConsole console;

bool Fail(uint32_t code) {
    platform::SetLastError(code);
    return false;
}

bool IsConsoleInput(platform::Handle handle) {
    return handle == sim::detail::kStdInput ||
           (handle == sim::detail::kConsoleInput && console.setup.consoleInput);
}

}  // namespace

namespace sim {
namespace detail {

void ResetConsole(const ConsoleSetup& setup) {
    console = SimConsole{};
    console.setup = setup;
    console.cursor = setup.cursor;
    console.screen.Resize(setup.width, setup.height);
}

}  // namespace detail

char Character(int x, int y) { return console.screen.At(x, y).character; }
uint16_t Attribute(int x, int y) { return console.screen.At(x, y).attributes; }

std::string Row(int y) {
    std::string row;
    for (int x = 0; x < console.screen.Width(); ++x)
        row += console.screen.At(x, y).character;
    return row;
}

platform::Coord Cursor() { return console.screen.Cursor(); }
platform::CursorInfo CursorShape() { return console.cursor; }
int CursorShapeChanges() { return console.cursorShapeChanges; }
uint32_t ConsoleMode(platform::Handle handle) { return console.modes[handle]; }
void PlaceCursor(platform::Coord position) { console.screen.SetCursor(position); }

void PushKeyDown(char character, uint16_t scanCode, uint32_t controlKeyState) {
    console.input.push_back(
        {platform::InputKind::kKey, {true, character, scanCode, controlKeyState}, {}});
}

void PushKeyUp(char character, uint16_t scanCode, uint32_t controlKeyState) {
    console.input.push_back(
        {platform::InputKind::kKey, {false, character, scanCode, controlKeyState}, {}});
}

void PushKeyPress(char character, uint16_t scanCode, uint32_t controlKeyState) {
    PushKeyDown(character, scanCode, controlKeyState);
    PushKeyUp(character, scanCode, controlKeyState);
}

void PushMouse(int16_t x, int16_t y, uint32_t buttonState, uint32_t eventFlags,
               uint32_t controlKeyState) {
    console.input.push_back(
        {platform::InputKind::kMouse, {}, {{x, y}, buttonState, eventFlags, controlKeyState}});
}

void PushOtherInput() { console.input.push_back({platform::InputKind::kOther, {}, {}}); }

int QueuedInput() { return static_cast<int>(console.input.size()); }
int InputWaits() { return console.inputWaits; }

std::string RedirectedBytes(platform::StdHandle which) {
    return which == platform::StdHandle::kError ? console.redirectedError
                                                : console.redirectedOutput;
}

namespace detail {

bool IsConsoleOutput(platform::Handle handle) {
    return (handle == kConsoleOutput && console.setup.consoleInput) ||
           (handle == kStdOutput && console.setup.stdOutput == Stream::kConsole) ||
           (handle == kStdError && console.setup.stdError == Stream::kConsole);
}

void WriteToConsole(std::string_view bytes) {
    platform::WriteProcessed(console.screen, bytes, 7, [](auto...) {});
}

bool WriteToRedirected(platform::Handle handle, std::string_view bytes) {
    if (handle == kStdOutput && console.setup.stdOutput == Stream::kRedirected) {
        console.redirectedOutput.append(bytes);
        return true;
    }
    if (handle == kStdError && console.setup.stdError == Stream::kRedirected) {
        console.redirectedError.append(bytes);
        return true;
    }
    return false;
}

}  // namespace detail
}  // namespace sim

namespace platform {

Handle GetStdHandle(StdHandle which) {
    switch (which) {
        case StdHandle::kInput:
            return sim::detail::kStdInput;
        case StdHandle::kOutput:
            return sim::detail::kStdOutput;
        case StdHandle::kError:
            return sim::detail::kStdError;
    }
    return kNullHandle;
}

Handle OpenConsoleInput() {
    if (!console.setup.consoleInput) {
        SetLastError(kErrorFileNotFound);
        return kInvalidHandle;
    }
    return sim::detail::kConsoleInput;
}

Handle OpenConsoleOutput() {
    if (!console.setup.consoleInput) {
        SetLastError(kErrorFileNotFound);
        return kInvalidHandle;
    }
    return sim::detail::kConsoleOutput;
}

bool GetConsoleMode(Handle handle, uint32_t* mode) {
    if (!IsConsoleInput(handle) && !sim::detail::IsConsoleOutput(handle)) {
        return Fail(kErrorInvalidHandle);
    }
    *mode = console.modes[handle];
    return true;
}

bool SetConsoleMode(Handle handle, uint32_t mode) {
    if (!IsConsoleInput(handle) && !sim::detail::IsConsoleOutput(handle)) {
        return Fail(kErrorInvalidHandle);
    }
    console.modes[handle] = mode;
    return true;
}

bool SetConsoleCtrlHandler(ConsoleCtrlHandler, bool) { return true; }

bool GetConsoleScreenBufferInfo(Handle handle, ScreenBufferInfo* info) {
    if (!sim::detail::IsConsoleOutput(handle)) return Fail(kErrorInvalidHandle);
    const ScreenModel& screen = console.screen;
    info->size = {screen.Width(), screen.Height()};
    info->cursorPosition = screen.Cursor();
    info->attributes = 7;
    info->window = {0, 0, static_cast<int16_t>(screen.Width() - 1),
                    static_cast<int16_t>(screen.Height() - 1)};
    return true;
}

bool WriteConsoleOutputA(Handle handle, const CharInfo* buffer, Coord bufferSize,
                         Coord bufferOrigin, SmallRect* region) {
    if (!sim::detail::IsConsoleOutput(handle)) return Fail(kErrorInvalidHandle);
    ScreenModel& screen = console.screen;
    SmallRect clipped{std::max<int16_t>(region->left, 0), std::max<int16_t>(region->top, 0),
                      std::min<int16_t>(region->right, screen.Width() - 1),
                      std::min<int16_t>(region->bottom, screen.Height() - 1)};
    for (int y = clipped.top; y <= clipped.bottom; ++y) {
        for (int x = clipped.left; x <= clipped.right; ++x) {
            const int bx = bufferOrigin.x + (x - region->left);
            const int by = bufferOrigin.y + (y - region->top);
            if (bx < bufferSize.x && by < bufferSize.y) {
                screen.Put(x, y, buffer[by * bufferSize.x + bx]);
            }
        }
    }
    *region = clipped;
    return true;
}

bool ScrollConsoleScreenBufferA(Handle handle, const SmallRect& scroll, const SmallRect* clip,
                                Coord destination, const CharInfo& fill) {
    if (!sim::detail::IsConsoleOutput(handle)) return Fail(kErrorInvalidHandle);
    ScreenModel& screen = console.screen;
    // Only what the runtime asks for: whole rows moving up, unclipped.
    const bool wholeRowsUp = clip == nullptr && scroll.left == 0 && destination.x == 0 &&
                             scroll.right == screen.Width() - 1 && destination.y < scroll.top;
    if (!wholeRowsUp) return Fail(kErrorCallNotImplemented);
    screen.ScrollUp(destination.y, scroll.bottom, scroll.top - destination.y, fill);
    return true;
}

bool FillConsoleOutputCharacterA(Handle handle, char character, uint32_t length, Coord start,
                                 uint32_t* written) {
    if (!sim::detail::IsConsoleOutput(handle)) return Fail(kErrorInvalidHandle);
    *written = console.screen.FillCharacters(character, length, start);
    return true;
}

bool FillConsoleOutputAttribute(Handle handle, uint16_t attribute, uint32_t length, Coord start,
                                uint32_t* written) {
    if (!sim::detail::IsConsoleOutput(handle)) return Fail(kErrorInvalidHandle);
    *written = console.screen.FillAttributes(attribute, length, start);
    return true;
}

bool SetConsoleCursorPosition(Handle handle, Coord position) {
    if (!sim::detail::IsConsoleOutput(handle)) return Fail(kErrorInvalidHandle);
    if (position.x < 0 || position.y < 0 || position.x >= console.screen.Width() ||
        position.y >= console.screen.Height()) {
        return Fail(kErrorInvalidParameter);
    }
    console.screen.SetCursor(position);
    return true;
}

bool GetConsoleCursorInfo(Handle handle, CursorInfo* info) {
    if (!sim::detail::IsConsoleOutput(handle)) return Fail(kErrorInvalidHandle);
    *info = console.cursor;
    return true;
}

bool SetConsoleCursorInfo(Handle handle, const CursorInfo& info) {
    if (!sim::detail::IsConsoleOutput(handle)) return Fail(kErrorInvalidHandle);
    if (info.size < 1 || info.size > 100) return Fail(kErrorInvalidParameter);
    console.cursor = info;
    ++console.cursorShapeChanges;
    return true;
}

bool PeekConsoleInputA(Handle input, InputRecord* records, uint32_t capacity, uint32_t* count) {
    *count = 0;
    if (input != sim::detail::kConsoleInput || !console.setup.consoleInput) {
        return Fail(kErrorInvalidHandle);
    }
    while (*count < capacity && *count < console.input.size()) {
        records[*count] = console.input[*count];
        ++*count;
    }
    return true;
}

bool ReadConsoleInputA(Handle input, InputRecord* records, uint32_t capacity, uint32_t* count) {
    if (!PeekConsoleInputA(input, records, capacity, count)) return false;
    console.input.erase(console.input.begin(), console.input.begin() + *count);
    return true;
}

WaitResult WaitForConsoleInput(Handle input, uint32_t) {
    ++console.inputWaits;
    if (input != sim::detail::kConsoleInput || !console.setup.consoleInput) {
        SetLastError(kErrorInvalidHandle);
        return WaitResult::kFailed;
    }
    return console.input.empty() ? WaitResult::kFailed : WaitResult::kReady;
}

}  // namespace platform
