#include "platform/posix/print/silence_watch_posix.hpp"

#include <fcntl.h>
#include <linux/sockios.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/posix/common/warm_up_posix.hpp"

namespace platform::posix {
namespace {

using Clock = std::chrono::steady_clock;

// How often the watch looks at what is still to be sent, and how long it leaves data that
// came in to the reader before it looks again (rather than spin while the data waits).
constexpr std::chrono::milliseconds kTick{50};

// Bytes written to the socket that the peer has not taken yet.
int Unsent(int fd) {
    int bytes = 0;
    return ioctl(fd, SIOCOUTQ, &bytes) == 0 ? bytes : 0;
}

}  // namespace

SilenceWatch::SilenceWatch(int fd, std::chrono::milliseconds bound, std::function<void()> onSilence)
    : fd_(fd), bound_(bound), onSilence_(std::move(onSilence)) {
    if (pipe2(stop_, O_CLOEXEC) != 0) return;
    watching_ = StartSmallThread(&thread_, &SilenceWatch::Run, this);
}

SilenceWatch::~SilenceWatch() {
    if (watching_) {
        const char stop = 0;
        while (write(stop_[1], &stop, 1) < 0 && errno == EINTR) {
        }
        pthread_join(thread_, nullptr);
    }
    for (const int end : stop_) {
        if (end >= 0) close(end);
    }
}

void* SilenceWatch::Run(void* self) {
    // Signals are for the threads that wait for them (the terminal's), not for the watch.
    sigset_t all;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, nullptr);
    static_cast<SilenceWatch*>(self)->Watch();
    return nullptr;
}

void SilenceWatch::Watch() {
    Clock::time_point heard = Clock::now();
    int unsent = Unsent(fd_);
    pollfd watched[2] = {{fd_, POLLIN, 0}, {stop_[0], POLLIN, 0}};
    pollfd& stop = watched[1];
    for (;;) {
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(bound_ - (Clock::now() - heard));
        const int wait =
            static_cast<int>(std::clamp(left, std::chrono::milliseconds{0}, kTick).count());
        if (const int ready = poll(watched, 2, wait); ready < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (stop.revents != 0) return;
        if (watched[0].revents != 0) {
            // The server spoke, or hung up: either way it is not silent, and the reader will
            // see it. A descriptor closed under the watch leaves nothing to watch.
            if (watched[0].revents & POLLNVAL) return;
            heard = Clock::now();
            const int stopped = poll(&stop, 1, static_cast<int>(kTick.count()));
            if (stopped > 0 || (stopped < 0 && errno != EINTR)) return;
        }
        const Clock::time_point now = Clock::now();
        if (const int still = Unsent(fd_); still != unsent) {
            unsent = still;
            heard = now;
        }
        if (now - heard >= bound_) {
            onSilence_();
            shutdown(fd_, SHUT_RDWR);
            return;
        }
    }
}

}  // namespace platform::posix
