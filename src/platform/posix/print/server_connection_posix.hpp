#pragma once
// Connections to the print server that never wait long: a server that does not answer is
// given a few seconds, then taken for one that is not there, and the program goes on with
// its own "PDF file" destination. Once a server has been silent, no later call of the run
// waits for it again.

#include <cups/cups.h>

#include <string>

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

  private:
    static int StopWaiting(http_t* http, void* self);

    std::string server_;
    http_t* http_ = nullptr;
};

/// The print server (as libcups names it: a host and port, or a socket) when it did not
/// answer in time during this run; empty when it answered or was never asked.
std::string SilentServer();

}  // namespace platform::posix
