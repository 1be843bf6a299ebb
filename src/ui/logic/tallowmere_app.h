#pragma once
// The application object without its windows: the users and the current
// user, the users' password cribs, the data cipher with which account files
// encipher their online credentials, the change of a password, and the
// shut-down that stops the sync threads and releases the platform
// libraries. The start-up sequence (startup_controller.h) and the windows
// (ui/app_windows.h) work on it.
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "model/account_root.h"
#include "model/blowfish.h"
#include "model/password_crib.h"
#include "model/users.h"
#include "platform/named_mutex.h"
#include "ui/logic/password_app.h"

namespace tallowmere::handheld {
class CHandheldSyncServer;
}

namespace tallowmere::ui {

class CTallowmereApp final : public MPasswordApp {
  public:
    CTallowmereApp();
    ~CTallowmereApp() override;
    CTallowmereApp(const CTallowmereApp&) = delete;
    CTallowmereApp& operator=(const CTallowmereApp&) = delete;

    // --- users ---
    // Users are never moved or freed while the program runs; the sync
    // thread reads the list under UsersMutex().
    CUserList& GetUsers() { return users_; }
    const CUserList& Users() const override { return users_; }
    std::mutex& UsersMutex() { return usersMutex_; }
    CUserItem* GetCurrentUser() const;
    void SetCurrentUser(CUserItem* user);
    // The current user's folder name, for the sync thread; empty without one.
    std::string CurrentUserFolder() const;

    // --- passwords (Windows-1252 bytes) ---
    static PasswordCrib HashPassword(std::string_view password);
    bool VerifyPassword(CUserItem& user, std::string_view password) override;
    // Resets the current user's crib when its folder holds no account file
    // (ResetPasswordIfNoData), then: whether the given user's crib is set.
    bool UserHasPassword(CUserItem& user) override;
    // The crib goes (and the cipher with it) only when the folder exists,
    // was listed to its end and holds no "*.wqm" file: a folder that cannot
    // be read (an unmounted drive, say) keeps the password.
    void ResetPasswordIfNoData(CUserItem& user);
    // Stores the password's crib and keys the cipher with it.
    void SetUserPassword(CUserItem& user, std::string_view password);
    void SetCipherKey(std::string_view password) override;
    bool HasCipherKey() const { return cipher_ != nullptr; }
    // The key itself, so that a user switch can put the old one back when
    // the new user's data cannot be read.
    std::shared_ptr<const CBlowfish> CipherKey() const { return cipher_; }
    void RestoreCipherKey(std::shared_ptr<const CBlowfish> key) { cipher_ = std::move(key); }
    // How account files store the credentials: under the key, or plain
    // when the current user has no password.
    HeaderCipher GetHeaderCipher() const;

    // The current user's password change (password_change.h): the account
    // files of its folder get the new key, then the crib and the cipher
    // follow, and dataSet (when given) takes the new key for its next saves.
    // On a failure nothing changes and its message is shown.
    int ChangePassword(CUserItem& user, std::string_view password, CAccounts* dataSet,
                       Messages& messages) override;
    // Finishes or undoes a change that a crash cut short; before the
    // user's data is read.
    void FinishPendingPasswordChange(CUserItem& user);

    // The locale's date order and separator and its money characters.
    static void LoadLocaleFormats();

    // --- shut-down ---
    // The sync server whose threads shut-down stops (null: none). The
    // caller keeps ownership.
    void SetSyncServer(handheld::CHandheldSyncServer* server) { syncServer_ = server; }
    // Stops and joins the sync threads, waits until no one else holds the
    // database mutex and keeps it, then releases the platform libraries
    // (the sync library first). Returns code.
    int ExitInstance(int code);

  private:
    CUserList users_;
    mutable std::mutex usersMutex_;
    CUserItem* current_ = nullptr;
    std::shared_ptr<const CBlowfish> cipher_;
    handheld::CHandheldSyncServer* syncServer_ = nullptr;
    // Held from shut-down to the end: no session may write while the
    // program ends.
    std::unique_ptr<platform::NamedMutex> exitLock_;
};

}  // namespace tallowmere::ui
