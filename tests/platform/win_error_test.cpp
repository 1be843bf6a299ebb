#include "platform/win_error.h"

#include <errno.h>
#include <gtest/gtest.h>

namespace tallowmere::platform {
namespace {

TEST(WinErrorFromErrno, MapsEachListedErrno) {
    struct Case {
        int err;
        int expected;
    };
    const Case cases[] = {
        {0, 0},
        {ENOENT, kErrorFileNotFound},
        {ENOTDIR, kErrorPathNotFound},
        {EMFILE, kErrorTooManyOpenFiles},
        {ENFILE, kErrorTooManyOpenFiles},
        {EACCES, kErrorAccessDenied},
        {EPERM, kErrorAccessDenied},
        {ENOMEM, kErrorNotEnoughMemory},
        {EROFS, kErrorWriteProtect},
        {EBUSY, kErrorSharingViolation},
        {ENOSPC, kErrorDiskFull},
        {EDQUOT, kErrorDiskFull},
        {ENAMETOOLONG, kErrorInvalidName},
        {EFBIG, kErrorFileTooLarge},
        {EEXIST, kErrorAlreadyExists},
        {EIO, kErrorGenFailure},
        {EINVAL, kErrorGenFailure},
        {EISDIR, kErrorGenFailure},
        {-1, kErrorGenFailure},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WinErrorFromErrno(c.err), c.expected) << "errno " << c.err;
    }
}

}  // namespace
}  // namespace tallowmere::platform
