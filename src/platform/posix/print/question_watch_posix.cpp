#include "platform/posix/print/question_watch_posix.hpp"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/common/warm_up_posix.hpp"
#include "platform/posix/print/server_wait_posix.hpp"

namespace platform::posix {
namespace {

using Clock = std::chrono::steady_clock;

// How often the watch looks at the time and at the terminal: often enough that Esc feels
// immediate, seldom enough to cost nothing.
constexpr int kTickMs = 50;

}  // namespace

QuestionWatch::QuestionWatch(Clock::time_point deadline) : deadline_(deadline) {
    if (pipe2(stop_, O_CLOEXEC) != 0) return;
    watching_ = StartSmallThread(&thread_, &QuestionWatch::Run, this);
}

QuestionWatch::~QuestionWatch() {
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

void QuestionWatch::Watch(int fd) {
    std::lock_guard guard(lock_);
    fd_ = fd;
}

void* QuestionWatch::Run(void* self) {
    // Signals are for the threads that wait for them (the terminal's), not for the watch.
    sigset_t all;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, nullptr);
    static_cast<QuestionWatch*>(self)->Loop();
    return nullptr;
}

void QuestionWatch::Loop() {
    pollfd stop{stop_[0], POLLIN, 0};
    for (;;) {
        const int ready = poll(&stop, 1, kTickMs);
        if (ready > 0 || (ready < 0 && errno != EINTR)) return;
        WaitTick();
        if (Clock::now() >= deadline_ || WaitStopped()) {
            // The question is over; so is every connection it goes over from now on.
            std::lock_guard guard(lock_);
            if (fd_ >= 0) shutdown(fd_, SHUT_RDWR);
        }
    }
}

}  // namespace platform::posix
