#include "platform/posix/print/server_connection_posix.hpp"

#include <sys/socket.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <new>

namespace platform::posix {
namespace {

std::atomic<bool> silent{false};
std::mutex silentLock;
std::string silentServer;

// Runs on the silence watch's thread and in libcups' callback, where nothing may throw:
// without the memory for the name, the server goes unnamed but still counts as silent.
void NoteSilent(const std::string& server) noexcept {
    std::lock_guard guard(silentLock);
    if (silent.exchange(true)) return;
    try {
        silentServer = server;
    } catch (const std::bad_alloc&) {
    }
}

}  // namespace

ServerConnection::ServerConnection() {
    if (silent) return;
    server_ = cupsServer();
    const auto start = std::chrono::steady_clock::now();
    http_ = httpConnect2(server_.c_str(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                         std::chrono::milliseconds(kSilence).count(), nullptr);
    if (http_ == nullptr) {
        // A refused connection is a machine without a print server, and no fault; one that
        // never came about is a server that does not answer.
        if (std::chrono::steady_clock::now() - start >= kSilence) NoteSilent(server_);
    }
}

ServerConnection::~ServerConnection() {
    if (http_ != nullptr) httpClose(http_);
}

void ServerConnection::HeardNothing() { NoteSilent(server_); }

void ServerConnection::BoundWaitsInLibcups() {
    httpSetTimeout(http_, kSilence.count(), &ServerConnection::StopWaiting, this);
}

int ServerConnection::StopWaiting(http_t*, void* self) {
    NoteSilent(static_cast<ServerConnection*>(self)->server_);
    return 0;  // libcups gives the request up
}

std::string SilentServer() {
    std::lock_guard guard(silentLock);
    return silentServer;
}

}  // namespace platform::posix
