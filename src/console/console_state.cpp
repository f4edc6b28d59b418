#include "console/console_state.hpp"

ConsoleState gConsole{};

void ConResetState() {
    gConsole.foreground = 7;
    gConsole.background = 0;
    gConsole.pendingScroll = kConNoScrollOwed;
    gConsole.mouseSettings = 0;
    gConsole.lastButtonState = 0;
}
