#pragma once
// An answer of the print server used again for a moment. A question is a round trip of
// milliseconds, and some are asked many times in a row: a printer list asks for the whole
// list once for every printer on it.

#include <chrono>
#include <optional>

namespace platform::posix {

/// The last answer to one question and when it was asked.
template <typename Answer>
class RecentAnswer {
  public:
    using Clock = std::chrono::steady_clock;

    explicit RecentAnswer(Clock::duration keep) : keep_(keep) {}

    /// The answer asked for less than `keep` before `now`, else what `ask` answers now. A
    /// clock that went back counts as an old answer.
    template <typename Ask>
    const Answer& Get(Clock::time_point now, Ask ask) {
        if (!answer_ || now < asked_ || now - asked_ >= keep_) {
            answer_ = ask();
            asked_ = now;
        }
        return *answer_;
    }

  private:
    Clock::duration keep_;
    std::optional<Answer> answer_;
    Clock::time_point asked_{};
};

}  // namespace platform::posix
