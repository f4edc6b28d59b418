#include "platform/posix/print/whole_answer_reads_posix.hpp"

#include <sys/socket.h>
#include <sys/time.h>

namespace platform::posix {

bool HoldReads(int fd, std::chrono::microseconds hold) {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (fd < 0 || getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0 ||
        address.ss_family != AF_UNIX) {
        return false;
    }
    const int lowWater = WholeAnswerReads::kLowWater;
    const auto seconds = std::chrono::floor<std::chrono::seconds>(hold);
    const timeval limit{.tv_sec = static_cast<time_t>(seconds.count()),
                        .tv_usec = static_cast<suseconds_t>((hold - seconds).count())};
    if (setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit) != 0) return false;
    if (setsockopt(fd, SOL_SOCKET, SO_RCVLOWAT, &lowWater, sizeof lowWater) != 0) {
        ReleaseReads(fd);
        return false;
    }
    return true;
}

void ReleaseReads(int fd) {
    const int one = 1;
    const timeval forever{};
    setsockopt(fd, SOL_SOCKET, SO_RCVLOWAT, &one, sizeof one);
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &forever, sizeof forever);
}

WholeAnswerReads::WholeAnswerReads(http_t* http) : http_(http) {
    if (http_ == nullptr) return;
    if (const int fd = httpGetFd(http_); HoldReads(fd)) fd_ = fd;
}

WholeAnswerReads::~WholeAnswerReads() {
    // A connection libcups opened anew has its socket's own settings already.
    if (Holding() && httpGetFd(http_) == fd_) ReleaseReads(fd_);
}

}  // namespace platform::posix
