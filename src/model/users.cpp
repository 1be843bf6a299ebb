#include "model/users.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "model/byte_order.h"
#include "model/paths.h"
#include "model/platform_mgr.h"
#include "model/preferences.h"
#include "model/registry.h"
#include "platform/file_ops.h"
#include "platform/registry_store.h"
#include "platform/text_1252.h"

namespace tallowmere {
namespace {

namespace abi = platform;

template <std::size_t N>
void CopyToField(std::array<char, N>& field, std::string_view text) {
    // Names come from the network (device names, serials): never more than fits.
    const std::size_t nul = text.find('\0');
    const std::size_t n = std::min({text.size(), nul, N - 1});
    field.fill('\0');
    std::copy_n(text.begin(), n, field.begin());
}

template <std::size_t N>
std::string FieldText(const std::array<char, N>& field) {
    const auto end = std::find(field.begin(), field.end(), '\0');
    return std::string(field.begin(), end);
}

template <std::size_t N>
void ReadField(std::array<char, N>& field, const std::uint8_t* p) {
    std::copy_n(p, N, field.begin());
    field[N - 1] = '\0';
}

std::span<const std::uint8_t> Chars(std::string_view s) {
    return std::span(reinterpret_cast<const std::uint8_t*>(s.data()), s.size());
}

std::vector<std::uint8_t> Bytes(std::string_view s) {
    return std::vector<std::uint8_t>(s.begin(), s.end());
}

}  // namespace

PlatformUserRecord PlatformUserRecord::FromBytes(
    std::span<const std::uint8_t, abi::kUserRecordSize> b) {
    PlatformUserRecord r;
    ReadField(r.name, b.data() + abi::kUserNameOffset);
    ReadField(r.folder, b.data() + abi::kUserFolderOffset);
    r.kind = LoadLE32(b.data() + abi::kUserKindOffset);
    ReadField(r.deviceType, b.data() + abi::kUserDeviceOffset);
    return r;
}

std::array<std::uint8_t, abi::kUserRecordSize> PlatformUserRecord::ToBytes() const {
    std::array<std::uint8_t, abi::kUserRecordSize> b{};
    std::copy(name.begin(), name.end(), b.begin() + abi::kUserNameOffset);
    std::copy(folder.begin(), folder.end(), b.begin() + abi::kUserFolderOffset);
    StoreLE32(b.data() + abi::kUserKindOffset, kind);
    std::copy(deviceType.begin(), deviceType.end(), b.begin() + abi::kUserDeviceOffset);
    return b;
}

CUserItem::CUserItem(const PlatformUserRecord& record, bool standalone)
    : record_(record), standalone_(standalone) {
    record_.name.back() = '\0';
    record_.folder.back() = '\0';
    record_.deviceType.back() = '\0';
}

std::string CUserItem::GetName() const {
    return FieldText(record_.name);
}

std::string CUserItem::GetFolderName() const {
    return FieldText(record_.folder);
}

std::string CUserItem::GetDeviceType() const {
    return FieldText(record_.deviceType);
}

void CUserItem::SetKeyPath(std::optional<std::string_view> prefix) {
    if (prefix)
        keyPath_ = std::string(*prefix) + GetFolderName();
}

std::string PhoneUserKeyPath(std::string_view folderName) {
    return std::string(kProductKeyPath) + "\\IPhone - " + SafeKeyName(folderName);
}

std::string PhoneUserDataFolder(std::string_view folderName) {
    PlatformUserRecord record;
    CopyToField(record.folder, folderName);
    return CUserItem(record).GetDataFolder(kProductWord);
}

std::string CUserItem::DisplayNameKey() const {
    return PhoneUserKeyPath(GetFolderName());
}

std::string CUserItem::GetDataFolder(const std::string& product) {
    std::string cleaned = SanitizeFileName(GetFolderName());
    while (!cleaned.empty() && platform::IsAsciiSpace(static_cast<unsigned char>(cleaned.back())))
        cleaned.pop_back();

    std::string folder;
    if (!keyPath_.empty()) {
        CRegistry reg(RegRoot::kCurrentUser, keyPath_);
        if (reg.Open() && reg.QueryString(kUserDirectoryValue, folder) && !folder.empty())
            ownDirectory_ = true;
    }
    if (folder.empty())
        Platform::GetRootDir2(product, GetName(), cleaned, folder);
    return folder;
}

void CUserItem::SaveDisplayName() const {
    CRegistry product(RegRoot::kCurrentUser, kProductKeyPath);
    if (!product.Open())
        return;
    CRegistry key(RegRoot::kCurrentUser, DisplayNameKey());
    if (key.Create())
        key.SetValue(kUserDisplayNameValue, abi::kRegSz, Chars(GetName()));
}

void CUserItem::Rename(std::string_view newName) {
    CopyToField(record_.name, newName);
    CRegistry key(RegRoot::kCurrentUser, DisplayNameKey());
    if (key.Open())
        key.SetValue(kUserDisplayNameValue, abi::kRegSz, Chars(GetName()));
}

void CUserList::Enumerate(const std::string& product, std::optional<std::string_view> keyPrefix) {
    std::array<std::uint8_t, abi::kUserRecordSize> bytes{};
    for (int index = 0; index < kMaxPlatformUsers; ++index) {
        // Cleared before every call: a library that fills the record only in
        // part must not hand on the previous user's bytes.
        bytes.fill(0);
        const int rc = Platform::EnumerateUsers(index, product, bytes.data());
        if (rc == abi::kEnumUserFilled) {
            auto user = std::make_unique<CUserItem>(PlatformUserRecord::FromBytes(bytes));
            user->SetKeyPath(keyPrefix);
            users_.push_back(std::move(user));
        } else if (rc == abi::kEnumNoMoreUsers || rc == -1) {
            break;
        }
    }
    PlatformUserRecord standalone;
    CopyToField(standalone.name, kStandaloneUserName);
    CopyToField(standalone.folder, kStandaloneFolder);
    standalone.kind = abi::kPlatformStandalone;
    auto user = std::make_unique<CUserItem>(standalone, true);
    user->SetKeyPath(keyPrefix);
    users_.push_back(std::move(user));
}

CUserItem* CUserList::AddPhoneUser(std::string_view displayName, std::string_view folderName,
                                   bool firstSyncPending) {
    PlatformUserRecord record;
    CopyToField(record.name, displayName);
    CopyToField(record.folder, folderName);
    record.kind = abi::kPlatformPalm;
    CopyToField(record.deviceType, "iPhone");
    auto owned = std::make_unique<CUserItem>(record);
    const std::string name = owned->GetFolderName();
    for (const auto& user : users_) {
        if (platform::EqualsNoCaseAscii(user->GetFolderName(), name))
            return nullptr;
    }
    // The same cleaned name as every later look-up of the folder, so that the
    // sync and the program agree on it; the library keeps it below its root.
    const std::string folder = owned->GetDataFolder(kProductWord);
    const std::string parent = GetPathFolder(folder, false);
    if (folder.empty() || parent.empty() || CreateDirectoryPath(parent) != 0 ||
        !platform::FindNameNoCase(parent, GetFileNamePart(folder)).empty())
        return nullptr;

    // The keys come first and in one write, so that a user who is still
    // pending is never without its mark.
    std::vector<platform::RegStoreValue> values = {
        {kUserDisplayNameValue, abi::kRegSz, Bytes(owned->GetName())}};
    if (firstSyncPending)
        values.push_back({kFirstSyncPendingValue, abi::kRegDword, {1, 0, 0, 0}});
    const std::string prefsKey = GetUserPrefsKeyPath(name);
    const std::vector<platform::RegStoreKey> keys = {
        {PhoneUserKeyPath(name), std::move(values)},
        {prefsKey.substr(0, prefsKey.rfind('\\')), {}},
        {prefsKey, {}},
    };
    if (platform::RegStoreCreateNewKeys(keys) != 0)
        return nullptr;
    // Never a folder that exists: it would be another user's files.
    if (mkdir(folder.c_str(), 0700) != 0) {
        for (const platform::RegStoreKey& key : keys)
            platform::RegStoreDeleteKeyTree(key.path);
        return nullptr;
    }
    users_.push_back(std::move(owned));
    return users_.back().get();
}

bool CUserList::Remove(const CUserItem* user) {
    const auto it = std::find_if(users_.begin(), users_.end(),
                                 [&](const auto& owned) { return owned.get() == user; });
    if (it == users_.end())
        return false;
    users_.erase(it);
    return true;
}

CUserItem* CUserList::FindDeviceUser(std::string_view serial) const {
    for (const auto& user : users_) {
        if (!user->IsStandalone() && platform::EqualsNoCaseAscii(user->GetFolderName(), serial))
            return user.get();
    }
    return nullptr;
}

CUserItem* CUserList::FindByFolder(std::string_view folder) const {
    for (const auto& user : users_) {
        const std::string own = user->GetFolderName();
        if (own.size() == folder.size() && platform::CompareNoCase1252(own, folder) == 0)
            return user.get();
    }
    return users_.empty() ? nullptr : users_.front().get();
}

CUserItem* CUserList::FindByFolderExact(std::string_view folder) const {
    for (const auto& user : users_) {
        if (user->GetFolderName() == folder)
            return user.get();
    }
    return nullptr;
}

CUserItem* CUserList::FindById(int id) const {
    for (const auto& user : users_) {
        if (user->GetUserId() == id)
            return user.get();
    }
    return nullptr;
}

void CUserList::FillCombo(MCombo& combo, const CUserItem* select) const {
    combo.ResetContent();
    int selected = -1;
    for (const auto& user : users_) {
        const int index = combo.AddString(user->GetName(), user.get());
        if (user.get() == select)
            selected = index;
    }
    combo.SetCurSel(selected);
}

void CUserList::BuildMenu(MMenu& menu, int firstId, const CUserItem* current) {
    menu.RemoveAll();
    const std::size_t shown = std::min<std::size_t>(users_.size(), kMaxMenuUsers);
    bool currentShown = false;
    for (std::size_t i = 0; i < shown; ++i)
        currentShown = currentShown || users_[i].get() == current;
    for (std::size_t i = 0; i < users_.size(); ++i) {
        CUserItem& user = *users_[i];
        if (i >= shown) {
            user.SetUserId(0);
            continue;
        }
        const int id = firstId + static_cast<int>(i);
        user.SetUserId(id);
        const bool checked = currentShown ? &user == current : i == 0;
        menu.AppendItem(id, user.GetName(), checked);
    }
}

}  // namespace tallowmere
