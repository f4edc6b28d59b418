#include "platform/posix/terminal/input_posix.hpp"

#include <poll.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/posix/terminal/input_decoder_posix.hpp"
#include "platform/posix/terminal/terminal_posix.hpp"
#include "platform/process.hpp"

namespace platform::posix {
namespace {

constexpr const char* kMouseOn = "\x1b[?1000h\x1b[?1003h\x1b[?1006h";

struct TerminalInput {
    bool started = false;
    bool hungUp = false;
    bool mouseOn = false;
    InputDecoder decoder;
};

TerminalInput input;

Millis Now() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<Millis>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

void Start() {
    if (input.started) return;
    input.started = true;
    input.decoder = InputDecoder({TerminalIsUtf8(), TerminalEraseByte()});
    input.decoder.SetMouseReports(input.mouseOn);
    // Keys typed while start-up asked the terminal for its cursor come first.
    input.decoder.Feed(TerminalTakePendingInput(), Now());
}

// Reads what the terminal has sent, waiting at most `timeoutMs` for it (0: only what is
// there, -1: for ever). Marks the input as hung up when the terminal is gone. True when
// bytes were read.
bool ReadTerminal(int timeoutMs) {
    const int fd = TerminalInputFd();
    if (fd < 0) {
        input.hungUp = true;
        return false;
    }
    pollfd waiting{fd, POLLIN, 0};
    if (poll(&waiting, 1, timeoutMs) <= 0) return false;  // nothing yet, or a signal
    char bytes[512];
    const ssize_t count = read(fd, bytes, sizeof bytes);
    if (count > 0) {
        input.decoder.Feed({bytes, static_cast<size_t>(count)}, Now());
        return true;
    }
    if (count == 0 || (errno != EINTR && errno != EAGAIN)) input.hungUp = true;
    return false;
}

// Takes in everything already sent and decides what waited long enough.
void TakeInAvailable() {
    Start();
    while (!input.hungUp && ReadTerminal(0)) {
    }
    input.decoder.Expire(Now());
}

}  // namespace

bool InputFetch(InputRecord* records, uint32_t capacity, uint32_t* count, bool remove) {
    TakeInAvailable();
    auto& queue = input.decoder.Records();
    *count = static_cast<uint32_t>(std::min<size_t>(capacity, queue.size()));
    std::copy_n(queue.begin(), *count, records);
    if (remove) queue.erase(queue.begin(), queue.begin() + *count);
    if (*count == 0 && input.hungUp) {
        SetLastError(kErrorBrokenPipe);
        return false;
    }
    return true;
}

bool InputTakeKey(uint16_t scanCode) {
    TakeInAvailable();
    auto& queue = input.decoder.Records();
    const auto isKey = [scanCode](bool down) {
        return [scanCode, down](const InputRecord& record) {
            return record.kind == InputKind::kKey && record.key.keyDown == down &&
                   record.key.scanCode == scanCode;
        };
    };
    const auto press = std::find_if(queue.begin(), queue.end(), isKey(true));
    if (press == queue.end()) return false;
    const auto release = std::find_if(press + 1, queue.end(), isKey(false));
    if (release != queue.end()) queue.erase(release);
    queue.erase(press);
    return true;
}

WaitResult InputWait(uint32_t timeoutMs) {
    const Millis start = Now();
    for (;;) {
        TakeInAvailable();
        if (!input.decoder.Records().empty()) return WaitResult::kReady;
        if (input.hungUp) {
            SetLastError(kErrorBrokenPipe);
            return WaitResult::kFailed;
        }
        const Millis now = Now();
        Millis wait = -1;  // for ever
        if (timeoutMs != kInfinite) {
            wait = start + timeoutMs - now;
            if (wait <= 0) return WaitResult::kTimeout;
        }
        // Bytes of an unfinished sequence are decided when their time is up.
        if (const auto deadline = input.decoder.Deadline()) {
            const Millis untilDeadline = std::max<Millis>(*deadline - now, 0);
            wait = wait < 0 ? untilDeadline : std::min(wait, untilDeadline);
        }
        ReadTerminal(static_cast<int>(std::min<Millis>(wait, 1 << 30)));
    }
}

void InputSetMouseTracking(bool on) {
    const int fd = TerminalInputFd();
    if (fd < 0 || on == input.mouseOn) return;
    input.mouseOn = on;
    input.decoder.SetMouseReports(on);
    if (on) {
        WriteAll(fd, kMouseOn, std::strlen(kMouseOn));
        TerminalModeOn(fd, kModeMouseTracking, kMouseOn);
    } else {
        const char* off = TerminalModeOffSequence(kModeMouseTracking);
        WriteAll(fd, off, std::strlen(off));
        TerminalModeOff(kModeMouseTracking);
    }
}

}  // namespace platform::posix
