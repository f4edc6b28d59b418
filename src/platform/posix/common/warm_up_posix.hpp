#pragma once
// Work that may run ahead on a thread of its own while the program waits for something else,
// and that is finished wherever its result is first needed. Starting it never fails: when
// no thread can be had (a limit on processes or on memory), the work runs on the thread
// that needs it, then.

#include <pthread.h>

#include <functional>

namespace platform::posix {

/// Starts `run(argument)` on a thread with a small stack (the default of several megabytes
/// would count against a limit on the process's memory for nothing); false when no thread
/// can be had.
bool StartSmallThread(pthread_t* thread, void* (*run)(void*), void* argument);

/// Whether the calling thread is one that runs work ahead (a WarmUp's), rather than the
/// program's own.
bool OnWarmUpThread();

class WarmUp {
  public:
    /// `work` must not throw; it runs once.
    explicit WarmUp(std::function<void()> work) : work_(std::move(work)) {}
    /// Waits for a thread that runs the work, so that nothing it uses goes before it is
    /// done; work that never started is left undone.
    ~WarmUp();
    WarmUp(const WarmUp&) = delete;
    WarmUp& operator=(const WarmUp&) = delete;

    /// Starts the work on a thread of its own, unless it has started already.
    void Start();
    /// Returns once the work is done, doing it here if no thread has started it.
    void Finish();
    /// Returns once work that a thread has started is done; work not started stays to do.
    void Await();

  private:
    enum class State { kWaiting, kRunning, kDone };
    static void* Run(void* self);

    std::function<void()> work_;
    pthread_mutex_t lock_ = PTHREAD_MUTEX_INITIALIZER;
    pthread_t thread_{};
    State state_ = State::kWaiting;
};

}  // namespace platform::posix
