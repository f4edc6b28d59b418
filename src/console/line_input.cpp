#include "console/line_input.hpp"

#include <array>

#include "console/console_state.hpp"
#include "console/events.hpp"
#include "console/output.hpp"
#include "platform/console.hpp"

namespace {

constexpr uint8_t kBackspace = 8;
constexpr uint8_t kEnter = 13;

}  // namespace

uint8_t ConWaitChar() {
    for (;;) {
        ConEvent event{};
        const con_detail::PeekOutcome outcome = con_detail::PeekEvent(&event);
        if (outcome == con_detail::PeekOutcome::kNoInput) return 0;
        if (outcome == con_detail::PeekOutcome::kEmpty) {
            if (!con_detail::WaitForInput()) return 0;
            continue;
        }
        ConTakeEvent();
        if (event.length == 1 && event.bytes[0] != 0) return event.bytes[0];
    }
}

void ConCursorBack() {
    platform::ScreenBufferInfo screen{};
    if (!platform::GetConsoleScreenBufferInfo(gConsole.conOut, &screen)) return;
    if (gConsole.pendingScroll != kConNoScrollOwed) {
        // The cursor sits at column 1 of the bottom row over text just written; the last
        // character is in the bottom-right cell.
        gConsole.pendingScroll = kConNoScrollOwed;
        ConLocate(screen.size.x, screen.size.y);
        return;
    }
    const int32_t column = screen.cursorPosition.x + 1;
    const int32_t row = screen.cursorPosition.y + 1;
    if (column > 1) {
        ConLocate(column - 1, row);
    } else {
        ConLocate(screen.size.x, row - 1);  // on row 1 the row stays: out of range
    }
}

Text ConLineInput() {
    ConCursorForceVisible();
    std::array<char, kConLineCapacity> line;
    uint32_t count = 0;
    for (;;) {
        const uint8_t key = ConWaitChar();
        if (key == kEnter || key == 0) break;
        if (key == kBackspace) {
            if (count > 0) {
                ConCursorBack();
                ConPrint(" ");
                ConCursorBack();
                --count;
            }
        } else if (key >= 32 && count < kConLineCapacity) {
            line[count++] = static_cast<char>(key);
            ConPrint(Text(std::string_view(&line[count - 1], 1)));
        }
    }
    ConNewLine();
    Text typed(std::string_view(line.data(), count));
    ConCursorRestore();
    return typed;
}
