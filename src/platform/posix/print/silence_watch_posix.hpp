#pragma once
// A watch over one connection while a question to the print server is out. libcups bounds a
// wait by itself only at a price: with a time-out set, it polls the socket twice before
// each read, and it reads an answer's attributes a byte or two at a time, so that a queue's
// description of some 25 KB costs some 20,000 system calls instead of 7,000. The watch keeps
// the bound beside the reads instead: when the server neither sends anything nor takes any
// of what was sent for the bound, it shuts the connection down, which ends whatever wait
// libcups is in, and libcups' call fails as it would on a lost connection.

#include <pthread.h>

#include <chrono>
#include <functional>

namespace platform::posix {

class SilenceWatch {
  public:
    /// Starts watching `fd`; `onSilence` runs on the watch's own thread, before the shut-down.
    SilenceWatch(int fd, std::chrono::milliseconds bound, std::function<void()> onSilence);
    /// Stops watching.
    ~SilenceWatch();
    SilenceWatch(const SilenceWatch&) = delete;
    SilenceWatch& operator=(const SilenceWatch&) = delete;

    /// False when no thread or pipe could be had (a limit on processes, files or memory):
    /// the caller bounds the wait some other way.
    bool Watching() const { return watching_; }

  private:
    static void* Run(void* self);
    void Watch();

    int fd_;
    std::chrono::milliseconds bound_;
    std::function<void()> onSilence_;
    int stop_[2] = {-1, -1};
    pthread_t thread_{};
    bool watching_ = false;
};

}  // namespace platform::posix
