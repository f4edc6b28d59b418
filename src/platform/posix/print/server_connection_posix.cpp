#include "platform/posix/print/server_connection_posix.hpp"

#include <sys/socket.h>

#include <cerrno>
#include <mutex>
#include <new>

#include "platform/posix/print/server_wait_posix.hpp"

namespace platform::posix {
namespace {

using Clock = std::chrono::steady_clock;

// How long one try to connect waits before the program looks at the time and the terminal.
constexpr int kConnectTryMs = 250;

std::mutex troubleLock;
ServerTrouble trouble = ServerTrouble::kNone;
std::string troubledServer;

}  // namespace

ServerTrouble TroubleWithServer(std::string* server) {
    std::lock_guard guard(troubleLock);
    if (server != nullptr) *server = troubledServer;
    return trouble;
}

// Runs on question threads and watches, where nothing may throw: without the memory for the
// name the server goes unnamed, but the trouble still counts.
void NoteTrouble(const std::string& server, ServerTrouble noted) {
    std::lock_guard guard(troubleLock);
    if (trouble != ServerTrouble::kNone || noted == ServerTrouble::kNone) return;
    trouble = noted;
    try {
        troubledServer = server;
    } catch (const std::bad_alloc&) {
    }
}

ServerConnection::ServerConnection() : server_(cupsServer()) {}

ServerConnection::~ServerConnection() {
    if (http_ != nullptr) httpClose(http_);
}

ServerConnection::Opened ServerConnection::Open(Clock::time_point deadline) {
    if (http_ == nullptr) {
        // Made without connecting: the server's addresses are looked up once, here.
        http_ = httpConnect2(server_.c_str(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, 0,
                             nullptr);
        if (http_ == nullptr) return Opened::kNoServer;
    }
    for (;;) {
        if (httpReconnect2(http_, kConnectTryMs, nullptr) == 0) return Opened::kConnected;
        // A refused connection is a machine without a print server; only a server that is
        // slow to take the connection is waited for.
        if (httpError(http_) != ETIMEDOUT) return Opened::kNoServer;
        WaitTick();
        if (Clock::now() >= deadline || WaitStopped()) return Opened::kTimedOut;
    }
}

bool ServerConnection::IsOpen() const { return http_ != nullptr && httpGetFd(http_) >= 0; }

}  // namespace platform::posix
