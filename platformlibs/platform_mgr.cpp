// The platform manager. Its users are the phone users that earlier syncs
// created: one folder each below the platform root
// ("$XDG_DATA_HOME/Brackwater/<product>"), with the display name kept in the
// registry under "...\IPhone - <folder>" as "UserDisplayName".
//
// GetPlatform answers 3 (iPhone): every user here comes from a phone sync, and
// with 3 the user's preference key ("IPhone - <folder>\Preferences") lies
// below the key that holds the display name.
#include <dirent.h>
#include <pwd.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "model/byte_order.h"
#include "platform/platform_library_abi.h"
#include "platform/registry_store.h"

#define PLATFORM_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

namespace abi = tallowmere::platform;

constexpr char kDisplayNameKey[] = "Software\\Brackwater\\Tallowmere Desktop\\IPhone - ";
constexpr char kStandaloneFolder[] = "_Standalone_";
constexpr std::size_t kMaxNameBytes = 255;  // NAME_MAX

std::string HomeFolder() {
    if (const char* home = getenv("HOME"); home != nullptr && home[0] != '\0')
        return home;
    std::vector<char> buf(16384);
    passwd pw{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &pw, buf.data(), buf.size(), &found) == 0 && found != nullptr)
        return found->pw_dir;
    return std::string();
}

std::string DataHome() {
    // The XDG rules ignore a relative value.
    if (const char* data = getenv("XDG_DATA_HOME"); data != nullptr && data[0] == '/')
        return data;
    const std::string home = HomeFolder();
    return home.empty() ? std::string() : home + "/.local/share";
}

// Every text that becomes a folder name passes here: separators and control
// characters become '-', "", "." and ".." get names of their own, and the
// result fits one path component, so the path never leaves the root.
std::string SafeName(const char* text) {
    std::string out;
    for (const char* p = text; p != nullptr && *p != '\0'; ++p) {
        const auto c = static_cast<unsigned char>(*p);
        out += c < 0x20 || c == 0x7F || c == '/' || c == '\\' ? '-' : static_cast<char>(c);
    }
    if (out.size() > kMaxNameBytes)
        out.resize(kMaxNameBytes);
    if (out.empty())
        return "_";
    if (out == "." || out == "..")
        return std::string(out.size(), '-');
    return out;
}

std::string Root(const char* product) {
    const std::string data = DataHome();
    if (data.empty())
        return std::string();
    return data + "/Brackwater/" + SafeName(product);
}

// Writes s and its NUL, or an empty text when it does not fit.
bool CopyOut(const std::string& s, char* out) {
    if (out == nullptr)
        return false;
    if (s.empty() || s.size() >= abi::kPlatformPathSize) {
        out[0] = '\0';
        return false;
    }
    std::memcpy(out, s.c_str(), s.size() + 1);
    return true;
}

std::vector<std::string> UserFolders(const std::string& root) {
    std::vector<std::string> names;
    DIR* dir = opendir(root.c_str());
    if (dir == nullptr)
        return names;
    while (const dirent* entry = readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name == "." || name == ".." || name == kStandaloneFolder)
            continue;
        struct stat st {};
        const std::string path = root + "/" + std::string(name);
        if (lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
            names.emplace_back(name);
    }
    closedir(dir);
    // A stable order, so that an index means the same user from call to call.
    std::sort(names.begin(), names.end());
    return names;
}

std::string DisplayName(const std::string& folder) {
    const std::string key = kDisplayNameKey + folder;
    std::uint32_t size = 0;
    std::uint32_t type = 0;
    if (abi::RegStoreQueryValue(key, "UserDisplayName", &type, nullptr, &size) != 0 ||
        type != abi::kRegSz || size == 0)
        return std::string();
    std::vector<std::uint8_t> buf(size);
    if (abi::RegStoreQueryValue(key, "UserDisplayName", nullptr, buf.data(), &size) != 0)
        return std::string();
    std::string name(buf.begin(), buf.begin() + size);
    if (const std::size_t nul = name.find('\0'); nul != std::string::npos)
        name.resize(nul);
    return name;
}

void PutText(unsigned char* field, std::size_t size, std::string_view text) {
    const std::size_t n = std::min(text.size(), size - 1);
    std::memcpy(field, text.data(), n);
    field[n] = '\0';
}

}  // namespace

PLATFORM_EXPORT int InitializePlatform(int, const char*) {
    return 0;
}

PLATFORM_EXPORT int GetPlatform() {
    return abi::kPlatformIPhone;
}

PLATFORM_EXPORT int EnumeratePlatformUsers(int index, const char* product, unsigned char* record) {
    if (index < 0 || record == nullptr)
        return abi::kEnumNoMoreUsers;
    const std::string root = Root(product);
    if (root.empty())
        return abi::kEnumNoMoreUsers;
    const std::vector<std::string> folders = UserFolders(root);
    if (static_cast<std::size_t>(index) >= folders.size())
        return abi::kEnumNoMoreUsers;
    const std::string& folder = folders[static_cast<std::size_t>(index)];
    // A name that does not fit the record cannot be reported: skip it.
    if (folder.size() >= abi::kUserFolderSize)
        return 2;
    std::string name = DisplayName(folder);
    if (name.empty())
        name = folder;
    std::memset(record, 0, abi::kUserRecordSize);
    PutText(record + abi::kUserNameOffset, abi::kUserNameSize, name);
    PutText(record + abi::kUserFolderOffset, abi::kUserFolderSize, folder);
    tallowmere::StoreLE32(record + abi::kUserKindOffset, abi::kPlatformIPhone);
    PutText(record + abi::kUserDeviceOffset, abi::kUserDeviceSize, "iPhone");
    return abi::kEnumUserFilled;
}

PLATFORM_EXPORT char* GetPlatformRootDir(const char* product, int, int, char* out) {
    return CopyOut(Root(product), out) ? out : nullptr;
}

PLATFORM_EXPORT void GetPlatformRootDir2(const char* product, const char*, const char* folder,
                                         char* out) {
    const std::string root = Root(product);
    CopyOut(root.empty() ? root : root + "/" + SafeName(folder), out);
}

PLATFORM_EXPORT void ReleasePlatform() {}
