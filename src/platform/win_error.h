#pragma once
// The Windows result codes that callers test, mapped from errno.

namespace tallowmere::platform {

inline constexpr int kErrorFileNotFound = 2;
inline constexpr int kErrorPathNotFound = 3;
inline constexpr int kErrorTooManyOpenFiles = 4;
inline constexpr int kErrorAccessDenied = 5;
inline constexpr int kErrorNotEnoughMemory = 8;
inline constexpr int kErrorWriteProtect = 19;
inline constexpr int kErrorGenFailure = 31;
inline constexpr int kErrorSharingViolation = 32;
inline constexpr int kErrorDiskFull = 112;
inline constexpr int kErrorInvalidName = 123;
inline constexpr int kErrorFileTooLarge = 223;
inline constexpr int kErrorAlreadyExists = 183;

// ENOENT 2, ENOTDIR 3, EMFILE/ENFILE 4, EACCES/EPERM 5, ENOMEM 8, EROFS 19,
// EBUSY 32, ENOSPC/EDQUOT 112, ENAMETOOLONG 123, EFBIG 223, EEXIST 183,
// anything else 31.
// errno 0 maps to 0.
int WinErrorFromErrno(int err);

}  // namespace tallowmere::platform
