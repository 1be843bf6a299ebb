#pragma once
// The users: those the platform-manager library reports, the standalone user
// (no handheld), and phone users added when an unknown device syncs. Each
// has a data folder for its account and list files.
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform_library_abi.h"

namespace tallowmere {

inline constexpr char kProductWord[] = "Tallowmere";
inline constexpr char kStandaloneUserName[] = "<Standalone>";
inline constexpr char kStandaloneFolder[] = "_Standalone_";
inline constexpr char kUserDisplayNameValue[] = "UserDisplayName";
inline constexpr char kUserDirectoryValue[] = "User Directory";
// DWORD 1 in a phone user's key while the first sync that made the user has
// not ended; such a user is removed rather than kept half made.
inline constexpr char kFirstSyncPendingValue[] = "FirstSyncPending";
// The menu has command ids for 31 users; more would collide with other commands.
inline constexpr int kMaxMenuUsers = 31;
// Enumeration gives up after this many indexes, whatever the library answers.
inline constexpr int kMaxPlatformUsers = 1000;

// The 460-byte record that the platform manager fills; every text is
// NUL-terminated within its field.
struct PlatformUserRecord {
    std::array<char, platform::kUserNameSize> name{};
    std::array<char, platform::kUserFolderSize> folder{};
    std::uint32_t kind = 0;
    std::array<char, platform::kUserDeviceSize> deviceType{};

    // The record as a library wrote it; a text lacking its NUL is cut at the
    // field's last byte.
    static PlatformUserRecord FromBytes(std::span<const std::uint8_t, platform::kUserRecordSize> b);
    std::array<std::uint8_t, platform::kUserRecordSize> ToBytes() const;
};

// The key of a phone user, which holds its "UserDisplayName":
// product key + "\\IPhone - " + the folder name.
std::string PhoneUserKeyPath(std::string_view folderName);
// The data folder a phone user with this folder name has.
std::string PhoneUserDataFolder(std::string_view folderName);

class CUserItem {
  public:
    explicit CUserItem(const PlatformUserRecord& record, bool standalone = false);

    std::string GetName() const;
    std::string GetFolderName() const;
    std::uint32_t GetPlatformKind() const { return record_.kind; }
    std::string GetDeviceType() const;
    const PlatformUserRecord& GetRecord() const { return record_; }

    int GetUserId() const { return userId_; }
    void SetUserId(int id) { userId_ = id; }
    bool IsStandalone() const { return standalone_; }
    bool HasOwnDirectory() const { return ownDirectory_; }
    const std::string& GetKeyPath() const { return keyPath_; }

    // With a prefix, the key path becomes prefix + folder name; without one
    // nothing changes.
    void SetKeyPath(std::optional<std::string_view> prefix);

    // The user's data folder: "User Directory" under the key path when set
    // there, else the platform's folder for the cleaned folder name (each of
    // \ / : * ? " < > | made '-', trailing blanks dropped). Empty when the
    // library gives none.
    std::string GetDataFolder(const std::string& product);

    // Writes "UserDisplayName" under "...\IPhone - <folder>", creating that
    // key, when the product key exists.
    void SaveDisplayName() const;
    // Takes the new name (cut to the field) and writes it as
    // "UserDisplayName" when the user's key exists.
    void Rename(std::string_view newName);

  private:
    std::string DisplayNameKey() const;

    PlatformUserRecord record_;
    int userId_ = 0;
    bool standalone_ = false;
    bool ownDirectory_ = false;
    std::string keyPath_;
};

class CUserList {
  public:
    // What FillCombo needs of a combo box.
    class MCombo {
      public:
        virtual ~MCombo() = default;
        virtual void ResetContent() = 0;
        // Adds an item; gives its index.
        virtual int AddString(const std::string& text, CUserItem* user) = 0;
        // -1: no selection.
        virtual void SetCurSel(int index) = 0;
    };
    // What BuildMenu needs of a menu.
    class MMenu {
      public:
        virtual ~MMenu() = default;
        virtual void RemoveAll() = 0;
        virtual void AppendItem(int commandId, const std::string& text, bool checked) = 0;
    };

    CUserList() = default;
    CUserList(const CUserList&) = delete;
    CUserList& operator=(const CUserList&) = delete;

    // Appends the platform's users, then the standalone user.
    void Enumerate(const std::string& product, std::optional<std::string_view> keyPrefix);
    // Creates a phone user for a new device (both texts cut to their
    // fields): its keys, with "UserDisplayName" (and kFirstSyncPendingValue
    // when firstSyncPending), in one write, then its data folder, then the
    // list entry. A user's folder name, keys and data folder are taken when
    // one of another user differs only in ASCII case: then nothing is
    // written and the result is null, as on any failure.
    CUserItem* AddPhoneUser(std::string_view displayName, std::string_view folderName,
                            bool firstSyncPending = false);
    // Deletes the user's entry; false when it is not in the list.
    bool Remove(const CUserItem* user);

    // The user a device serial names: the first whose folder name equals it
    // without regard to ASCII case; never the standalone user.
    CUserItem* FindDeviceUser(std::string_view serial) const;
    // Without regard to case; the first user when none matches, null for an
    // empty list.
    CUserItem* FindByFolder(std::string_view folder) const;
    // The user whose folder name is exactly this one; null when none is.
    CUserItem* FindByFolderExact(std::string_view folder) const;
    CUserItem* FindById(int id) const;

    void FillCombo(MCombo& combo, const CUserItem* select) const;
    // One item per user (at most kMaxMenuUsers), command id first + position,
    // which becomes the user's id; the current user's item is checked, or the
    // first when the current user has none.
    void BuildMenu(MMenu& menu, int firstId, const CUserItem* current);

    std::size_t GetCount() const { return users_.size(); }
    CUserItem* GetAt(std::size_t index) const { return users_.at(index).get(); }

  private:
    std::vector<std::unique_ptr<CUserItem>> users_;
};

}  // namespace tallowmere
