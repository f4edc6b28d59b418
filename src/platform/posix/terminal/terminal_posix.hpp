#pragma once
// The terminal the program runs in: its input in raw mode, and every mode the program
// changes, handed back as it was found on every way out of the process.

#include <cstdint>
#include <string>

namespace platform::posix {

/// Opens /dev/tty (once) and puts it into raw mode: no echo, no line editing, no signals
/// from keys, no CR-to-NL translation, so that Ctrl+C arrives as byte 3 and Enter as 13.
/// Returns the descriptor, or -1 (errno set) when the process has no terminal.
int TerminalOpenInput();

/// The descriptor of /dev/tty, or -1 when it is not open.
int TerminalInputFd();

/// Modes the program sets on the terminal's output and that must be undone at the end.
enum TerminalMode : unsigned {
    kModeCursorHidden = 1u << 0,
    kModeCursorShape = 1u << 1,
    kModeAutowrapOff = 1u << 2,
    kModeAttributes = 1u << 3,
    kModeMouseTracking = 1u << 4,
};

/// Records that `mode` is now on, on the terminal written through `fd`, so that the restore
/// undoes it. `onSequence` switches it on again when the program continues after a stop;
/// null for modes that last only for one write.
void TerminalModeOn(int fd, TerminalMode mode, const char* onSequence);

/// Records that `mode` is off again.
void TerminalModeOff(TerminalMode mode);

/// The sequence that switches `mode` off again.
const char* TerminalModeOffSequence(TerminalMode mode);

/// Puts the terminal back as it was found: termios, cursor, attributes, autowrap, mouse.
/// Idempotent and async-signal-safe; runs on every way out of the process.
void TerminalRestore();

/// Set by SIGCONT and SIGWINCH: where the terminal's cursor is (and its size) must be asked
/// again before the next output. Cleared by the caller that asks.
bool TerminalTakePositionLost();

/// Bytes read from the terminal while waiting for its answer to a query; input reads these
/// before anything new.
void TerminalKeepPendingInput(const std::string& bytes);
std::string TerminalTakePendingInput();

/// The Linux console, which has its own cursor-shape sequence.
bool TerminalIsLinuxConsole();

/// The terminal speaks UTF-8 (the locale's character set says so).
bool TerminalIsUtf8();

/// Whether a byte, sent as it is to a terminal that does not speak UTF-8, shows as a
/// character of the locale's character set and can act as no control: printable ASCII, and
/// the bytes above 159 that the set holds as printable characters on their own.
bool TerminalPrintsByte(uint8_t byte);

/// The byte the terminal's erase key sends (VERASE), as found at start.
uint8_t TerminalEraseByte();

/// After a child process ran on the terminal (handed over with TerminalRestore): puts the
/// program's own settings and modes back and makes its process group the foreground again.
void TerminalTakeBack();

/// Writes all bytes to a descriptor, retrying after signals; false (errno set) on failure.
bool WriteAll(int fd, const char* bytes, size_t count);

}  // namespace platform::posix
