#include "sync/sync_session.h"

#include <sqlite3.h>

#include <mutex>
#include <thread>

#include "model/paths.h"
#include "model/preferences.h"
#include "model/users.h"
#include "platform/file_ops.h"
#include "platform/named_mutex.h"
#include "sync/device_identity.h"
#include "sync/file_transfer.h"
#include "sync/handheld_db.h"
#include "sync/handheld_read.h"
#include "sync/pending_users.h"
#include "sync/sqlite_wrapper.h"
#include "sync/sync_mode.h"
#include "sync/sync_server.h"
#include "sync/sync_words.h"
#include "sync/trace_message.h"

namespace tallowmere::handheld {
namespace {

// The program's lock on its user list when it has one.
std::unique_lock<std::mutex> LockUsers(std::mutex* mutex) {
    return mutex != nullptr ? std::unique_lock(*mutex) : std::unique_lock<std::mutex>();
}

void Unlock(std::unique_lock<std::mutex>& lock) {
    if (lock.owns_lock())
        lock.unlock();
}

int NormalMode(int mode) {
    return mode < 0 || mode > 2 ? kSyncModeTwoWay : mode;
}

}  // namespace

CSyncSession::CSyncSession(CHandheldSyncServer& server, int fd, std::uint32_t peerAddress)
    : server_(server),
      link_(fd, server.options_.idleTimeout,
            CSyncLink::Clock::now() + server.options_.sessionDeadline, server.wake_.ReadFd()),
      peerAddress_(peerAddress) {
    server_.EnterSession(budget_);
}

CSyncSession::~CSyncSession() {
    server_.LeaveSession();
}

void CSyncSession::Status(std::string_view text) {
    if (server_.options_.events != nullptr)
        server_.options_.events->OnSyncStatus(std::string(text));
}

void CSyncSession::SendFailure(std::string_view status, std::string_view code) {
    // A wrong password, wherever it is found, holds the next try off.
    if (code == kCodePasswordMismatch)
        server_.brake_.Failed(deviceSerial_, peerAddress_);
    SendFailureWords(status, code);
}

void CSyncSession::RefuseWhileWaiting() {
    SendFailureWords(kStatusPasswordMismatch, kCodePasswordMismatch);
}

void CSyncSession::SendFailureWords(std::string_view status, std::string_view code) {
    Status(status);
    // The run ends whatever the peer does with these.
    if (link_.SendText(kWordFailed) && link_.ReceiveAck(kAckBytes) && link_.SendText(code))
        link_.ReceiveAck(kAckBytes);
}

void CSyncSession::Run() {
    const SyncServerOptions& options = server_.options_;
    link_.SendText(kWordSendDatabase);
    if (options.events != nullptr)
        options.events->OnSyncStarted();
    Status(kStatusStarting);
    if (options.startPause.count() > 0)
        std::this_thread::sleep_for(options.startPause);

    bool succeeded = false;
    if (ReceiveDatabase() && ReadDevice()) {
        if (options.events != nullptr)
            options.events->OnSyncTitle(std::string(kTitlePrefix) + deviceName_, mode_);
        // The desktop edits its current user's files only. For that user
        // the lock is held from before the files are touched until they are
        // final, so an edit and the sync never overwrite each other; any
        // other user's sync, a new device's above all, leaves edits free.
        bool merged = false;
        {
            platform::NamedMutex busy(kDesktopBusyMutexName);
            std::optional<platform::NamedMutexLock> lock;
            if (syncsCurrentUser_)
                lock.emplace(busy, options.busyLockTimeout);
            if (lock && !lock->Held()) {
                SendFailure(kStatusUnexpected, kCodeMergeFailed);
            } else if (FindOrCreateUser()) {
                succeeded = MergeAndSendBack();
                merged = true;
            }
        }
        // After the lock is released: the reload takes it too.
        if (merged && options.currentUserFolder && options.events != nullptr &&
            options.currentUserFolder() == userFolderName_)
            options.events->OnReloadData();
    }
    Finish(succeeded);
}

bool CSyncSession::ReceiveDatabase() {
    if (link_.ReceiveText(kMaxWordBytes, server_.options_.firstWordTimeout) != kWordFileSend)
        return false;
    // A source inside its wait learns so before it sends a byte of its file.
    if (server_.brake_.AddressWaits(peerAddress_)) {
        RefuseWhileWaiting();
        return false;
    }
    if (!link_.SendText(kWordOk))
        return false;
    Status(kStatusReceiving);
    // Journal files of an earlier run would be replayed into this one.
    server_.RemoveDatabaseFiles();
    CreateDirectoryPath(GetPathFolder(server_.databasePath_, false));
    if (!ReceiveFile(link_, server_.databasePath_, server_.options_.transfer))
        return false;
    return link_.ReceiveAck(kAckBytes);
}

bool CSyncSession::ReadDevice() {
    const SyncServerOptions& options = server_.options_;
    budget_.Start(options.sqliteBudget);
    DeviceSettings settings;
    int rc = SQLITE_ERROR;
    {
        CSQLiteDBWrapper db(server_.databasePath_, SQLITE_OPEN_READWRITE, &budget_);
        // Nothing is read from a file that is not the handheld's: a view or
        // a trigger would run the sender's own queries.
        rc = CheckSchema(db);
        if (rc == SQLITE_OK)
            rc = ReadDeviceSettings(db, settings);
        db.Close();
    }
    deviceName_ = DeviceDisplayName(settings.device_name);
    deviceSerial_ = settings.device_serial;
    deviceCrib_ = settings.password_crib;
    // The serial becomes a folder and a registry key: refuse what cannot
    // name one safely rather than change it into another device's name.
    if (rc != SQLITE_OK || !IsAcceptableDeviceSerial(deviceSerial_)) {
        TraceMessage("sync: refused device settings (code %d)", rc);
        SendFailure(kStatusCorrupt, kCodeBadData);
        return false;
    }
    // Before the busy lock and before the password is compared.
    if (server_.brake_.SerialWaits(deviceSerial_)) {
        RefuseWhileWaiting();
        return false;
    }
    std::vector<std::string> removed;
    std::string knownFolder;
    {
        auto lock = LockUsers(options.usersMutex);
        // A user whose first sync never ended is no known device: it goes
        // before anyone is looked up.
        removed = RemovePendingUsers(options.users);
        const CUserItem* known =
            options.users == nullptr ? nullptr : options.users->FindDeviceUser(deviceSerial_);
        newDevice_ = known == nullptr;
        if (known != nullptr)
            knownFolder = known->GetFolderName();
    }
    for (const std::string& folderName : removed)
        UserRemoved(folderName);
    syncsCurrentUser_ =
        !newDevice_ && options.currentUserFolder && options.currentUserFolder() == knownFolder;
    // The mode of this run only: a first sync must not leave mode 2 behind.
    mode_ = newDevice_ ? kSyncModeHandheldOverwrites : NormalMode(GetCurrentSyncMode());
    return true;
}

bool CSyncSession::FindOrCreateUser() {
    const SyncServerOptions& options = server_.options_;
    if (options.users == nullptr) {
        SendFailure(kStatusUnexpected, kCodeMergeFailed);
        return false;
    }
    auto lock = LockUsers(options.usersMutex);
    CUserList& users = *options.users;
    user_ = users.FindDeviceUser(deviceSerial_);
    if (user_ != nullptr) {
        PasswordCrib stored{};
        GetPrefPasswordCrib(user_->GetFolderName(), stored);
        if (!CribMatches(stored, deviceCrib_)) {
            Unlock(lock);
            SendFailure(kStatusPasswordMismatch, kCodePasswordMismatch);
            return false;
        }
        if (!deviceName_.empty() && user_->GetName() != deviceName_)
            user_->Rename(deviceName_);
        newDevice_ = false;
    } else {
        // Every user must stay reachable from the users menu, and a new
        // serial must not land in an existing user's folder or keys (names
        // that differ only in case are the same name).
        const std::string folder = PhoneUserDataFolder(deviceSerial_);
        bool taken = folder.empty() || users.GetCount() >= static_cast<std::size_t>(kMaxMenuUsers);
        for (std::size_t i = 0; !taken && i < users.GetCount(); ++i)
            taken = platform::SameNameNoCase(users.GetAt(i)->GetDataFolder(kProductWord), folder);
        if (!taken)
            user_ = users.AddPhoneUser(deviceName_.empty() ? deviceSerial_ : deviceName_,
                                       deviceSerial_, /*firstSyncPending=*/true);
        if (user_ == nullptr) {
            Unlock(lock);
            SendFailure(kStatusUnexpected, kCodeBadData);
            return false;
        }
        createdUser_ = true;
        if (!deviceCrib_.empty())
            SetPrefPasswordCrib(deviceSerial_, CribFromText(deviceCrib_));
        newDevice_ = true;
    }
    userFolderName_ = user_->GetFolderName();
    dataFolder_ = user_->GetDataFolder(kProductWord);
    Unlock(lock);
    if (options.events != nullptr)
        options.events->OnSyncUser(userFolderName_, newDevice_);
    if (dataFolder_.empty()) {
        SendFailure(kStatusUnexpected, kCodeMergeFailed);
        RemoveCreatedUser();
        return false;
    }
    return true;
}

void CSyncSession::UserRemoved(const std::string& folderName) {
    if (server_.options_.events != nullptr)
        server_.options_.events->OnSyncUserRemoved(folderName);
}

void CSyncSession::RemoveCreatedUser() {
    if (!createdUser_)
        return;
    createdUser_ = false;
    bool removed = false;
    {
        auto lock = LockUsers(server_.options_.usersMutex);
        user_ = nullptr;
        // Cut short, the mark stays and the next clean-up finishes it.
        removed = RemovePhoneUser(server_.options_.users, userFolderName_);
    }
    if (removed)
        UserRemoved(userFolderName_);
}

void CSyncSession::RestoreBackup() {
    if (backup_.Exists() && !backup_.RestoreBackup())
        TraceMessage("sync: restore incomplete, the copy stays in %s", backup_.Folder().c_str());
}

bool CSyncSession::MergeAndSendBack() {
    const SyncServerOptions& options = server_.options_;
    Status(kStatusComparing);
    bool sent = false;
    CreateDirectoryPath(dataFolder_);
    if (!backup_.BackupUserFolder(server_.backupFolder_, SanitizeFileName(userFolderName_),
                                  dataFolder_)) {
        // Without a copy the merge must not touch the files.
        SendFailure(kStatusUnexpected, kCodeMergeFailed);
    } else {
        MergeRunOptions run;
        run.mode = mode_;
        run.newDeviceUser = newDevice_;
        run.status = [this](std::string_view text) { Status(text); };
        run.sqliteBudget = &budget_;
        const MergeRunner& runner = options.mergeRunner;
        const int rc = runner(dataFolder_, server_.databasePath_, std::move(run));
        if (rc != 0) {
            TraceMessage("sync: merge failed (%d)", rc);
            SendFailure(kStatusUnexpected, kCodeMergeFailed);
        } else {
            const std::string word =
                link_.SendText(kWordReceiveSynced) ? link_.ReceiveText(kMaxWordBytes) : "";
            if (word == kWordStop) {
                Status(kStatusCanceling);
            } else if (word == kWordFileSend) {
                Status(kStatusSending);
                sent = SendFile(link_, server_.databasePath_, options.transfer);
            }
        }
    }
    // Only a completed send-back keeps the merged files: otherwise the
    // handheld never learns of them.
    if (!sent) {
        RestoreBackup();
        RemoveCreatedUser();
        return false;
    }
    server_.brake_.Succeeded(deviceSerial_, peerAddress_);
    backup_.DeleteBackup();
    LoadDefaultSyncMode();
    // Last: until here a new device's user goes again if this run ends.
    if (createdUser_ && !ClearFirstSyncPending(userFolderName_))
        TraceMessage("sync: %s stays pending", userFolderName_.c_str());
    createdUser_ = false;
    return true;
}

void CSyncSession::Finish(bool succeeded) {
    // The peer may connect again as soon as it hears the end: it must not
    // find its address still running.
    server_.queue_.Done();
    link_.SendText(kWordEnd);
    platform::ShutdownSocket(link_.Fd());
    server_.RemoveDatabaseFiles();
    Status(kStatusFinishing);
    if (server_.options_.events != nullptr)
        server_.options_.events->OnSyncFinished(succeeded);
}

}  // namespace tallowmere::handheld
