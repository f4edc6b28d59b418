#include "app/exit_loop.hpp"

#include "app/screen.hpp"
#include "console/events.hpp"
#include "console/output.hpp"
#include "files/system.hpp"

namespace {

// All four mouse event kinds for the left, right and middle buttons.
constexpr int32_t kClosingMouseSettings = 0x000F0007;
constexpr uint32_t kShowNormallyAndWait = kSysShellWait | 1;

}  // namespace

void AppExitLoop() {
    AppWriteLine(" ");
    AppWriteLine("            [ESC],[ENTER] and [Left Mouse Click] will Exit Program");
    AppWriteLine(" ");
    ConMouse(kClosingMouseSettings);
    ConMouse(static_cast<int32_t>(kConReportingOn));
    ConCursor(-1);

    const Text leftReleased = StrFromBytes({255, 255, kConMouseRelease, 1});
    const Text rightReleased = StrFromBytes({255, 255, kConMouseRelease, 2});
    const Text middleReleased = StrFromBytes({255, 255, kConMouseRelease, 4});
    const Text altQ = StrFromBytes({0, 16});
    const Text enter = StrFromBytes({13});
    const Text esc = StrFromBytes({27});
    for (;;) {
        const Text key = ConWaitKey();
        if (key == rightReleased) {
            SysShell(SysEnviron("COMSPEC"), kShowNormallyAndWait, false);
            return;
        }
        // The empty text: there is no console input to wait for.
        if (key.Empty() || key == leftReleased || key == middleReleased || key == altQ ||
            key == enter || key == esc) {
            return;
        }
    }
}
