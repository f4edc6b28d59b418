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

namespace platform::posix {
namespace {

using Clock = std::chrono::steady_clock;

// How often the watch looks at what is still to be sent, and how long it leaves data that
// came in to the reader before it looks again (rather than spin while the data waits).
constexpr std::chrono::milliseconds kTick{50};

// The watch needs little stack; the default of several megabytes would count against a
// limit on the process's memory for nothing.
constexpr size_t kStackBytes = 64 * 1024;

// Bytes written to the socket that the peer has not taken yet.
int Unsent(int fd) {
    int bytes = 0;
    return ioctl(fd, SIOCOUTQ, &bytes) == 0 ? bytes : 0;
}

}  // namespace

SilenceWatch::SilenceWatch(int fd, std::chrono::milliseconds bound, std::function<void()> onSilence)
    : fd_(fd), bound_(bound), onSilence_(std::move(onSilence)) {
    if (pipe2(stop_, O_CLOEXEC) != 0) return;
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, kStackBytes);
    watching_ = pthread_create(&thread_, &attributes, &SilenceWatch::Run, this) == 0;
    pthread_attr_destroy(&attributes);
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
