#include "runtime/errors.hpp"

#include "platform/process.hpp"

namespace {

// Errors raised while no procedure has opened a frame are dropped: nobody could read them.
thread_local RtErrorFrame* innermostFrame = nullptr;

// Win32 codes 0..39 map through this table; code 0 means success and is never looked up.
constexpr uint8_t kLowCodeMap[40] = {
    0,   75, 53, 76, 67, 70, 51, 241, 7,  241,  // 0..9
    241, 51, 51, 51, 7,  68, 75, 74,  53, 70,   // 10..19
    68,  71, 51, 72, 51, 72, 72, 72,  72, 72,   // 20..29
    72,  72, 70, 70, 72, 72, 70, 75,  62, 61,   // 30..39
};

}  // namespace

RtErrorFrame::RtErrorFrame() noexcept : outer_(innermostFrame) { innermostFrame = this; }

RtErrorFrame::~RtErrorFrame() { innermostFrame = outer_; }

void RtRaiseError(uint8_t number) {
    if (number == 0) number = kRtErrInternal;
    if (innermostFrame != nullptr) innermostFrame->number_ = number;
    if (number >= kRtErrFirstFatal) platform::ExitProcess(255);
}

int32_t RtErrorNumber() { return innermostFrame != nullptr ? innermostFrame->number_ : 0; }

uint8_t RtOsErrorMap(uint32_t osError) {
    if (osError < 40) return kLowCodeMap[osError];
    if (osError == 87) return kRtErrInvalidArgument;  // ERROR_INVALID_PARAMETER
    if (osError == 112) return kRtErrDiskFull;        // ERROR_DISK_FULL
    return kRtErrPathFileAccess;
}
