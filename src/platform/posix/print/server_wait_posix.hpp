#pragma once
// Waiting for the print server in front of the user. A busy server, or one just starting,
// may take a while to answer; the program waits for it as lp does, but a question the server
// has not answered after a few seconds is named on the terminal, and Esc there stops the
// wait for every question out. Only the program's own thread uses the terminal: the watches
// of the questions out act for it while it waits, and only then.

#include <chrono>
#include <string>

namespace platform::posix {

/// A question to `server` is out while the object lives.
class PendingQuestion {
  public:
    explicit PendingQuestion(const std::string& server);
    ~PendingQuestion();
    PendingQuestion(const PendingQuestion&) = delete;
    PendingQuestion& operator=(const PendingQuestion&) = delete;
};

/// The program's own thread waits for the server while the object lives (made on any other
/// thread, it does nothing): meanwhile the wait may be named on the terminal and stopped there.
class ProgramWaits {
  public:
    ProgramWaits();
    ~ProgramWaits();
    ProgramWaits(const ProgramWaits&) = delete;
    ProgramWaits& operator=(const ProgramWaits&) = delete;

  private:
    bool counted_;
};

/// Done every few milliseconds by whatever waits for the server: while the program waits,
/// names a wait that has lasted `kWaitNamedAfter` (once until the server has answered
/// everything), and looks for Esc on the terminal.
void WaitTick();

/// The user pressed Esc: no question of this run waits for the server any more.
bool WaitStopped();

/// How long a question goes unanswered before the wait is named.
inline constexpr std::chrono::seconds kWaitNamedAfter{4};

}  // namespace platform::posix
