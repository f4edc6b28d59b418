#include "platform/posix/common/errno_map_posix.hpp"

#include <cerrno>

#include "platform/process.hpp"
#include "platform/types.hpp"

namespace platform::posix {

uint32_t Win32ErrorFromErrno(int errnoValue) {
    struct Row {
        int errnoValue;
        uint32_t win32Error;
    };
    static constexpr Row kRows[] = {
        {ENOENT, kErrorFileNotFound},
        {ENOTDIR, kErrorPathNotFound},
        {ELOOP, kErrorPathNotFound},
        {EMFILE, kErrorTooManyOpenFiles},
        {ENFILE, kErrorTooManyOpenFiles},
        {EACCES, kErrorAccessDenied},
        {EPERM, kErrorAccessDenied},
        {EISDIR, kErrorAccessDenied},
        {ETXTBSY, kErrorSharingViolation},
        {EWOULDBLOCK, kErrorSharingViolation},
        {EBADF, kErrorInvalidHandle},
        {ENOMEM, kErrorNotEnoughMemory},
        {EROFS, kErrorWriteProtect},
        {ENXIO, kErrorNotReady},
        {ENODEV, kErrorNotReady},
        {EIO, kErrorGenFailure},
        {EEXIST, kErrorFileExists},
        {EINVAL, kErrorInvalidParameter},
        {EPIPE, kErrorBrokenPipe},
        {ENOSPC, kErrorDiskFull},
        {EDQUOT, kErrorDiskFull},
        {EFBIG, kErrorDiskFull},
        {ENOSYS, kErrorCallNotImplemented},
        {ENOTSUP, kErrorNotSupported},
        {ENAMETOOLONG, kErrorFilenameExcedRange},
        {ENOTEMPTY, kErrorDirNotEmpty},
        {EBUSY, kErrorBusy},
        {EXDEV, kErrorNotSameDevice},
        {ENOEXEC, kErrorBadExeFormat},
        {ETIMEDOUT, kErrorTimeout},
    };
    for (const Row& row : kRows) {
        if (row.errnoValue == errnoValue) return row.win32Error;
    }
    return errnoValue == 0 ? kErrorSuccess : kErrorGenFailure;
}

bool FailWithErrno() {
    SetLastError(Win32ErrorFromErrno(errno));
    return false;
}

}  // namespace platform::posix
