#include "platform/posix/common/warm_up_posix.hpp"

namespace platform::posix {
namespace {

// The work needs little stack; the default of several megabytes would count against a
// limit on the process's memory for nothing.
constexpr size_t kStackBytes = 512 * 1024;

}  // namespace

void WarmUp::Start() {
    pthread_mutex_lock(&lock_);
    if (state_ == State::kWaiting) {
        pthread_attr_t attributes;
        pthread_attr_init(&attributes);
        pthread_attr_setstacksize(&attributes, kStackBytes);
        pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
        pthread_t thread;
        if (pthread_create(&thread, &attributes, &WarmUp::Run, this) == 0) {
            state_ = State::kRunning;
        }
        pthread_attr_destroy(&attributes);
    }
    pthread_mutex_unlock(&lock_);
}

void WarmUp::Finish() {
    pthread_mutex_lock(&lock_);
    if (state_ == State::kWaiting) {
        state_ = State::kRunning;
        pthread_mutex_unlock(&lock_);
        Complete();
        return;
    }
    while (state_ != State::kDone)
        pthread_cond_wait(&done_, &lock_);
    pthread_mutex_unlock(&lock_);
}

void* WarmUp::Run(void* self) {
    static_cast<WarmUp*>(self)->Complete();
    return nullptr;
}

void WarmUp::Complete() {
    work_();
    pthread_mutex_lock(&lock_);
    state_ = State::kDone;
    pthread_cond_broadcast(&done_);
    pthread_mutex_unlock(&lock_);
}

}  // namespace platform::posix
