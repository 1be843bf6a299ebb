#pragma once
// One sync run on an accepted connection, from "SendiPhoneDatabase" to
// "EndConnection". Every path ends the same way: the received database is
// deleted and the window hears the run has finished; every failure after
// the backup puts the user's folder back as it was, and removes the user a
// new device's run made.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "sync/sqlite_budget.h"
#include "sync/sync_link.h"
#include "sync/user_backup.h"

namespace tallowmere {
class CUserItem;
}

namespace tallowmere::handheld {

class CHandheldSyncServer;
struct DeviceSettings;

class CSyncSession {
  public:
    // The peer's IPv4 address in network byte order.
    CSyncSession(CHandheldSyncServer& server, int fd, std::uint32_t peerAddress);
    ~CSyncSession();
    CSyncSession(const CSyncSession&) = delete;
    CSyncSession& operator=(const CSyncSession&) = delete;
    void Run();

  private:
    // The steps before the merge; false when the run goes straight to its
    // end.
    bool ReceiveDatabase();
    bool ReadDevice();
    bool FindOrCreateUser();
    // The merge and the send-back, with the busy lock held; true when the
    // handheld took the merged database back and the merged files stay.
    bool MergeAndSendBack();
    void Finish(bool succeeded);

    void Status(std::string_view text);
    // "SyncFailed" and its code, each followed by an acknowledgement. A
    // password mismatch feeds the brake.
    void SendFailure(std::string_view status, std::string_view code);
    void SendFailureWords(std::string_view status, std::string_view code);
    // The brake's answer: the password-mismatch words, nothing compared.
    void RefuseWhileWaiting();
    void RestoreBackup();
    // Undoes the user this run made, then tells the window.
    void RemoveCreatedUser();
    void UserRemoved(const std::string& folderName);

    CHandheldSyncServer& server_;
    CSyncLink link_;
    std::uint32_t peerAddress_;
    CSqliteBudget budget_;
    // The device's user is the program's current user: its desktop edits
    // wait for the sync.
    bool syncsCurrentUser_ = false;
    std::string deviceName_;
    std::string deviceSerial_;
    std::string deviceCrib_;
    CUserItem* user_ = nullptr;
    bool newDevice_ = false;
    // This run made user_, which stays only once the send-back is done.
    bool createdUser_ = false;
    int mode_ = 0;
    std::string userFolderName_;
    std::string dataFolder_;
    CUserBackup backup_;
};

}  // namespace tallowmere::handheld
