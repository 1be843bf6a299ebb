#pragma once
// The user's financial institutions ("FiList.lst"): one CFiItem per
// institution of the directory. Only the directory id and the name are kept
// in the file; the connection details and the OFX profile are fetched again
// in every run. An item is also the event handler of every OFX exchange with
// its bank: details, profile, account list, statement download and import.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "exchange/fidb_client.h"
#include "exchange/ofx_client.h"
#include "exchange/online_progress.h"
#include "exchange/sgml_document.h"
#include "exchange/stream.h"
#include "model/file_list.h"
#include "model/palm_list_item.h"
#include "model/palm_time.h"
#include "model/record_progress.h"

namespace tallowmere {

class CAccount;
class CFiAccountsList;
class CTransaction;

class CFiItem : public CListItem,
                public exchange::CFidbClient::MUpdateFiItemEventHandler,
                public exchange::COfxClient::MGetProfileEventHandler,
                public exchange::COfxClient::MGetStatementEventHandler,
                public exchange::CSgmlElement::MParseEventHandler,
                public exchange::COfxClient::MChangePasswordEventHandler {
  public:
    // Details and profile are fetched again once they are this old.
    static constexpr PalmTime kRefreshAge = 86400;
    // The identity OFX defines for a profile request.
    static constexpr std::string_view kAnonymousLogin = "anonymous00000000000000000000000";

    // All fields zero or empty.
    CFiItem() = default;
    explicit CFiItem(ForLoad tag) : CListItem(tag) {}
    CFiItem(std::int32_t fiId, std::string_view name);

    std::string_view GetClassName() const override { return "CFiItem"; }
    // int32 institution id, then the name as an archive string; no 32-bit
    // zero after them (one is read where a file has it).
    void Serialize(CArchive& ar) override;
    std::string GetName() const override { return name_; }

    std::int32_t GetFiId() const { return fiId_; }
    void SetFiId(std::int32_t id) { fiId_ = id; }
    void SetName(std::string_view name) { name_ = std::string(name); }

    // Zeroes the id, the three times and stamp, the run-time byte and int32,
    // the target account and the progress window; name, texts, profile and
    // the client-UID flag stay.
    void ResetState();

    PalmTime GetLastDetailsRefresh() const { return lastDetailsRefresh_; }
    void SetLastDetailsRefresh(PalmTime t) { lastDetailsRefresh_ = t; }
    PalmTime GetLastProfileFetch() const { return lastProfileFetch_; }
    void SetLastProfileFetch(PalmTime t) { lastProfileFetch_ = t; }
    // 0 = no details stored.
    std::uint32_t GetDetailsStamp() const { return detailsStamp_; }
    void SetDetailsStamp(std::uint32_t stamp) { detailsStamp_ = stamp; }

    const std::string& GetUrl() const { return url_; }
    const std::string& GetOrg() const { return org_; }
    const std::string& GetFid() const { return fid_; }
    const std::string& GetAppId() const { return appId_; }
    const std::string& GetAppVer() const { return appVer_; }
    void SetDetails(std::string_view url, std::string_view org, std::string_view fid,
                    std::string_view appId, std::string_view appVer);

    const std::string& GetProfileText() const { return profileText_; }
    void SetProfileText(std::string_view text) { profileText_ = std::string(text); }

    std::uint8_t GetRunByte() const { return runByte_; }
    void SetRunByte(std::uint8_t v) { runByte_ = v; }
    std::int32_t GetRunValue() const { return runValue_; }
    void SetRunValue(std::int32_t v) { runValue_ = v; }

    // Not owned; set for one download or import.
    CAccount* GetTargetAccount() const { return targetAccount_; }
    void SetTargetAccount(CAccount* account) { targetAccount_ = account; }
    // Not owned; null = no progress display.
    COnlineProgressDlg* GetProgressWindow() const { return progress_; }
    void SetProgressWindow(COnlineProgressDlg* dlg) { progress_ = dlg; }

    // Told every kRecordProgressStep statement transactions; none by
    // default.
    void SetStatementProgress(RecordProgress progress) {
        statementProgress_ = RecordProgressCounter(std::move(progress));
    }

    std::int32_t GetClientUidRequired() const { return clientUidRequired_; }
    void SetClientUidRequired(std::int32_t v) { clientUidRequired_ = v; }

    // Online work. Each returns 0 or -1 unless said otherwise; the errors
    // are shown through ShowOnlineBankingError where said.

    // Fetches the directory's details (when forced or a day old; a failure
    // gives -1 and no message) and the bank's profile (when forced or a day
    // old; a failure is shown).
    int UpdateProfile(bool force);
    // The bank's accounts for this customer into accounts; the caller
    // reports a failure (false), with the client's error code and text given
    // in *errorCode and *errorText when asked (1223 or 2: cancelled).
    bool GetAccountList(std::string_view userId, std::string_view password,
                        CFiAccountsList& accounts, bool useClientUid, std::string_view clientUid,
                        std::int32_t* errorCode = nullptr, std::string* errorText = nullptr);
    // The account's statement since its last one into the account, for
    // review; downloads added go to collection too (may be null). Refreshes
    // details and profile first (as UpdateProfile, forced); a failure after
    // that is shown. A statement with a fault adds and writes nothing.
    int DownloadStatement(COnlineProgressDlg* progress, CAccount& account,
                          std::string_view password, std::vector<CTransaction*>* collection);
    // The first OFX statement of a file (or reply) into the account, the
    // same way; downloads added go to collection too, and the ACCTIDs of
    // the file's other statements to furtherAccounts (either may be null).
    int ImportStatement(exchange::Stream& stream, CAccount& account,
                        std::vector<CTransaction*>* collection = nullptr,
                        std::vector<std::string>* furtherAccounts = nullptr);

    // The event slots.
    bool Progress(int value) override;
    std::int32_t OnInstitutionDetails(std::int32_t id, std::uint32_t stamp, const std::string* url,
                                      const std::string* org, const std::string* fid,
                                      const std::string* appId,
                                      const std::string* appVersion) override;
    std::int32_t OnProfile(std::string_view profileText) override;
    std::int32_t OnClientUidRequired(int value) override;
    std::int32_t OnStatementAccount(std::string_view accountId) override;
    std::int32_t OnStatementTransaction(std::string_view date, std::string_view amount,
                                        std::string_view type,
                                        std::optional<std::string_view> checkNumber,
                                        std::string_view name, std::optional<std::string_view> memo,
                                        std::string_view fitId) override;
    std::int32_t OnStatementEnd(std::string_view dtEnd) override;
    std::int32_t OnLedgerBalance(std::string_view balanceAmount) override;

  private:
    exchange::OfxServerLogin Login(std::string_view userId, std::string_view password) const;
    // The stored address, refused (and said so) unless it is https.
    bool CheckServerUrl() const;
    // Opens and closes the target account's download session.
    void BeginStatement(CAccount& account, std::vector<CTransaction*>* collection);
    void EndStatement(CAccount& account, bool ok);

    std::int32_t fiId_ = 0;
    std::string name_;
    PalmTime lastDetailsRefresh_ = 0;
    PalmTime lastProfileFetch_ = 0;
    std::uint32_t detailsStamp_ = 0;
    std::string url_;
    std::string org_;
    std::string fid_;
    std::string appId_;
    std::string appVer_;
    std::string profileText_;
    std::uint8_t runByte_ = 0;
    std::int32_t runValue_ = 0;
    CAccount* targetAccount_ = nullptr;
    COnlineProgressDlg* progress_ = nullptr;
    std::int32_t clientUidRequired_ = 0;
    // Transactions of the current statement handed to the account.
    std::size_t statementTransactions_ = 0;
    RecordProgressCounter statementProgress_;
};

// Gives the object stream the factory of CFiItem, so that list files naming
// it can be read. Explicit rather than a static registrar, which the linker
// may drop from a static library. Thread-safe; once is enough.
void RegisterFiItemClass();

class CFiList : public CFileList, public exchange::CFidbClient::MUpdateFiListEventHandler {
  public:
    // Registers CFiItem, so that every list can read its file.
    CFiList();

    // The list version the directory reports.
    static constexpr std::int32_t kDirectoryListVersion = exchange::kFiDirectoryListVersion;

    std::string_view GetClassName() const override { return "CFiList"; }
    // The items as in every list file, then a WORD, the list version (int32)
    // and a further int32.
    void Serialize(CArchive& ar) override;

    // The first institution with this directory id; nullptr when none.
    CFiItem* FindByFiId(std::int32_t id) const;
    // An institution reported by the directory: an existing one with that id
    // is reset and renamed (keeping its id, and moved to its new name's
    // place), otherwise a new one is inserted in name order. Does not save: a
    // whole directory list is saved once.
    CFiItem* AddOrUpdate(std::int32_t id, std::string_view name);
    // Takes out and deletes the first institution with this id; false when
    // there is none. Does not save.
    bool RemoveByFiId(std::int32_t id);

    std::uint16_t GetUpdateWord() const { return updateWord_; }
    void SetUpdateWord(std::uint16_t v) { updateWord_ = v; }
    std::int32_t GetListVersion() const { return listVersion_; }
    void SetListVersion(std::int32_t v) { listVersion_ = v; }
    std::int32_t GetUpdateValue() const { return updateValue_; }
    void SetUpdateValue(std::int32_t v) { updateValue_ = v; }
    // Zeroes the three trailer values.
    void ResetUpdateInfo();

    // Not owned, not stored.
    COnlineProgressDlg* GetProgressWindow() const { return progress_; }
    void SetProgressWindow(COnlineProgressDlg* dlg) { progress_ = dlg; }

    // Brings the list up to date from the directory and writes the file
    // once at the end (also after a failure, for what arrived before it).
    // False on a failure of the directory (its error is the client's) or of
    // the save (already reported; the client's error is then 0).
    bool UpdateFiList(exchange::CFidbClient& client);
    bool UpdateFiList();

    // The directory's events.
    bool Progress(int value) override;
    std::int32_t OnInstitution(std::int32_t id, std::string_view name) override;
    std::int32_t OnInstitutionRemoved(std::int32_t id) override;
    std::int32_t OnListVersion(std::int32_t version) override;

  protected:
    bool AcceptsItem(const CObject& obj) const override;
    bool ItemsEndEitherWay() const override { return true; }

  private:
    void RebuildUpdateIndex();
    void InsertInNameOrder(std::unique_ptr<CListItem> item);

    // Items by directory id while a directory list is read, so each report
    // is one look-up rather than a walk of the list.
    std::unordered_map<std::int32_t, CFiItem*> updateIndex_;
    bool updating_ = false;
    bool updateChanged_ = false;

    std::uint16_t updateWord_ = 0;
    std::int32_t listVersion_ = 0;
    std::int32_t updateValue_ = 0;
    COnlineProgressDlg* progress_ = nullptr;
};

}  // namespace tallowmere
