#include "platform/posix/common/warm_up_posix.hpp"

namespace platform::posix {
namespace {

// Enough for fontconfig's set-up, the deepest work started this way.
constexpr size_t kStackBytes = 512 * 1024;

thread_local bool warmUpThread = false;

}  // namespace

bool StartSmallThread(pthread_t* thread, void* (*run)(void*), void* argument) {
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, kStackBytes);
    const bool started = pthread_create(thread, &attributes, run, argument) == 0;
    pthread_attr_destroy(&attributes);
    return started;
}

void WarmUp::Start() {
    pthread_mutex_lock(&lock_);
    if (state_ == State::kWaiting && StartSmallThread(&thread_, &WarmUp::Run, this)) {
        state_ = State::kRunning;
    }
    pthread_mutex_unlock(&lock_);
}

void WarmUp::Finish() {
    // Whoever comes first does or joins the work; the others wait here until it is done.
    pthread_mutex_lock(&lock_);
    if (state_ == State::kWaiting) work_();
    if (state_ == State::kRunning) pthread_join(thread_, nullptr);
    state_ = State::kDone;
    pthread_mutex_unlock(&lock_);
}

void WarmUp::Await() {
    pthread_mutex_lock(&lock_);
    if (state_ == State::kRunning) {
        pthread_join(thread_, nullptr);
        state_ = State::kDone;
    }
    pthread_mutex_unlock(&lock_);
}

WarmUp::~WarmUp() {
    if (state_ == State::kRunning) pthread_join(thread_, nullptr);
}

bool OnWarmUpThread() { return warmUpThread; }

void* WarmUp::Run(void* self) {
    warmUpThread = true;
    static_cast<WarmUp*>(self)->work_();
    return nullptr;
}

}  // namespace platform::posix
