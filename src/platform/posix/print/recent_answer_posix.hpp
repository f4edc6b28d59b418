#pragma once
// An answer of the print server used again for a moment. A question is a round trip of
// milliseconds, and some are asked many times in a row: a printer list asks for the whole
// list once for every printer on it, an attach asks about its queue several times.

#include <chrono>
#include <optional>

namespace platform::posix {

/// The last answer to one question and when it came.
template <typename Answer>
class RecentAnswer {
  public:
    using Clock = std::chrono::steady_clock;

    explicit RecentAnswer(Clock::duration keep) : keep_(keep) {}

    /// The answer that came less than `keep` before now, else what `ask` answers now. `now`
    /// reads the clock; an answer counts from when it came, not from when it was asked, so
    /// that a slow answer is not old on arrival. A clock that went back counts as an old
    /// answer.
    template <typename Now, typename Ask>
    const Answer& Get(Now now, Ask ask) {
        const Clock::time_point asked = now();
        if (!answer_ || asked < came_ || asked - came_ >= keep_) {
            answer_ = ask();
            came_ = now();
        }
        return *answer_;
    }

  private:
    Clock::duration keep_;
    std::optional<Answer> answer_;
    Clock::time_point came_{};
};

}  // namespace platform::posix
