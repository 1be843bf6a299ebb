#include "sync/pending_users.h"

#include <string_view>

#include "model/preferences.h"
#include "model/registry.h"
#include "model/users.h"
#include "platform/file_ops.h"
#include "platform/registry_store.h"
#include "platform/text_1252.h"
#include "platform/win_error.h"
#include "sync/folder_tree.h"
#include "sync/trace_message.h"

namespace tallowmere::handheld {
namespace {

constexpr std::string_view kPhoneKeyPrefix = "IPhone - ";

bool IsPending(const std::string& folderName) {
    return RegReadDword(RegRoot::kCurrentUser, PhoneUserKeyPath(folderName), kFirstSyncPendingValue,
                        0) != 0;
}

// Gone already counts as removed.
bool DeleteKeyTree(const std::string& path) {
    const int rc = platform::RegStoreDeleteKeyTree(path);
    return rc == 0 || rc == platform::kErrorFileNotFound;
}

}  // namespace

bool RemovePhoneUser(CUserList* users, const std::string& folderName) {
    std::string folder;
    if (CUserItem* user = users != nullptr ? users->FindDeviceUser(folderName) : nullptr) {
        folder = user->GetDataFolder(kProductWord);
        users->Remove(user);
    } else {
        folder = PhoneUserDataFolder(folderName);
    }
    if (!folder.empty() && platform::PathExists(folder) && !DeleteFolderTree(folder)) {
        TraceMessage("sync: could not remove %s", folder.c_str());
        return false;
    }
    const std::string prefsKey = GetUserPrefsKeyPath(folderName);
    return DeleteKeyTree(prefsKey) && DeleteKeyTree(prefsKey.substr(0, prefsKey.rfind('\\'))) &&
           DeleteKeyTree(PhoneUserKeyPath(folderName));
}

std::vector<std::string> RemovePendingUsers(CUserList* users) {
    std::vector<std::string> removed;
    std::vector<std::string> keys;
    platform::RegStoreEnumSubKeys(kProductKeyPath, keys);
    for (const std::string& key : keys) {
        if (key.size() <= kPhoneKeyPrefix.size() ||
            !platform::EqualsNoCaseAscii(std::string_view(key).substr(0, kPhoneKeyPrefix.size()),
                                         kPhoneKeyPrefix))
            continue;
        const std::string folderName = key.substr(kPhoneKeyPrefix.size());
        if (IsPending(folderName) && RemovePhoneUser(users, folderName))
            removed.push_back(folderName);
    }
    return removed;
}

bool ClearFirstSyncPending(const std::string& folderName) {
    platform::RegStoreDeleteValue(PhoneUserKeyPath(folderName), kFirstSyncPendingValue);
    return !IsPending(folderName);
}

}  // namespace tallowmere::handheld
