#pragma once
// One account register: the file of CAccountRoot plus the register's order,
// its cached balances, the mirror transactions that make a transfer appear in
// both accounts, and the reconcile bookkeeping. Every edit of a transaction
// passes through here so that order, balances and mirrors stay in step.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "model/account_root.h"
#include "model/account_sort.h"
#include "model/record_progress.h"

namespace tallowmere {

class CPayeeLookupList;
class CPayeesList;

class CAccount : public CAccountRoot {
  public:
    // What the register asks of the data set that holds it.
    class MOwner {
      public:
        virtual ~MOwner() = default;
        // The account with this header id; nullptr when there is none.
        virtual CAccount* FindAccountById(const RecordId& id) = 0;
        // The text a category field shows for id (category path, "[account]").
        virtual std::string GetCategoryDisplayText(const RecordId& id) const = 0;
        // The name of the class with this id; empty when there is none.
        virtual std::string GetClassNameById(const RecordId& id) const = 0;
        // The currency's symbol ("$" when it is not listed).
        virtual std::string GetCurrencySymbolById(std::uint8_t currency) const = 0;
        virtual std::uint8_t GetHomeCurrencyId() const = 0;
        // Units of the currency per unit of the home currency; empty when the
        // currency is not listed.
        virtual std::optional<double> GetCurrencyRate(std::uint8_t currency) const = 0;
        // The lists that downloaded transactions consult; null when the data
        // set has none.
        virtual CPayeeLookupList* GetPayeeLookupList() { return nullptr; }
        virtual const CPayeesList* GetPayeesList() const { return nullptr; }
    };

    // Receives every downloaded transaction added (not owned).
    using DownloadListener = std::vector<CTransaction*>;

    // An empty register with a reset header; owner may be null (no transfers,
    // no currency conversion).
    explicit CAccount(MOwner* owner = nullptr);

    std::string_view GetClassName() const override { return "CAccount"; }
    // The base reset and the register settings of a new account.
    void ResetHeader() override;

    MOwner* GetOwner() const { return owner_; }
    void SetOwner(MOwner* owner) { owner_ = owner; }

    bool GetAutoAdjust() const { return autoAdjust_; }
    void SetAutoAdjust(bool on) { autoAdjust_ = on; }
    std::int32_t GetNewDownloadCount() const { return newDownloads_; }
    void SetNewDownloadCount(std::int32_t n) { newDownloads_ = n; }

    bool IsModified() const { return Header().IsModified(); }
    void ClearChangeFlags() { Header().ClearChangeFlags(); }

    // Editing. None of these save this account unless said so.

    // Counts t in the balances (unless void) and inserts it in sort order.
    // Returns 0.
    int AddTransaction(std::unique_ptr<CTransaction> t);
    // Creates the mirrors of a transfer (whole, or of each split line that
    // names an account), then adds t. On a mirror's failure nothing stays
    // behind and that error is returned.
    int AddTransactionWithTransfer(std::unique_ptr<CTransaction> t);
    // Replaces the register transaction r with the edited copy e, keeping
    // the mirrors in the other accounts in step; re-sorts and saves. A copy
    // made from another transaction's split line belongs to that transaction
    // and is refused (−1, nothing changed). Returns the first error.
    int ModifyTransaction(CTransaction& e, CTransaction& r);
    // The same, except that r keeps its place in the register: for an edit
    // of many rows, whose caller sorts the register once at the end
    // (ResortTransactions). Mirrors in other accounts are placed as ever.
    int ModifyTransactionUnsorted(CTransaction& e, CTransaction& r);
    // Moves t to the deleted transactions and saves; with fold the opening
    // balance takes t's amount so the current balance stays. −1 when t is
    // not in the register. Mirrors in other accounts are not touched
    // (DeleteTransferMirrors does that).
    int DeleteTransaction(const CTransaction& t, bool fold);
    int DeleteTransactionById(const RecordId& id, bool fold);
    int RemoveTransactionAt(std::size_t index);
    // Deletes the mirrors that t has in other accounts (each of those saved).
    // Returns the first error.
    int DeleteTransferMirrors(const CTransaction& t, bool fold);
    // Unlinks the transaction with this id, if present; saves.
    int ClearTransferLink(const RecordId& id);
    // Removes reconciled (kind 2), cleared or reconciled (kind 1) or earlier
    // than date (kind 0) transactions, folding their amounts into the
    // opening balance; their counterparts lose the link. Saves this account
    // and every account whose links changed, once each. progress, when
    // given, is told every kRecordProgressStep transactions looked at.
    int PurgeTransactions(int kind, PalmTime date, const RecordProgress& progress = {});

    // Mirrors (this account is the target).
    int CreateTransferMirror(CAccount& source, CTransaction& sourceTransaction,
                             std::uint8_t splitIndex);
    // Rewrites mirror m of this account from source transaction e (whole, or
    // its split line splitIndex); re-sorts and saves this account.
    int UpdateTransferMirror(CTransaction& m, CAccount& source, const CTransaction& e,
                             std::uint8_t splitIndex);
    // Creates the mirrors of every split line of t that names an account.
    int UpdateSplitTransfers(CTransaction& t);
    // Keeps the split-line mirrors of r in step with e, line by line.
    int UpdateTransferPair(CTransaction& e, const CTransaction& r);

    // The amount in this account's currency converted into other's.
    Cents ConvertAmountTo(const CAccount& other, Cents amount) const;

    // Held saves, for a batch of edits that would write the same file many
    // times: while held, the saves of the register edits above (this
    // account's, also as a mirror's target) are noted instead of written.
    // ReleaseSaves writes the file once when one was noted: 0 or its result.
    // Holds nest; only the outermost release writes.
    void HoldSaves() { ++saveHolds_; }
    int ReleaseSaves();

    // Order. The register stays in the order of its mode and direction: an
    // edit moves only the rows it changed. Whoever changes other rows' sort
    // keys (a rename of what the category or class texts show, rows edited
    // in place) or the mode sorts the register again.

    // Inserts after every element equal to t; returns the position.
    std::size_t InsertSorted(std::unique_ptr<CTransaction> t);
    // A stable sort by the current mode and direction, each row's key taken
    // once; saves nothing.
    void SortTransactions();
    // SortTransactions, then saves.
    int ResortTransactions();
    // Every row in the order of the current mode and direction (one pass).
    bool IsInOrder() const;
    // <0, 0 or >0 by the current mode and direction.
    int CompareTransactions(const CTransaction& a, const CTransaction& b) const;

    // Balances.
    void RecalcBalances();
    Cents GetBalance(int kind) const;
    Cents GetBalanceExcludingTransfers(int kind) const;
    Cents GetFilteredBalance(int filter) const;
    Cents GetRunningBalance(int filter, int n) const;
    // Kind 0 (current) or 1 (cleared) becomes value; the opening balance and
    // the other balance move by the same difference. Saves. Other kinds
    // change nothing and return 0.
    int SetBalance(int kind, Cents value);

    // Access by status filter (0 all, as CTransaction::MatchesStatus).
    int CountTransactions(int filter) const;
    CTransaction* GetTransactionAt(int filter, int n) const;
    int IndexOfTransactionId(int filter, const RecordId& id) const;
    CTransaction* FindTransactionById(const RecordId& id) const;

    // Moves the file to the new name in the same folder (never over another
    // file, also not one whose name differs only in case), under the
    // database mutex; sets the name's change bit and saves. 183 on a clash,
    // −1 on a lock time-out, otherwise the system's error or the save's.
    int Rename(std::string_view newName);

    std::string GetTransferLabel() const;
    std::string GetCurrencySymbol() const;
    RecordId GetDefaultTransactionTypeId() const;
    // Switches online banking off and forgets the bank's data; saves.
    int DisableOnlineBanking();

    // Downloaded transactions (account_download.cpp).
    void BeginDownloadSession(DownloadListener* listener);
    // Ends the fast look-up of known online ids that a session keeps.
    void ForgetDownloadSession();
    // Adds one statement transaction for review unless its online id is
    // known. 0, or 4 when the date or the amount cannot be read (nothing is
    // added). Saves nothing.
    int AddDownloadedTransaction(std::string_view date, std::string_view amount,
                                 std::string_view type, std::string_view checkNumber,
                                 std::string_view name, std::string_view memo,
                                 std::string_view onlineId);
    // An empty id is never known: ordinary entries have none.
    bool HasOnlineId(std::string_view id) const;
    // Pairs d with the first entry in register order that could be the same
    // bank transaction (same amount and direction, 7 days either way).
    int MatchDownloaded(CTransaction& d);
    // The memorised type and category of t's payee, where they fit t.
    void ApplyPayeeDefaults(CTransaction& t) const;
    // The bank's ledger balance. 0 or the save's result; 4 for an amount
    // that cannot be read (nothing changes).
    using CAccountRoot::SetOnlineBalance;
    int SetOnlineBalance(std::string_view amount);
    // A match is merged into its entry (re-sorted, transfer counterpart
    // rewritten) and d leaves the register. Saves. 0, the first save
    // failure, or −1 when d is not in the register.
    int AcceptDownloaded(CTransaction& d);
    int AcceptAllDownloaded();
    void CollectDownloadedTransactions(std::vector<CTransaction*>& out) const;
    void CollectRegisterTransactions(std::vector<CTransaction*>& out) const;

    // Reconcile.
    // 1 in progress, 2 finished before, 0 never.
    int GetReconcileState(Cents& opening, Cents& ending, PalmTime& date) const;
    PalmTime GetNextStatementDate() const;
    Cents GetReconcileDifference() const;
    int AddReconcileAdjustment(Cents amount);
    int FinishReconcile();

  private:
    CAccount* AccountById(const RecordId& id) const;
    // The account a split line or a whole transaction names, or nullptr.
    CAccount* TransferTarget(const RecordId& category) const;
    // Moves the row at index, whose sort keys changed, to where a stable
    // full sort would put it (among rows it equals, its old index decides).
    // A register whose order is not known is checked once, the row left
    // out, and sorted whole when it fails.
    void PlaceRow(std::size_t index);
    bool IsInOrderExcept(std::size_t skip) const;
    bool OrderKnown() const;
    void NoteOrder();
    // What a transaction adds to the current and the cleared balance.
    struct BalanceShare {
        Cents current = 0;
        Cents cleared = 0;
    };
    static BalanceShare ShareOf(const CTransaction& t);
    // The header's balances are those this account last left there.
    bool BalancesInStep() const;
    void NoteBalances();
    // The balances lose removed and gain added; recomputed instead when the
    // header was changed from outside since.
    void MoveBalances(const BalanceShare& removed, const BalanceShare& added);
    // Unlinks without saving; true when something changed.
    bool UnlinkTransaction(const RecordId& id, std::uint8_t splitLine);

    // Save, or only noted while saves are held.
    int SaveEdit();
    int ModifyTransaction(CTransaction& e, CTransaction& r, bool place);

    MOwner* owner_;
    int saveHolds_ = 0;
    bool savePending_ = false;
    bool autoAdjust_ = false;
    std::int32_t newDownloads_ = 0;
    DownloadListener* downloadListener_ = nullptr;
    // The online ids of the register while a statement is applied, so each
    // row's "already known" check is one look-up, not a walk.
    // Pointers are used only after OwnsTransaction confirms the entry is
    // still in the register, so a deletion during the session is harmless.
    std::unordered_map<std::string, const CTransaction*> sessionOnlineIds_;
    // Register entries by amount magnitude, in register order at the start.
    std::unordered_map<Cents, std::vector<CTransaction*>> sessionByAmount_;
    bool sessionActive_ = false;
    bool OwnsTransaction(const CTransaction* t) const;

    // The order the register was last sorted or checked in; edits keep it.
    bool orderKnown_ = false;
    std::int16_t orderMode_ = 0;
    bool orderAscending_ = true;
    // The header balances as last computed here, to see a change from
    // outside (a load, an opening balance set directly).
    bool balancesKnown_ = false;
    Cents knownOpening_ = 0;
    Cents knownCurrent_ = 0;
    Cents knownCleared_ = 0;
};

// The register icon of an account type.
std::uint16_t AccountTypeDefaultIcon(std::uint8_t type);

}  // namespace tallowmere
