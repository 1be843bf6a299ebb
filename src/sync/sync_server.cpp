#include "sync/sync_server.h"

#include <unistd.h>

#include <utility>

#include "model/paths.h"
#include "model/platform_mgr.h"
#include "model/users.h"
#include "sync/handheld_db.h"
#include "sync/pending_users.h"
#include "sync/sqlite_budget.h"
#include "sync/sync_mode.h"
#include "sync/user_backup.h"

namespace tallowmere::handheld {

CHandheldSyncServer::CHandheldSyncServer(SyncServerOptions options)
    : options_(std::move(options)), brake_(options_.brakeClock) {
    if (!options_.mergeRunner)
        options_.mergeRunner = DefaultMergeRunner();
    std::string folder = options_.databaseFolder;
    // Without a root the path would name a file at "/": no sync server then.
    if (folder.empty() && !Platform::GetRootDir(kProductWord, folder))
        folder.clear();
    if (!folder.empty())
        databasePath_ = JoinPath(folder, kDatabaseFileName);
    backupFolder_ = options_.backupFolder.empty() ? DefaultBackupFolder() : options_.backupFolder;
    LoadDefaultSyncMode();
    RemoveDatabaseFiles();
    std::unique_lock<std::mutex> lock;
    if (options_.usersMutex != nullptr)
        lock = std::unique_lock(*options_.usersMutex);
    RemovePendingUsers(options_.users);
}

CHandheldSyncServer::~CHandheldSyncServer() {
    DeleteThreads();
}

void CHandheldSyncServer::RemoveDatabaseFiles() const {
    if (databasePath_.empty())
        return;
    for (const char* suffix : {"", "-journal", "-wal", "-shm"})
        unlink((databasePath_ + suffix).c_str());
}

bool CHandheldSyncServer::StartDiscoveryThread() {
    if (discoveryThread_.joinable() || !wake_.Valid())
        return false;
    discoverySocket_ = platform::OpenUdpSocket(options_.bindAddress, options_.discoveryPort);
    if (!discoverySocket_.Valid())
        return false;
    discoveryPort_ = platform::LocalPort(discoverySocket_);
    stop_ = false;
    discoveryThread_ = std::thread([this] { DiscoveryThreadProc(); });
    return true;
}

bool CHandheldSyncServer::StartListenerThread() {
    if (listenerThread_.joinable() || !wake_.Valid() || databasePath_.empty())
        return false;
    listenSocket_ = platform::OpenTcpListener(options_.bindAddress, options_.syncPort);
    if (!listenSocket_.Valid())
        return false;
    syncPort_ = platform::LocalPort(listenSocket_);
    stop_ = false;
    queue_.Start();
    sessionThread_ = std::thread([this] { SessionThreadProc(); });
    listenerThread_ = std::thread([this] { ListenerThreadProc(); });
    return true;
}

void CHandheldSyncServer::EnterSession(CSqliteBudget& budget) {
    std::lock_guard lock(sessionMutex_);
    sessionBudget_ = &budget;
    if (stop_)
        budget.Cancel();
}

void CHandheldSyncServer::LeaveSession() {
    std::lock_guard lock(sessionMutex_);
    sessionBudget_ = nullptr;
}

void CHandheldSyncServer::DeleteThreads() {
    stop_ = true;
    // The wake pipe stays readable until drained: every wait of the threads
    // and of a running session ends at once.
    wake_.Signal();
    queue_.Stop();
    {
        std::lock_guard lock(sessionMutex_);
        if (sessionBudget_ != nullptr)
            sessionBudget_->Cancel();
    }
    if (discoveryThread_.joinable())
        discoveryThread_.join();
    if (listenerThread_.joinable())
        listenerThread_.join();
    if (sessionThread_.joinable())
        sessionThread_.join();
    wake_.Drain();
    discoverySocket_.Close();
    listenSocket_.Close();
    discoveryPort_ = 0;
    syncPort_ = 0;
}

}  // namespace tallowmere::handheld
