// The answers to --help and --version. They go to standard output as plain lines (LF, not
// the screens' CR LF), the way the platform's other programs answer them.

#include "app/usage.hpp"

namespace {

constexpr const char* kUsage =
    "Usage: virodaro\n"
    "   or: virodaro --help | --version\n"
    "\n"
    "Prints one calibration page on the default printer: cut lines through the\n"
    "middle of the printable area, so that the sheet can be cut into four,\n"
    "shifted by an X and a Y offset in printer pixels. The offsets are kept in\n"
    "the settings file VIRODARO.CFG in the current directory; without it the\n"
    "program lists the printers and asks for them, then offers to save them.\n"
    "\n"
    "Keys: type a number and Enter at the prompts (Backspace erases, an empty\n"
    "answer is 0); Y at \"Save setting (Y/N)\" saves. The closing screen ends on\n"
    "Enter, Esc, Alt+Q or a left click; a right click first starts the shell\n"
    "named by COMSPEC.\n"
    "\n"
    "  --help     show this text and exit\n"
    "  --version  show the version and exit\n"
    "Any other arguments are accepted and change nothing.\n"
    "\n"
    "Exit status: 0 after a run (also when no page could be printed), 255 after\n"
    "a fatal error.\n"
    "\n"
    "The whole manual: man virodaro\n";

}  // namespace

std::string AppUsageText() { return kUsage; }

std::string AppVersionText() { return "virodaro " VIRODARO_VERSION "\n"; }
