// A test double of the platform libraries. Built as the platform manager
// (PLATFORM_DOUBLE_MGR), as the sync library (PLATFORM_DOUBLE_SYNC), or with
// no export at all. TALLOWMERE_DOUBLE_LOG names a file that gets one line per
// call; TALLOWMERE_DOUBLE_MODE picks the manager's answers:
//   ""         users "Ann"/"ann" and "Ben"/"ben"; root "/double/root"
//   "none"     no users
//   "skip"     every index answers 2
//   "partial"  user 0 fills the record, user 1 writes only "Bo" into it
//   "nonul"    every text fills its whole buffer without a NUL
//   "initfail" InitializePlatform answers 7
// TALLOWMERE_DOUBLE_SYNC_RESULT is the sync library's InitializePlatform answer.
#include <stdio.h>
#include <stdlib.h>

#include <cstring>
#include <string>
#include <string_view>

#include "platform/platform_library_abi.h"

#define PLATFORM_EXPORT extern "C" __attribute__((visibility("default")))

#if defined(PLATFORM_DOUBLE_MGR) || defined(PLATFORM_DOUBLE_SYNC)
namespace {

namespace abi = tallowmere::platform;

#ifdef PLATFORM_DOUBLE_MGR
constexpr char kRole[] = "mgr";
#else
constexpr char kRole[] = "sync";
#endif

[[maybe_unused]] std::string_view Mode() {
    const char* mode = getenv("TALLOWMERE_DOUBLE_MODE");
    return mode != nullptr ? mode : "";
}

void Log(const char* call) {
    const char* path = getenv("TALLOWMERE_DOUBLE_LOG");
    if (path == nullptr)
        return;
    if (FILE* f = fopen(path, "a")) {
        fprintf(f, "%s %s\n", kRole, call);
        fclose(f);
    }
}

}  // namespace

PLATFORM_EXPORT int InitializePlatform(int flag, const char* product) {
    Log(flag == 1 && std::strcmp(product, "Tallowmere") == 0 ? "init" : "init-bad-args");
#ifdef PLATFORM_DOUBLE_MGR
    return Mode() == "initfail" ? 7 : 0;
#else
    const char* result = getenv("TALLOWMERE_DOUBLE_SYNC_RESULT");
    return result != nullptr ? atoi(result) : 0;
#endif
}

PLATFORM_EXPORT void ReleasePlatform() {
    Log("release");
}

#ifdef PLATFORM_DOUBLE_MGR
PLATFORM_EXPORT int GetPlatform() {
    return abi::kPlatformSymbian;
}

PLATFORM_EXPORT int EnumeratePlatformUsers(int index, const char*, unsigned char* record) {
    const std::string_view mode = Mode();
    if (mode == "none")
        return 0;
    if (mode == "skip")
        return 2;
    if (mode == "nonul") {
        if (index > 0)
            return 0;
        std::memset(record, 'A', abi::kUserRecordSize);
        return 1;
    }
    if (mode == "partial") {
        if (index == 0) {
            std::memset(record, 'x', abi::kUserRecordSize);
            record[abi::kUserNameSize - 1] = '\0';
            record[abi::kUserFolderOffset + abi::kUserFolderSize - 1] = '\0';
            record[abi::kUserRecordSize - 1] = '\0';
            return 1;
        }
        if (index == 1) {
            std::memcpy(record, "Bo", 2);
            return 1;
        }
        return 0;
    }
    const char* const users[][2] = {{"Ann", "ann"}, {"Ben", "ben"}};
    if (index < 0 || index >= 2)
        return 0;
    std::strcpy(reinterpret_cast<char*>(record + abi::kUserNameOffset), users[index][0]);
    std::strcpy(reinterpret_cast<char*>(record + abi::kUserFolderOffset), users[index][1]);
    record[abi::kUserKindOffset] = abi::kPlatformSymbian;
    std::strcpy(reinterpret_cast<char*>(record + abi::kUserDeviceOffset), "Phone");
    return 1;
}

PLATFORM_EXPORT char* GetPlatformRootDir(const char*, int, int, char* out) {
    if (Mode() == "nonul") {
        std::memset(out, 'R', abi::kPlatformPathSize);
        return out;
    }
    std::strcpy(out, "/double/root");
    return out;
}

// Passes the folder name on as it comes, so that tests see what the program
// hands over.
PLATFORM_EXPORT void GetPlatformRootDir2(const char*, const char*, const char* folder, char* out) {
    if (Mode() == "nonul") {
        std::memset(out, 'Q', abi::kPlatformPathSize);
        return;
    }
    const std::string path = std::string("/double/root/") + folder;
    std::strncpy(out, path.c_str(), abi::kPlatformPathSize - 1);
    out[abi::kPlatformPathSize - 1] = '\0';
}
#endif
#endif
