#include "platform/posix/print/server_wait_posix.hpp"

#include <atomic>
#include <mutex>

#include "platform/posix/common/warm_up_posix.hpp"
#include "platform/posix/terminal/input_posix.hpp"
#include "platform/posix/terminal/screen_posix.hpp"
#include "platform/posix/terminal/terminal_posix.hpp"

namespace platform::posix {
namespace {

using Clock = std::chrono::steady_clock;

constexpr uint16_t kScanEsc = 1;

struct Waiting {
    std::mutex lock;
    int questions = 0;
    // The first question of the questions out, and whether their wait has been named.
    Clock::time_point since;
    std::string server;
    bool named = false;
    int programWaits = 0;
    std::atomic<bool> stopped{false};
};

Waiting& State() {
    // Never destroyed: watches may still look at it while the process ends.
    static Waiting* waiting = new Waiting;
    return *waiting;
}

void Name(const std::string& server) {
    const int terminal = TerminalInputFd();
    if (terminal < 0) return;
    const std::string line =
        " ....The print server " + server + " has not answered yet; press Esc to stop waiting.\r\n";
    ScreenWriteProcessed(terminal, line);
}

}  // namespace

PendingQuestion::PendingQuestion(const std::string& server) {
    Waiting& waiting = State();
    std::lock_guard guard(waiting.lock);
    if (waiting.questions++ == 0) {
        waiting.since = Clock::now();
        waiting.server = server;
        waiting.named = false;
    }
}

PendingQuestion::~PendingQuestion() {
    Waiting& waiting = State();
    std::lock_guard guard(waiting.lock);
    --waiting.questions;
}

ProgramWaits::ProgramWaits() : counted_(!OnWarmUpThread()) {
    if (!counted_) return;
    Waiting& waiting = State();
    std::lock_guard guard(waiting.lock);
    ++waiting.programWaits;
}

ProgramWaits::~ProgramWaits() {
    if (!counted_) return;
    Waiting& waiting = State();
    std::lock_guard guard(waiting.lock);
    --waiting.programWaits;
}

void WaitTick() {
    Waiting& waiting = State();
    // The lock also hands the terminal from the program's thread to whichever thread ticks.
    std::lock_guard guard(waiting.lock);
    if (waiting.programWaits == 0 || waiting.questions == 0 || waiting.stopped) return;
    if (!waiting.named) {
        if (Clock::now() - waiting.since < kWaitNamedAfter) return;
        waiting.named = true;
        Name(waiting.server);
    }
    if (InputTakeKey(kScanEsc)) waiting.stopped = true;
}

bool WaitStopped() { return State().stopped; }

}  // namespace platform::posix
