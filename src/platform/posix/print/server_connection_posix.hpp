#pragma once
// Connections to the print server that never wait long: a server that does not answer is
// given a few seconds, then taken for one that is not there, and the program goes on with
// its own "PDF file" destination. Once a server has been silent, no later call of the run
// waits for it again.

#include <cups/cups.h>

#include <chrono>
#include <string>

#include "platform/posix/print/silence_watch_posix.hpp"
#include "platform/posix/print/whole_answer_reads_posix.hpp"

namespace platform::posix {

/// One connection to the print server, for the questions of one call. Closed when it goes.
class ServerConnection {
  public:
    ServerConnection();
    ~ServerConnection();
    ServerConnection(const ServerConnection&) = delete;
    ServerConnection& operator=(const ServerConnection&) = delete;

    /// The connection for libcups; null when there is no server to ask: none listens (no
    /// print server is set up), or it did not answer in time, now or earlier in the run.
    http_t* Http() const { return http_; }

    /// How long the answer to a question is: a long one (many kilobytes, a queue's whole
    /// description) is read in one piece where it can be (whole_answer_reads_posix.hpp).
    enum class Answer { kShort, kLong };

    /// Asks `question(Http())` while the server's silence is watched: a server that keeps
    /// silent for the bound is taken for one that does not answer, and libcups' call fails.
    /// Every call that talks to the server goes through here; only with a connection.
    template <typename Question>
    decltype(auto) Ask(Question&& question, Answer answer = Answer::kShort) {
        const SilenceWatch watch(httpGetFd(http_), kSilence, [this] { HeardNothing(); });
        // Without a watch, libcups bounds its waits itself, at the price of its polls, and
        // takes any read that comes back empty-handed for the end of the wait.
        if (!watch.Watching()) BoundWaitsInLibcups();
        const WholeAnswerReads reads(watch.Watching() && answer == Answer::kLong ? http_ : nullptr);
        return question(http_);
    }

  private:
    // How long the server may keep silent, to connect or to answer, before it counts as not
    // answering: a local server answers in milliseconds, a distant one well within this.
    static constexpr std::chrono::seconds kSilence{4};

    void HeardNothing();
    void BoundWaitsInLibcups();
    static int StopWaiting(http_t* http, void* self);

    std::string server_;
    http_t* http_ = nullptr;
};

/// The print server (as libcups names it: a host and port, or a socket) when it did not
/// answer in time during this run; empty when it answered or was never asked.
std::string SilentServer();

}  // namespace platform::posix
