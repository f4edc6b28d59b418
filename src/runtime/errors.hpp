#pragma once
// Runtime errors: every failing runtime operation records an error number for the procedure
// that called it and returns its default result; nothing is displayed.

#include <cstdint>

/// Runtime error numbers that this system raises directly.
enum RtErrorCode : uint8_t {
    kRtErrInvalidArgument = 5,
    kRtErrOutOfMemory = 7,
    kRtErrInternal = 51,  // also what raising 0 records
    kRtErrBadFileNumber = 52,
    kRtErrFileNotFound = 53,
    kRtErrBadFileMode = 54,
    kRtErrFileAlreadyOpen = 55,
    kRtErrDeviceIo = 57,
    kRtErrDiskFull = 61,
    kRtErrInputPastEnd = 62,
    kRtErrBadFileName = 64,
    kRtErrTooManyFiles = 67,
    kRtErrDeviceUnavailable = 68,
    kRtErrPermissionDenied = 70,
    kRtErrPathFileAccess = 75,
    kRtErrPathNotFound = 76,
    kRtErrFirstFatal = 241,
};

/// The error state of one procedure activation. AppMain and EXIST each open one; every
/// runtime operation called while it is the innermost frame records its errors there, and
/// the frame's number is gone when the procedure returns. Frames nest per thread.
class RtErrorFrame {
  public:
    RtErrorFrame() noexcept;
    ~RtErrorFrame();
    RtErrorFrame(const RtErrorFrame&) = delete;
    RtErrorFrame& operator=(const RtErrorFrame&) = delete;

  private:
    friend void RtRaiseError(uint8_t number);
    friend int32_t RtErrorNumber();
    uint8_t number_ = 0;
    RtErrorFrame* outer_;
};

/// Records `number` (0 becomes 51) in the innermost frame, replacing an earlier number.
/// Numbers 241 and above end the process at once with exit code 255.
void RtRaiseError(uint8_t number);

/// The number recorded in the innermost frame; 0 when nothing failed.
int32_t RtErrorNumber();

/// Maps a Win32 error code to a runtime error number.
uint8_t RtOsErrorMap(uint32_t osError);
