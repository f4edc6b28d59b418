#pragma once
// Reading a long answer from the local print server in one piece. libcups reads an answer
// into its buffer only while it reads the answer's header; past what the buffer holds, it
// reads the body straight from the socket, a field at a time. The server writes an answer's
// header and body separately, so a reader that wakes between the two reads a queue's whole
// description (some 25 KB) in 7,000 system calls, which cost milliseconds of processor time
// on most runs. Held until a good part of the answer is there, the first read takes the
// header and the body together, and libcups reads the rest from its buffer.
//
// Only on a local (Unix-domain) socket: there poll() reports any data, as libcups' waits
// before a read and the silence watch need; over TCP it would wait for the whole amount.
// And only where libcups has no time-out callback: a read held past its time limit fails
// with EAGAIN, which libcups retries by itself but would report to a callback as a wait
// that timed out.

#include <cups/cups.h>

#include <chrono>

namespace platform::posix {

class WholeAnswerReads {
  public:
    /// Until a read has this much, it waits for more...
    static constexpr int kLowWater = 16 * 1024;
    /// ...for at most this long, then takes what there is.
    static constexpr std::chrono::microseconds kHold{3000};

    /// Holds the reads of `http`'s connection when it is a local socket; null: does nothing.
    explicit WholeAnswerReads(http_t* http);
    /// Reads as before, on the same connection (libcups may have reconnected meanwhile).
    ~WholeAnswerReads();
    WholeAnswerReads(const WholeAnswerReads&) = delete;
    WholeAnswerReads& operator=(const WholeAnswerReads&) = delete;

    /// Whether the reads are held.
    bool Holding() const { return fd_ >= 0; }

  private:
    http_t* http_;
    int fd_ = -1;
};

/// The same for a socket itself: holds its reads (for `hold` at most) when it is a local
/// socket, true then.
bool HoldReads(int fd, std::chrono::microseconds hold = WholeAnswerReads::kHold);
/// Reads as soon as anything is there again, without a time limit.
void ReleaseReads(int fd);

}  // namespace platform::posix
