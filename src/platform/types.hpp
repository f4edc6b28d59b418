#pragma once
// Plain types shared by every platform area. Failure is reported the Win32 way throughout
// the platform layer: a call returns false (or a null/invalid handle) and leaves a Win32
// error code for GetLastError in the calling thread.

#include <cstdint>

namespace platform {

/// An operating-system object: a file, the console, a search, a process. Opaque to the
/// logic; 0 is no handle and kInvalidHandle is the failed result of CreateFile.
using Handle = std::uintptr_t;
inline constexpr Handle kNullHandle = 0;
inline constexpr Handle kInvalidHandle = ~Handle{0};

/// What a wait on an object ended with.
enum class WaitResult { kReady, kTimeout, kFailed };
/// A timeout that never passes.
inline constexpr uint32_t kInfinite = 0xFFFFFFFF;

/// Win32 error codes that the logic tests for or that backends report.
enum ErrorCode : uint32_t {
    kErrorSuccess = 0,
    kErrorInvalidFunction = 1,
    kErrorFileNotFound = 2,
    kErrorPathNotFound = 3,
    kErrorTooManyOpenFiles = 4,
    kErrorAccessDenied = 5,
    kErrorInvalidHandle = 6,
    kErrorNotEnoughMemory = 8,
    kErrorInvalidData = 13,
    kErrorOutOfMemory = 14,
    kErrorNotSameDevice = 17,
    kErrorNoMoreFiles = 18,
    kErrorWriteProtect = 19,
    kErrorNotReady = 21,
    kErrorGenFailure = 31,
    kErrorSharingViolation = 32,
    kErrorLockViolation = 33,
    kErrorHandleEof = 38,
    kErrorHandleDiskFull = 39,
    kErrorNotSupported = 50,
    kErrorFileExists = 80,
    kErrorEnvvarNotFound = 203,
    kErrorInvalidParameter = 87,
    kErrorBrokenPipe = 109,
    kErrorDiskFull = 112,
    kErrorCallNotImplemented = 120,
    kErrorInsufficientBuffer = 122,
    kErrorInvalidName = 123,
    kErrorDirNotEmpty = 145,
    kErrorBusy = 170,
    kErrorAlreadyExists = 183,
    kErrorBadExeFormat = 193,
    kErrorFilenameExcedRange = 206,
    kErrorNoData = 232,
    kErrorStillActive = 259,
    kErrorDirectory = 267,
    kErrorOperationAborted = 995,
    kErrorNoSystemResources = 1450,
    kErrorTimeout = 1460,
    kErrorInvalidPrinterName = 1801,
};

}  // namespace platform
