#pragma once
// The calls between the program and the handheld-platform libraries
// ("TeskPlatformMgr.so", "PlatformSync.so" beside the program). Both sides are
// built from this header; the exports are plain C functions.
#include <cstddef>

namespace tallowmere::platform {

inline constexpr char kPlatformMgrLibrary[] = "TeskPlatformMgr.so";
inline constexpr char kPlatformSyncLibrary[] = "PlatformSync.so";

// Platform kinds, as GetPlatform and the user record give them.
inline constexpr int kPlatformPalm = 0;
inline constexpr int kPlatformWinCE = 1;
inline constexpr int kPlatformSymbian = 2;
inline constexpr int kPlatformIPhone = 3;
inline constexpr int kPlatformStandalone = 4;

// Path buffers passed to the libraries hold this many bytes, the NUL
// included (PATH_MAX: home folders here can be longer than 260). A library
// writes at most size - 1 bytes and a NUL, or nothing.
inline constexpr std::size_t kPlatformPathSize = 4096;

// The 460-byte user record that EnumeratePlatformUsers fills.
inline constexpr std::size_t kUserRecordSize = 460;
inline constexpr std::size_t kUserNameOffset = 0;
inline constexpr std::size_t kUserNameSize = 200;
inline constexpr std::size_t kUserFolderOffset = 200;
inline constexpr std::size_t kUserFolderSize = 200;
inline constexpr std::size_t kUserKindOffset = 400;  // u32, little-endian
inline constexpr std::size_t kUserDeviceOffset = 404;
inline constexpr std::size_t kUserDeviceSize = 56;

// EnumeratePlatformUsers results.
inline constexpr int kEnumUserFilled = 1;
inline constexpr int kEnumNoMoreUsers = 0;

extern "C" {
// (flag, product word) -> 0 on success.
using InitializePlatformFn = int (*)(int, const char*);
using GetPlatformFn = int (*)();
// (index, product word, 460-byte record) -> 1 filled, 0 no user at that index
// and beyond, anything else: skip this index.
using EnumeratePlatformUsersFn = int (*)(int, const char*, unsigned char*);
// (product word, 0, 0, buffer of kPlatformPathSize) -> buffer, or null.
using GetPlatformRootDirFn = char* (*)(const char*, int, int, char*);
// (product word, user name, folder name, buffer of kPlatformPathSize).
using GetPlatformRootDir2Fn = void (*)(const char*, const char*, const char*, char*);
using ReleasePlatformFn = void (*)();
}

}  // namespace tallowmere::platform
