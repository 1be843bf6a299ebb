#pragma once
// The desktop side of the handheld sync: a UDP responder that lets the
// handheld find the desktop, and a TCP server whose listener keeps taking
// connections while one sync session at a time runs on a thread of its own.
// The threads run until DeleteThreads (or the destructor), which stops them,
// ends a running session's waits and SQLite work, and waits for it to end;
// a write-back of the desktop files, which waits on neither, is never cut
// short.
//
// The protocol is the phone app's and cannot change here: it is not
// encrypted, and a device proves itself only by its serial and a password
// crib sent in clear. The server therefore trusts nothing it receives and
// bounds every wait, size and count.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "platform/socket.h"
#include "sync/file_transfer.h"
#include "sync/handheld_merge.h"
#include "sync/session_queue.h"
#include "sync/sync_brake.h"
#include "sync/sync_events.h"

namespace tallowmere {
class CSqliteBudget;
class CUserList;
}  // namespace tallowmere

namespace tallowmere::handheld {

inline constexpr std::uint16_t kDiscoveryPort = 4997;
inline constexpr std::uint16_t kSyncPort = 6675;
inline constexpr char kDesktopBusyMutexName[] = "LockwrenDesktopBusy";

// Runs the merge of one session; 0 success. The default builds
// CHandheldMerge.
using MergeRunner = std::function<int(const std::string& dataFolder,
                                      const std::string& databasePath, MergeRunOptions options)>;
MergeRunner DefaultMergeRunner();

struct SyncServerOptions {
    // Where both sockets listen; port 0 lets the system pick.
    std::string bindAddress = "0.0.0.0";
    std::uint16_t discoveryPort = kDiscoveryPort;
    std::uint16_t syncPort = kSyncPort;

    // Every receive and send of a session waits at most this long.
    std::chrono::milliseconds idleTimeout{std::chrono::seconds(60)};
    // The handheld's first word, shorter: a silent peer holds the sessions
    // behind it no longer than this.
    std::chrono::milliseconds firstWordTimeout{std::chrono::seconds(10)};
    // The whole conversation of one session.
    std::chrono::milliseconds sessionDeadline{std::chrono::minutes(30)};
    // The SQLite work of one session on the received file, from the first
    // look at it: the schema check, the device settings and the merge.
    std::chrono::milliseconds sqliteBudget{std::chrono::minutes(2)};
    TransferLimits transfer;
    // The wait for the desktop to finish an edit before the backup, when
    // the synced user is the program's current user.
    std::chrono::milliseconds busyLockTimeout{std::chrono::seconds(10)};
    // The pause after the start notice, which lets the progress window open.
    std::chrono::milliseconds startPause{100};
    // The pause after a failed accept (out of descriptors, say).
    std::chrono::milliseconds acceptBackoff{100};
    // Discovery answers per second, per source and overall.
    int discoveryPerSource = 5;
    int discoveryOverall = 50;

    // The folder of the received database; empty: the platform's root
    // folder for the product. Without one the sync server does not start.
    std::string databaseFolder;
    // The backup folder; empty: below the documents folder.
    std::string backupFolder;

    // The program's users (required for sessions), and the lock the program
    // holds while it reads or changes them (may be null).
    CUserList* users = nullptr;
    std::mutex* usersMutex = nullptr;
    // The folder name of the program's current user.
    std::function<std::string()> currentUserFolder;
    // Notices to the desktop window (may be null).
    MSyncEvents* events = nullptr;
    // Empty: DefaultMergeRunner().
    MergeRunner mergeRunner;
    // The name in discovery answers; empty: gethostname.
    std::function<std::string()> hostName;
    // The monotonic time of the password brake; empty: the steady clock.
    CSyncBrake::Now brakeClock;
};

class CHandheldSyncServer {
  public:
    // Loads the default sync mode and removes a received database and the
    // unfinished new users a crashed run may have left.
    explicit CHandheldSyncServer(SyncServerOptions options);
    ~CHandheldSyncServer();
    CHandheldSyncServer(const CHandheldSyncServer&) = delete;
    CHandheldSyncServer& operator=(const CHandheldSyncServer&) = delete;

    // Each binds its socket, then starts its threads (the listener's with
    // the one that runs sessions); false (and no thread) when the socket
    // cannot be had, or when running already.
    bool StartDiscoveryThread();
    bool StartListenerThread();
    // Stops the threads and waits for them. A running session has every
    // socket wait and SQLite statement ended and then ends its own way, its
    // failure paths putting the user's folder back; connections still
    // waiting are closed.
    void DeleteThreads();

    // The bound ports, 0 while not running.
    std::uint16_t DiscoveryPort() const { return discoveryPort_.load(); }
    std::uint16_t SyncPort() const { return syncPort_.load(); }
    // Empty when there is no platform root.
    const std::string& DatabasePath() const { return databasePath_; }

  private:
    void DiscoveryThreadProc();
    void ListenerThreadProc();
    void SessionThreadProc();
    void RunSession(platform::Socket connection, std::uint32_t address);
    void RemoveDatabaseFiles() const;
    // The running session's budget, which DeleteThreads cancels; a session
    // that enters once stopping has begun finds it cancelled at once.
    void EnterSession(CSqliteBudget& budget);
    void LeaveSession();

    SyncServerOptions options_;
    std::string databasePath_;
    std::string backupFolder_;

    std::atomic<bool> stop_{false};
    platform::WakePipe wake_;
    platform::Socket discoverySocket_;
    platform::Socket listenSocket_;
    std::atomic<std::uint16_t> discoveryPort_{0};
    std::atomic<std::uint16_t> syncPort_{0};
    std::thread discoveryThread_;
    std::thread listenerThread_;
    std::thread sessionThread_;
    CSessionQueue queue_;
    // Used by one session at a time only.
    CSyncBrake brake_;
    std::mutex sessionMutex_;
    CSqliteBudget* sessionBudget_ = nullptr;

    friend class CSyncSession;
};

}  // namespace tallowmere::handheld
