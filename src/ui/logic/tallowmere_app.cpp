#include "ui/logic/tallowmere_app.h"

#include <chrono>
#include <cstdio>

#include "model/accounts.h"
#include "model/money.h"
#include "model/platform_mgr.h"
#include "model/preferences.h"
#include "platform/file_ops.h"
#include "platform/win_error.h"
#include "sync/sync_server.h"
#include "ui/logic/file_error_message.h"
#include "ui/logic/password_change.h"

namespace tallowmere::ui {
namespace {

constexpr auto kDatabaseWait = std::chrono::seconds(10);

PasswordCrib StoredCrib(const CUserItem& user) {
    PasswordCrib crib{};
    GetPrefPasswordCrib(user.GetFolderName(), crib);
    return crib;
}

}  // namespace

CTallowmereApp::CTallowmereApp() = default;

CTallowmereApp::~CTallowmereApp() {
    if (exitLock_)
        exitLock_->Unlock();
}

CUserItem* CTallowmereApp::GetCurrentUser() const {
    const std::lock_guard lock(usersMutex_);
    return current_;
}

void CTallowmereApp::SetCurrentUser(CUserItem* user) {
    const std::lock_guard lock(usersMutex_);
    current_ = user;
}

std::string CTallowmereApp::CurrentUserFolder() const {
    const std::lock_guard lock(usersMutex_);
    return current_ != nullptr ? current_->GetFolderName() : std::string();
}

PasswordCrib CTallowmereApp::HashPassword(std::string_view password) {
    return ComputePasswordCrib(password);
}

bool CTallowmereApp::VerifyPassword(CUserItem& user, std::string_view password) {
    return CribsEqual(StoredCrib(user), HashPassword(password));
}

bool CTallowmereApp::UserHasPassword(CUserItem& user) {
    if (CUserItem* current = GetCurrentUser())
        ResetPasswordIfNoData(*current);
    PasswordCrib crib{};
    return GetPrefPasswordCrib(user.GetFolderName(), crib) && !IsEmptyCrib(crib);
}

void CTallowmereApp::ResetPasswordIfNoData(CUserItem& user) {
    const std::string folder = user.GetDataFolder(kProductWord);
    if (folder.empty())
        return;
    const auto files = ListAccountFiles(folder);
    if (files && files->empty())
        SetUserPassword(user, "");
}

void CTallowmereApp::SetUserPassword(CUserItem& user, std::string_view password) {
    SetPrefPasswordCrib(user.GetFolderName(), HashPassword(password));
    SetCipherKey(password);
}

void CTallowmereApp::SetCipherKey(std::string_view password) {
    cipher_.reset();
    if (!password.empty())
        cipher_ = std::make_shared<const CBlowfish>(password);
}

HeaderCipher CTallowmereApp::GetHeaderCipher() const {
    return cipher_ ? HeaderCipher::WithKey(cipher_) : HeaderCipher::None();
}

int CTallowmereApp::ChangePassword(CUserItem& user, std::string_view password, CAccounts* dataSet,
                                   Messages& messages) {
    // Only the current user's key is held, and its files are read with it.
    if (&user != GetCurrentUser()) {
        ShowFileErrorMessage(messages, -1);
        return -1;
    }
    // No sync may read or write the files between the steps.
    platform::NamedMutex databaseMutex(kDatabaseMutexName);
    platform::NamedMutexLock lock(databaseMutex, kDatabaseWait);
    if (!lock.Held()) {
        ShowFileErrorMessage(messages, -1);
        return -1;
    }
    const std::string folder = user.GetDataFolder(kProductWord);
    const std::optional<std::vector<std::string>> listed = ListAccountFiles(folder);
    // A folder that is missing holds no files; one that cannot be read may.
    if (!listed && platform::PathExists(folder)) {
        ShowFileErrorMessage(messages, platform::kErrorAccessDenied);
        return platform::kErrorAccessDenied;
    }
    const std::vector<std::string> files = listed.value_or(std::vector<std::string>{});
    const PasswordCrib crib = HashPassword(password);
    const HeaderCipher newCipher =
        password.empty() ? HeaderCipher::None()
                         : HeaderCipher::WithKey(std::make_shared<const CBlowfish>(password));

    int result = WriteReKeyedFiles(files, GetHeaderCipher(), newCipher);
    if (result == 0)
        result = WritePendingMarker(folder, crib);
    if (result == 0) {
        SetPrefPasswordCrib(user.GetFolderName(), crib);
        // The store reports nothing: read it back.
        if (!CribsEqual(StoredCrib(user), crib))
            result = platform::kErrorAccessDenied;
    }
    if (result != 0) {
        DiscardPasswordChange(folder);
        ShowFileErrorMessage(messages, result);
        return result;
    }
    // From here the new password holds; files whose rename failed get their
    // key at the next start, which finds the marker.
    result = CommitReKeyedFiles(files);
    if (result == 0)
        RemovePendingMarker(folder);
    SetCipherKey(password);
    if (dataSet != nullptr)
        dataSet->SetCipher(GetHeaderCipher());
    if (result != 0)
        ShowFileErrorMessage(messages, result);
    return result;
}

void CTallowmereApp::FinishPendingPasswordChange(CUserItem& user) {
    SettlePendingPasswordChange(user.GetDataFolder(kProductWord), StoredCrib(user));
}

void CTallowmereApp::LoadLocaleFormats() {
    LoadLocaleSeparators();
}

int CTallowmereApp::ExitInstance(int code) {
    if (syncServer_ != nullptr)
        syncServer_->DeleteThreads();
    if (!exitLock_) {
        exitLock_ = std::make_unique<platform::NamedMutex>(kDatabaseMutexName);
        while (!exitLock_->Lock(kDatabaseWait))
            std::fprintf(stderr, "tallowmere: waiting for a sync to finish writing\n");
    }
    Platform::Release();
    SetCipherKey("");
    return code;
}

}  // namespace tallowmere::ui
