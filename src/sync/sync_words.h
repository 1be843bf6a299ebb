#pragma once
// The words of the handheld sync protocol and the status texts of a run.
// The words travel as their ASCII bytes, without terminator.
#include <cstddef>
#include <string_view>

namespace tallowmere::handheld {

inline constexpr std::string_view kWordSendDatabase = "SendiPhoneDatabase";
inline constexpr std::string_view kWordFileSend = "FileSend";
inline constexpr std::string_view kWordOk = "OK";
// Spelled so: the handheld expects it.
inline constexpr std::string_view kWordReceiveSynced = "RecieveSyncedDatabase";
inline constexpr std::string_view kWordStop = "SyncHasToStop";
inline constexpr std::string_view kWordEnd = "EndConnection";
inline constexpr std::string_view kWordFailed = "SyncFailed";

inline constexpr std::string_view kCodePasswordMismatch = "00000001";
// The merge failed, or the desktop could not take part (busy, no backup).
inline constexpr std::string_view kCodeMergeFailed = "00000005";
// The database is unusable or names a device the desktop refuses.
inline constexpr std::string_view kCodeBadData = "00000007";

inline constexpr std::string_view kDiscoveryRequest = "AndroidSyncRequest";

// A word from the handheld is one receive of at most this many bytes.
inline constexpr std::size_t kMaxWordBytes = 100;
inline constexpr std::size_t kMaxSizeTextBytes = 49;
// Acknowledgements after a transfer or an error word, and inside SendFile.
inline constexpr std::size_t kAckBytes = 3;
inline constexpr std::size_t kSendFileAckBytes = 2;
inline constexpr std::size_t kTransferBlockBytes = 4096;
inline constexpr std::size_t kDiscoveryReplyBytes = 100;

inline constexpr std::string_view kStatusStarting = "Starting Sync...";
inline constexpr std::string_view kStatusReceiving = "Receiving data from handheld...";
inline constexpr std::string_view kStatusCorrupt =
    "Aborting due to corruption of the data received!";
inline constexpr std::string_view kStatusPasswordMismatch = "Aborting due to password mismatch!";
inline constexpr std::string_view kStatusComparing = "Comparing handheld data with desktop data...";
inline constexpr std::string_view kStatusUnexpected = "Aborting due to unexpected error!";
inline constexpr std::string_view kStatusCanceling = "Canceling Sync...";
inline constexpr std::string_view kStatusSending = "Sending updated data to handheld";
inline constexpr std::string_view kStatusFinishing = "Finishing ...";

inline constexpr std::string_view kTitlePrefix = "Synchronizing with ";

}  // namespace tallowmere::handheld
