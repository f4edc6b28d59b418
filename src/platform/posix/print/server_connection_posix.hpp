#pragma once
// Connections to the print server, and what the run has learnt of the server. A server that
// did not answer a question within its bound, gave no usable answer, or wants a password the
// system does not hold is asked nothing more in the run: its queues are missing from the
// lists and the program prints to its own "PDF file" destination instead.

#include <cups/cups.h>

#include <chrono>
#include <string>

#include "platform/print.hpp"

namespace platform::posix {

/// The trouble the run has had with a print server, and that server's name as libcups gives
/// it (a host and port, or a socket); kNone when every server asked has answered.
PrintServerTrouble TroubleWithServer(std::string* server = nullptr);

/// The trouble the run has had with the print server `server`.
PrintServerTrouble TroubleWith(const std::string& server);

/// Notes the trouble a question to `server` had; the first one noted for it stays.
void NoteTrouble(const std::string& server, PrintServerTrouble trouble);

/// A connection to the print server for the questions of one call; closed when it goes.
class ServerConnection {
  public:
    /// Makes no connection yet.
    ServerConnection();
    ~ServerConnection();
    ServerConnection(const ServerConnection&) = delete;
    ServerConnection& operator=(const ServerConnection&) = delete;

    enum class Opened { kConnected, kNoServer, kTimedOut };
    /// Connects, or connects anew (closing the connection it had), trying until `deadline` while
    /// the server is slow to take the connection. kNoServer when nothing listens there (a
    /// machine without a print server, which is no fault).
    Opened Open(std::chrono::steady_clock::time_point deadline);
    /// Whether the connection is open.
    bool IsOpen() const;

    /// The connection for libcups; null until it is opened.
    http_t* Http() const { return http_; }
    const std::string& Server() const { return server_; }

  private:
    std::string server_;
    http_t* http_ = nullptr;
};

}  // namespace platform::posix
