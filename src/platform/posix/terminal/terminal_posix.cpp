#include "platform/posix/terminal/terminal_posix.hpp"

#include <fcntl.h>
#include <langinfo.h>
#include <termios.h>
#include <unistd.h>

#include <bitset>
#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <exception>

namespace platform::posix {
namespace {

constexpr TerminalMode kAllModes[] = {kModeMouseTracking, kModeAttributes, kModeAutowrapOff,
                                      kModeCursorShape, kModeCursorHidden};
constexpr size_t kModeCount = sizeof kAllModes / sizeof kAllModes[0];

// Everything the signal handlers read is a plain word or a fixed buffer: they run at any
// moment and may only make async-signal-safe calls.
int ttyFd = -1;
struct termios savedTermios;
struct termios rawTermios;
volatile sig_atomic_t rawWanted = 0;
volatile sig_atomic_t rawActive = 0;
volatile sig_atomic_t outputFd = -1;
volatile sig_atomic_t activeModes = 0;
volatile sig_atomic_t positionLost = 0;
volatile sig_atomic_t continued = 0;
char onSequences[kModeCount][48];
bool linuxConsole = false;
bool handlersInstalled = false;
std::string pendingInput;

size_t ModeIndex(TerminalMode mode) {
    for (size_t i = 0; i < kModeCount; ++i) {
        if (kAllModes[i] == mode) return i;
    }
    return 0;
}

// tcsetattr from a background process group would stop the process with SIGTTOU; the
// terminal must be handed back all the same.
void SetTermios(const struct termios& settings) {
    struct sigaction ignore {};
    struct sigaction previous {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGTTOU, &ignore, &previous);
    tcsetattr(ttyFd, TCSANOW, &settings);
    sigaction(SIGTTOU, &previous, nullptr);
}

void EnterRawMode() {
    SetTermios(rawTermios);
    rawActive = 1;
}

// After a stop the shell may have changed the terminal: the program's modes go back on and
// the cursor position is asked again.
void Reenter() {
    if (rawWanted && ttyFd >= 0) EnterRawMode();
    const int fd = outputFd;
    for (size_t i = 0; i < kModeCount; ++i) {
        if (onSequences[i][0] != '\0' && fd >= 0) {
            WriteAll(fd, onSequences[i], std::strlen(onSequences[i]));
            activeModes = activeModes | kAllModes[i];
        }
    }
    positionLost = 1;
}

void Install(int signal, void (*handler)(int), int flags) {
    struct sigaction action {};
    action.sa_handler = handler;
    action.sa_flags = flags;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
}

void OnTerminatingSignal(int signal) {
    const int savedErrno = errno;
    TerminalRestore();
    raise(signal);  // the default action now runs, so the exit status stays true
    errno = savedErrno;
}

void OnContinue(int);

void OnStop(int) {
    const int savedErrno = errno;
    TerminalRestore();
    continued = 0;
    Install(SIGTSTP, SIG_DFL, 0);
    raise(SIGTSTP);  // stops here until SIGCONT, whose handler runs before this returns
    Install(SIGTSTP, OnStop, SA_NODEFER);
    // The kernel discards the stop when the process group is orphaned (the program is the
    // terminal's own command: xterm -e, ssh -t, a tmux pane started on it): no SIGCONT will
    // come, and the program goes on, so it takes the terminal back itself.
    if (!continued) Reenter();
    errno = savedErrno;
}

void OnContinue(int) {
    const int savedErrno = errno;
    continued = 1;
    Reenter();
    errno = savedErrno;
}

void OnResize(int) { positionLost = 1; }

void InstallHandlers() {
    if (handlersInstalled) return;
    handlersInstalled = true;
    // Signals that end the process: the terminal is handed back first. A signal the
    // process was started with ignored (nohup) stays ignored.
    for (int signal : {SIGTERM, SIGHUP, SIGQUIT, SIGINT}) {
        struct sigaction current {};
        sigaction(signal, nullptr, &current);
        if (current.sa_handler != SIG_IGN) {
            Install(signal, OnTerminatingSignal, SA_RESETHAND | SA_NODEFER);
        }
    }
    for (int signal : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT}) {
        Install(signal, OnTerminatingSignal, SA_RESETHAND | SA_NODEFER);
    }
    Install(SIGTSTP, OnStop, SA_NODEFER);
    Install(SIGCONT, OnContinue, SA_RESTART);
    Install(SIGWINCH, OnResize, SA_RESTART);
    std::set_terminate([] {
        TerminalRestore();
        std::abort();
    });
}

}  // namespace

int TerminalOpenInput() {
    if (ttyFd >= 0) return ttyFd;
    const int fd = open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return -1;
    if (tcgetattr(fd, &savedTermios) != 0) {
        const int savedErrno = errno;
        close(fd);
        errno = savedErrno;
        return -1;
    }
    ttyFd = fd;
    const char* term = std::getenv("TERM");
    linuxConsole = term != nullptr && std::strcmp(term, "linux") == 0;

    rawTermios = savedTermios;
    rawTermios.c_lflag &= ~(ICANON | ECHO | ISIG | IEXTEN);
    rawTermios.c_iflag &= ~(IXON | ICRNL);
    rawTermios.c_cc[VMIN] = 1;
    rawTermios.c_cc[VTIME] = 0;
    InstallHandlers();
    rawWanted = 1;
    EnterRawMode();
    return ttyFd;
}

int TerminalInputFd() { return ttyFd; }

void TerminalModeOn(int fd, TerminalMode mode, const char* onSequence) {
    InstallHandlers();
    outputFd = fd;
    const size_t index = ModeIndex(mode);
    onSequences[index][0] = '\0';
    if (onSequence != nullptr) {
        std::strncat(onSequences[index], onSequence, sizeof onSequences[index] - 1);
    }
    activeModes = activeModes | mode;
}

void TerminalModeOff(TerminalMode mode) {
    onSequences[ModeIndex(mode)][0] = '\0';
    activeModes = activeModes & ~mode;
}

const char* TerminalModeOffSequence(TerminalMode mode) {
    switch (mode) {
        case kModeCursorHidden:
            return "\x1b[?25h";
        case kModeCursorShape:
            return linuxConsole ? "\x1b[?0c" : "\x1b[0 q";
        case kModeAutowrapOff:
            return "\x1b[?7h";
        case kModeAttributes:
            return "\x1b[0m";
        case kModeMouseTracking:
            return "\x1b[?1006l\x1b[?1003l\x1b[?1000l";
    }
    return "";
}

void TerminalRestore() {
    const int fd = outputFd >= 0 ? static_cast<int>(outputFd) : ttyFd;
    const unsigned modes = static_cast<unsigned>(activeModes);
    activeModes = 0;
    if (fd >= 0) {
        for (TerminalMode mode : kAllModes) {
            if (modes & mode) {
                const char* sequence = TerminalModeOffSequence(mode);
                WriteAll(fd, sequence, std::strlen(sequence));
            }
        }
    }
    if (rawActive && ttyFd >= 0) {
        SetTermios(savedTermios);
        rawActive = 0;
    }
}

bool TerminalTakePositionLost() {
    if (!positionLost) return false;
    positionLost = 0;
    return true;
}

void TerminalKeepPendingInput(const std::string& bytes) { pendingInput += bytes; }

std::string TerminalTakePendingInput() {
    std::string bytes;
    bytes.swap(pendingInput);
    return bytes;
}

bool TerminalIsLinuxConsole() { return linuxConsole; }

namespace {

// What the user's locale says of the terminal's character set: whether it is UTF-8, and
// otherwise which bytes above 159 stand for printable characters in it.
struct Charset {
    bool utf8 = false;
    std::bitset<256> printable;
};

const Charset& TerminalCharset() {
    static const Charset charset = [] {
        Charset read;
        const std::string previous = std::setlocale(LC_CTYPE, nullptr);
        std::setlocale(LC_CTYPE, "");
        read.utf8 = std::strcmp(nl_langinfo(CODESET), "UTF-8") == 0;
        for (int byte = 160; byte < 256; ++byte) {
            const wint_t wide = btowc(byte);
            read.printable[static_cast<size_t>(byte)] = wide != WEOF && iswprint(wide);
        }
        std::setlocale(LC_CTYPE, previous.c_str());
        return read;
    }();
    return charset;
}

}  // namespace

bool TerminalIsUtf8() { return TerminalCharset().utf8; }

bool TerminalPrintsByte(uint8_t byte) {
    // 128..159 are the 8-bit controls (CSI, OSC, DCS, ...) to a terminal in any 8-bit
    // character set, and the lead bytes of a multibyte set are no characters on their own.
    if (byte < 128) return byte >= 32 && byte != 127;
    return TerminalCharset().printable[byte];
}

uint8_t TerminalEraseByte() { return ttyFd >= 0 ? savedTermios.c_cc[VERASE] : 127; }

void TerminalTakeBack() {
    if (ttyFd >= 0) {
        // A child that made its own process group may have left it in the foreground.
        struct sigaction ignore {};
        struct sigaction previous {};
        ignore.sa_handler = SIG_IGN;
        sigaction(SIGTTOU, &ignore, &previous);
        tcsetpgrp(ttyFd, getpgrp());
        sigaction(SIGTTOU, &previous, nullptr);
    }
    Reenter();
}

bool WriteAll(int fd, const char* bytes, size_t count) {
    while (count > 0) {
        const ssize_t written = write(fd, bytes, count);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes += written;
        count -= static_cast<size_t>(written);
    }
    return true;
}

}  // namespace platform::posix
