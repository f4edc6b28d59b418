#include "console/output.hpp"

#include <algorithm>

#include "console/console_state.hpp"
#include "platform/console.hpp"
#include "platform/files.hpp"
#include "runtime/errors.hpp"
#include "runtime/os_call.hpp"

namespace {

void WriteStdOutBytes(const char* bytes, uint32_t count) {
    auto result = RtCallOs([&] {
        uint32_t written = 0;
        platform::WriteFile(gConsole.stdOut, bytes, count, &written);
        return written;
    });
    if (result.Failed()) {
        RtRaiseError(result.error);
    } else if (result.value < count) {
        RtRaiseError(kRtErrDiskFull);
    }
}

// The screen buffer's size and cursor. Fails when conOut is not a console (standard output
// and standard error both redirected); the cell operations then do nothing.
bool ReadScreen(platform::ScreenBufferInfo* info) {
    return platform::GetConsoleScreenBufferInfo(gConsole.conOut, info) && info->size.x > 0 &&
           info->size.y > 0;
}

void ApplyCursorShape(bool visible) {
    platform::SetConsoleCursorInfo(gConsole.conOut, {gConsole.cursorInfo.size, visible});
}

}  // namespace

void ConWriteStdOut(Text text) {
    if (text.Empty()) return;
    WriteStdOutBytes(text.Data(), text.Length());
}

void ConStdOutNewLine() { WriteStdOutBytes("\r\n", 2); }

void ConPrint(Text text) {
    if (text.Empty()) return;
    platform::ScreenBufferInfo screen;
    if (!ReadScreen(&screen)) return;
    const uint16_t attribute = ConAttribute();
    const int32_t width = screen.size.x;
    const int32_t height = screen.size.y;
    int32_t x = std::clamp<int32_t>(screen.cursorPosition.x, 0, width - 1);
    int32_t y = std::clamp<int32_t>(screen.cursorPosition.y, 0, height - 1);

    const char* next = text.Data();
    uint32_t remaining = text.Length();
    platform::CharInfo block[256];
    while (remaining > 0) {
        if (gConsole.pendingScroll != kConNoScrollOwed) {
            gConsole.pendingScroll = kConNoScrollOwed;
            ConScrollUp();
        }
        const int32_t run =
            std::min<int32_t>({static_cast<int32_t>(std::min(remaining, 255u)), width - x, 255});
        for (int32_t i = 0; i < run; ++i)
            block[i] = {next[i], attribute};
        platform::SmallRect region{static_cast<int16_t>(x), static_cast<int16_t>(y),
                                   static_cast<int16_t>(x + run - 1), static_cast<int16_t>(y)};
        platform::WriteConsoleOutputA(gConsole.conOut, block, {static_cast<int16_t>(run), 1},
                                      {0, 0}, &region);
        next += run;
        remaining -= run;
        x += run;
        if (x == width) {
            x = 0;
            // A full bottom row does not scroll yet: the cursor stays over the text just
            // written until something else is written.
            if (y + 1 == height) {
                gConsole.pendingScroll = kConScrollOwed;
            } else {
                ++y;
            }
        }
    }
    const ConPendingScroll owed = gConsole.pendingScroll;
    ConLocate(x + 1, y + 1);
    gConsole.pendingScroll = owed;
}

void ConNewLine() {
    platform::ScreenBufferInfo screen;
    if (!ReadScreen(&screen)) return;
    const int32_t height = screen.size.y;
    if (screen.cursorPosition.y + 1 < height) {
        ConLocate(1, screen.cursorPosition.y + 2);
        return;
    }
    const ConPendingScroll owed = gConsole.pendingScroll;
    gConsole.pendingScroll = kConNoScrollOwed;
    if (owed != kConNoScrollOwed) ConScrollUp();
    ConScrollUp();
    ConLocate(1, height);
}

void ConScrollUp() {
    platform::ScreenBufferInfo screen;
    if (!ReadScreen(&screen)) return;
    const platform::SmallRect rows{0, 1, static_cast<int16_t>(screen.size.x - 1),
                                   static_cast<int16_t>(screen.size.y - 1)};
    platform::ScrollConsoleScreenBufferA(gConsole.conOut, rows, nullptr, {0, 0},
                                         {' ', ConAttribute()});
}

void ConLocate(int32_t column, int32_t row) {
    platform::ScreenBufferInfo screen;
    if (!ReadScreen(&screen)) return;
    if (column < 1 || column > screen.size.x) column = screen.cursorPosition.x + 1;
    if (row < 1 || row > screen.size.y) row = screen.cursorPosition.y + 1;
    platform::SetConsoleCursorPosition(
        gConsole.conOut, {static_cast<int16_t>(column - 1), static_cast<int16_t>(row - 1)});
    gConsole.pendingScroll = kConNoScrollOwed;
}

void ConClear() {
    ConCursorForceHidden();
    platform::ScreenBufferInfo screen;
    if (ReadScreen(&screen)) {
        const uint32_t cells = static_cast<uint32_t>(screen.size.x) * screen.size.y;
        uint32_t written = 0;
        platform::FillConsoleOutputCharacterA(gConsole.conOut, ' ', cells, {0, 0}, &written);
        platform::FillConsoleOutputAttribute(gConsole.conOut, ConAttribute(), cells, {0, 0},
                                             &written);
        ConLocate(1, 1);
    }
    ConCursorRestore();
}

void ConCursor(int32_t size) {
    if (size == 0) {
        gConsole.cursorInfo.visible = false;
    } else {
        gConsole.cursorInfo.visible = true;
        if (size > 0) gConsole.cursorInfo.size = static_cast<uint32_t>(std::clamp(size, 10, 99));
    }
    platform::SetConsoleCursorInfo(gConsole.conOut, gConsole.cursorInfo);
}

void ConCursorForceVisible() {
    if (gConsole.cursorInfo.visible) return;
    ApplyCursorShape(true);
    gConsole.cursorTemporarilyChanged = 1;
}

void ConCursorForceHidden() {
    if (!gConsole.cursorInfo.visible) return;
    ApplyCursorShape(false);
    gConsole.cursorTemporarilyChanged = 1;
}

void ConCursorRestore() {
    if (gConsole.cursorTemporarilyChanged == 0) return;
    platform::SetConsoleCursorInfo(gConsole.conOut, gConsole.cursorInfo);
    gConsole.cursorTemporarilyChanged = 0;
}
