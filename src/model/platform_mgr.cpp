#include "model/platform_mgr.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

#include "model/paths.h"
#include "platform/dynamic_library.h"
#include "platform/platform_library_abi.h"

namespace tallowmere::Platform {
namespace {

namespace abi = platform;

struct Libraries {
    std::mutex mutex;
    std::string folder;
    platform::DynamicLibrary mgr;
    platform::DynamicLibrary sync;
};

Libraries& Libs() {
    static Libraries libs;
    return libs;
}

template <class F>
F MgrFunction(const char* name) {
    Libraries& libs = Libs();
    const std::lock_guard lock(libs.mutex);
    return libs.mgr.Function<F>(name);
}

std::string LibraryPath(const Libraries& libs, const char* name) {
    const std::string folder = libs.folder.empty() ? GetModuleFolder() : libs.folder;
    return JoinPath(folder, name);
}

void ReleaseOne(platform::DynamicLibrary& lib) {
    if (!lib.IsLoaded())
        return;
    if (auto release = lib.Function<abi::ReleasePlatformFn>("ReleasePlatform"))
        release();
    lib.Unload();
}

}  // namespace

void SetLibraryFolder(std::string folder) {
    Libraries& libs = Libs();
    const std::lock_guard lock(libs.mutex);
    libs.folder = std::move(folder);
}

int Initialize(int flag, const std::string& product) {
    Libraries& libs = Libs();
    const std::lock_guard lock(libs.mutex);
    ReleaseOne(libs.sync);
    ReleaseOne(libs.mgr);
    if (const int err = libs.mgr.Load(LibraryPath(libs, abi::kPlatformMgrLibrary)); err != 0)
        return err;
    if (auto init = libs.mgr.Function<abi::InitializePlatformFn>("InitializePlatform")) {
        if (const int rc = init(flag, product.c_str()); rc != 0)
            return rc;
    }
    if (libs.sync.Load(LibraryPath(libs, abi::kPlatformSyncLibrary)) != 0)
        return 0;
    if (auto init = libs.sync.Function<abi::InitializePlatformFn>("InitializePlatform"))
        return init(flag, product.c_str());
    return 0;
}

int GetPlatform() {
    if (auto get = MgrFunction<abi::GetPlatformFn>("GetPlatform"))
        return get();
    return -1;
}

int EnumerateUsers(int index, const std::string& product, std::uint8_t* record) {
    if (auto enumerate = MgrFunction<abi::EnumeratePlatformUsersFn>("EnumeratePlatformUsers"))
        return enumerate(index, product.c_str(), record);
    return -1;
}

bool GetRootDir(const std::string& product, std::string& path) {
    auto get = MgrFunction<abi::GetPlatformRootDirFn>("GetPlatformRootDir");
    if (!get)
        return false;
    std::vector<char> buf(abi::kPlatformPathSize, '\0');
    if (get(product.c_str(), 0, 0, buf.data()) == nullptr)
        return false;
    // The library's text may lack its NUL.
    buf.back() = '\0';
    if (buf[0] == '\0')
        return false;
    path = buf.data();
    return true;
}

void GetRootDir2(const std::string& product, const std::string& userName,
                 const std::string& folderName, std::string& path) {
    auto get = MgrFunction<abi::GetPlatformRootDir2Fn>("GetPlatformRootDir2");
    if (!get)
        return;
    std::vector<char> buf(abi::kPlatformPathSize, '\0');
    std::copy_n(path.begin(), std::min(path.size(), buf.size() - 1), buf.begin());
    get(product.c_str(), userName.c_str(), folderName.c_str(), buf.data());
    buf.back() = '\0';
    path = buf.data();
}

void Release() {
    Libraries& libs = Libs();
    const std::lock_guard lock(libs.mutex);
    ReleaseOne(libs.sync);
    ReleaseOne(libs.mgr);
}

}  // namespace tallowmere::Platform
