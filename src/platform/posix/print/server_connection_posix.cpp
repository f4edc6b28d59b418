#include "platform/posix/print/server_connection_posix.hpp"

#include <sys/socket.h>

#include <cerrno>
#include <mutex>
#include <new>
#include <utility>
#include <vector>

#include "platform/posix/print/server_wait_posix.hpp"

namespace platform::posix {
namespace {

using Clock = std::chrono::steady_clock;

// How long one try to connect waits before the program looks at the time and the terminal.
constexpr int kConnectTryMs = 250;

// The servers given up, in the order they were; a run asks one server.
std::mutex troubleLock;
std::vector<std::pair<std::string, PrintServerTrouble>> givenUp;

}  // namespace

PrintServerTrouble TroubleWithServer(std::string* server) {
    std::lock_guard guard(troubleLock);
    if (givenUp.empty()) {
        if (server != nullptr) server->clear();
        return PrintServerTrouble::kNone;
    }
    if (server != nullptr) *server = givenUp.front().first;
    return givenUp.front().second;
}

PrintServerTrouble TroubleWith(const std::string& server) {
    std::lock_guard guard(troubleLock);
    for (const auto& [name, trouble] : givenUp) {
        if (name == server) return trouble;
    }
    return PrintServerTrouble::kNone;
}

// Runs on question threads, where nothing may throw: without the memory to note it, the
// trouble goes unnoted and the next question finds it again.
void NoteTrouble(const std::string& server, PrintServerTrouble noted) {
    std::lock_guard guard(troubleLock);
    if (noted == PrintServerTrouble::kNone) return;
    for (const auto& given : givenUp) {
        if (given.first == server) return;
    }
    try {
        givenUp.emplace_back(server, noted);
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
