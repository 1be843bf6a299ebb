#include "platform/win_error.h"

#include <errno.h>

namespace tallowmere::platform {

int WinErrorFromErrno(int err) {
    switch (err) {
        case 0:
            return 0;
        case ENOENT:
            return kErrorFileNotFound;
        case ENOTDIR:
            return kErrorPathNotFound;
        case EMFILE:
        case ENFILE:
            return kErrorTooManyOpenFiles;
        case EACCES:
        case EPERM:
            return kErrorAccessDenied;
        case ENOMEM:
            return kErrorNotEnoughMemory;
        case EROFS:
            return kErrorWriteProtect;
        case EBUSY:
            return kErrorSharingViolation;
        case ENOSPC:
        case EDQUOT:
            return kErrorDiskFull;
        case ENAMETOOLONG:
            return kErrorInvalidName;
        // Past the process's file-size limit (RLIMIT_FSIZE).
        case EFBIG:
            return kErrorFileTooLarge;
        case EEXIST:
            return kErrorAlreadyExists;
        default:
            return kErrorGenFailure;
    }
}

}  // namespace tallowmere::platform
