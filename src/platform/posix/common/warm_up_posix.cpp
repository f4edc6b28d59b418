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
        if (pthread_create(&thread_, &attributes, &WarmUp::Run, this) == 0) {
            state_ = State::kRunning;
        }
        pthread_attr_destroy(&attributes);
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

WarmUp::~WarmUp() {
    if (state_ == State::kRunning) pthread_join(thread_, nullptr);
}

void* WarmUp::Run(void* self) {
    static_cast<WarmUp*>(self)->work_();
    return nullptr;
}

}  // namespace platform::posix
