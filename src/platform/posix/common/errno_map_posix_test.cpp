#include "platform/posix/common/errno_map_posix.hpp"

#include <gtest/gtest.h>

#include <cerrno>

#include "platform/types.hpp"

namespace platform::posix {
namespace {

TEST(ErrnoMap, GivesTheWin32CodesTheRuntimeMaps) {
    EXPECT_EQ(Win32ErrorFromErrno(ENOENT), kErrorFileNotFound);
    EXPECT_EQ(Win32ErrorFromErrno(ENOTDIR), kErrorPathNotFound);
    EXPECT_EQ(Win32ErrorFromErrno(EACCES), kErrorAccessDenied);
    EXPECT_EQ(Win32ErrorFromErrno(EWOULDBLOCK), kErrorSharingViolation);
    EXPECT_EQ(Win32ErrorFromErrno(ENOSPC), kErrorDiskFull);
    EXPECT_EQ(Win32ErrorFromErrno(EBADF), kErrorInvalidHandle);
    EXPECT_EQ(Win32ErrorFromErrno(EPIPE), kErrorBrokenPipe);
    EXPECT_EQ(Win32ErrorFromErrno(0), kErrorSuccess);
    EXPECT_EQ(Win32ErrorFromErrno(EPROTO), kErrorGenFailure);  // anything unlisted
}

}  // namespace
}  // namespace platform::posix
