#pragma once
// The data set of one user: every account of the user's data folder and the
// shared lists, with the services that span accounts (category-field texts,
// transfers, deletes with their mirrors, net worth, scheduled and imported
// transactions). The main window and the handheld sync each hold their own.
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/account.h"
#include "model/account_root.h"
#include "model/category.h"
#include "model/class_item.h"
#include "model/currency.h"
#include "model/file_list.h"
#include "model/import_mirrors.h"
#include "model/import_record.h"
#include "model/payee.h"
#include "model/payee_lookup.h"
#include "model/record_id.h"
#include "model/scheduled.h"
#include "model/transaction_type.h"
#include "model/upcoming.h"
#include "platform/record_pool.h"

namespace tallowmere {

struct DefaultAccount {
    std::uint16_t code;  // bytes 6-7 of the fixed id
    int stringId;        // the name
    std::uint8_t type;
    std::uint16_t icon;
    std::uint32_t color;
};
// Made, in this order, when a folder holds no account file.
inline constexpr std::array<DefaultAccount, 5> kDefaultAccounts = {{
    {0x0005, 2000, kChecking, 2, 0xD2FFFF},
    {0x0006, 2001, kSavings, 12, 0xFFFFD9},
    {0x0007, 2002, kCreditCard, 5, 0xFFE6FF},
    {0x0008, 2003, kCreditCard, 6, 0xFFE6FF},
    {0x0009, 2004, kCreditCard, 3, 0xFFE6FF},
}};

// The icon shown for the split marker.
inline constexpr std::uint16_t kSplitIcon = 64;

// The institution list ("FiList.lst") belongs to the online-banking layer.
// It hands the data set a factory for its list; without one the data set
// neither reads nor writes that file.
using InstitutionListFactory = std::function<std::unique_ptr<CFileList>()>;

struct AccountsLoadOptions {
    // How the online credentials in the account headers are stored: the
    // desktop uses the user's key, the sync passes the bytes through.
    HeaderCipher cipher = HeaderCipher::None();
    // Deleted-account placeholder files are loaded as accounts too (the
    // sync passes the deletions on).
    bool includePlaceholders = false;
    // The load writes no file: defaults for a missing account or list file
    // stay in memory, and the lists hold their saves until the caller writes
    // the data set as a whole (the handheld sync's copy).
    bool writeNothing = false;
    InstitutionListFactory makeInstitutionList;
    // Called with the folder once every file has loaded, never after a
    // failed load: the desktop points its per-user state at the folder.
    std::function<void(const std::string& folder)> afterLoad;
};

// Which file stopped a load, and with what.
struct AccountsLoadFailure {
    int code = 0;
    std::string path;
};

class CAccounts : public CAccount::MOwner, public CScheduledList::MPoster {
  public:
    CAccounts();
    ~CAccounts() override;
    // Accounts point back at their data set, so it stays where it is made.
    CAccounts(const CAccounts&) = delete;
    CAccounts& operator=(const CAccounts&) = delete;

    // Loading.

    // Loads the folder into a new data set and puts it in place of current
    // only when every file loaded; otherwise current stays exactly as it was
    // and *failure (when given) names the file that failed. 0 or that code.
    // Due scheduled transactions are not entered (EnterDueScheduled).
    static int LoadInto(std::unique_ptr<CAccounts>& current, const std::string& folder,
                        const AccountsLoadOptions& options, AccountsLoadFailure* failure = nullptr);
    // Clears this data set and loads the folder into it: the account files
    // (defaults created when there are none), then the list files. 0 or the
    // first error, which leaves this data set partly loaded; LoadInto is the
    // form that keeps a working data set.
    int Load(const std::string& folder, const AccountsLoadOptions& options);
    const AccountsLoadFailure& GetLoadFailure() const { return failure_; }
    // Whether the last load read the named lists in the old id-first layout.
    bool HasOldFormatRecords() const { return oldFormat_; }
    // Destroys every account, empties the lists and forgets the folder.
    void Clear();
    // Loads one account file and inserts it in name order; on an error the
    // account is not kept and the error is returned.
    int LoadAccountFile(const std::string& path);
    // Inserts before the first account whose name compares greater or equal;
    // the account takes this data set as owner and its cipher. Returns it.
    CAccount* InsertAccount(std::unique_ptr<CAccount> account);
    // Takes the account out of this data set, its file untouched; null when
    // it is not here.
    std::unique_ptr<CAccount> TakeAccount(const CAccount* account);

    // Writes every account file and the seven record lists; the institution
    // list is written by its own changes. Goes on after a failure and
    // returns the first error.
    int Save();

    // The last step of a load, left to the caller: posts every due automatic
    // scheduled transaction (items of a missing account are skipped) and
    // saves the accounts, then the schedule. 0 or the first error. The
    // program calls it after every desktop load and never after the sync's,
    // whose copy of another user's data set is written back as merged.
    int EnterDueScheduled();

    const std::string& GetFolder() const { return folder_; }
    const HeaderCipher& GetCipher() const { return cipher_; }
    // Every account takes the new policy for its next save.
    void SetCipher(HeaderCipher cipher);

    // Lookups.

    std::size_t GetAccountCount() const { return accounts_.size(); }
    // nullptr out of range.
    CAccount* GetAccountAt(std::size_t index) const;
    // -1 when the account is not in this data set.
    int IndexOfAccount(const CAccount* account) const;
    CAccount* FindAccountById(const RecordId& id) override;
    const CAccount* FindAccountById(const RecordId& id) const;
    // By name, ignoring case.
    CAccount* FindAccountByName(std::string_view name) const;
    // By file path, ignoring case.
    CAccount* FindAccountByFilePath(std::string_view path) const;
    bool IsAccountId(const RecordId& id) const;
    // An account holds exactly this routing number and account number.
    bool HasAccountWithBankIds(std::string_view routingNumber,
                               std::string_view accountNumber) const;
    bool HasOnlineAccounts() const;
    int CountOnlineAccounts() const;
    // The n-th account with online banking on; *position gets its index.
    CAccount* GetOnlineAccountAt(int n, int* position = nullptr) const;

    // Category-field texts.

    // "[name]" of the account with this id; empty when there is none.
    std::string GetTransferLabelById(const RecordId& id) const;
    // "-SPLIT-" for the split marker, "[name]" for an account, otherwise the
    // category's "Parent:Child" text (empty when none).
    std::string GetCategoryDisplayText(const RecordId& id) const override;
    // Empty text: none. "[...": ResolveTransferText's answer. Otherwise the
    // category of that path text (none when there is none; nothing is made)
    // and true.
    bool ParseCategoryText(std::string_view text, RecordId& id) const;
    // Drops a leading "[" and a trailing "]" and finds the account of that
    // name, ignoring case; false and none when there is none.
    bool ResolveTransferText(std::string_view text, RecordId& id) const;
    std::uint16_t GetIconForId(const RecordId& id) const;
    std::uint16_t GetIconForCategoryText(std::string_view text) const;

    // Currencies.

    std::string GetHomeCurrencySymbol() const;
    std::string GetCurrencySymbolById(std::uint8_t currency) const override;
    std::uint8_t GetHomeCurrencyId() const override;
    std::optional<double> GetCurrencyRate(std::uint8_t currency) const override;
    std::string GetClassNameById(const RecordId& id) const override;
    // Downloads and OFX imports into these accounts use the data set's own
    // look-up and memorised payees.
    CPayeeLookupList* GetPayeeLookupList() override { return &payeeLookup_; }
    const CPayeesList* GetPayeesList() const override { return &payees_; }
    Cents ConvertToHomeCurrency(Cents amount, std::uint8_t currency) const;
    // Accounts of that currency move to the home currency and are saved.
    // The first error.
    int ReplaceCurrency(std::uint8_t currency);
    // The accounts counted in totals, each without its transfers (kind 0),
    // in the home currency, rounded to whole cents.
    Cents GetNetWorth(int kind) const;

    // Operations across accounts.

    // A transfer of amount from one account of this data set to another:
    // both sides added, then from saved and (when that worked) to saved.
    // *out gets the side in current, if either. A zero or negative amount is
    // booked as it stands (a negative one moves money the other way). −1 for
    // the same account on both sides or an account not in this data set.
    int CreateTransfer(PalmTime date, CAccount& from, CAccount& to, Cents amount, bool cleared,
                       const CAccount* current, CTransaction** out = nullptr);
    // Deletes t's mirrors with the same fold, then t, and saves the account.
    // A mirror made from another transaction's split line is refused (−1):
    // it goes with its line.
    int DeleteTransaction(CAccount& account, const CTransaction& t, bool fold);
    // The same for many rows, each file written once: every id still in the
    // account's register goes with its mirrors (an id that an earlier one
    // took along is skipped, as is a copy made from a split line); then the
    // account and each account that lost a mirror or a link are saved once.
    // 0, −1 for an account not in this data set, or the first error; a
    // failed save leaves the deletes in memory.
    int DeleteTransactions(CAccount& account, std::span<const RecordId> ids, bool fold);
    // Edits many rows of account with their mirrors, each file written once:
    // edit changes a copy of each row still in the register (copies made
    // from a split line are skipped), which then replaces the row as
    // CAccount::ModifyTransaction does, mirrors made, rewritten or deleted in
    // the other accounts; then the account is sorted once and saved, and
    // each other account changed is saved once. 0, −1 for an account not in
    // this data set, or the first error; a failed save leaves the edits in
    // memory.
    int ModifyTransactions(CAccount& account, std::span<const RecordId> ids,
                           const std::function<void(CTransaction&)>& edit);
    // Deletes the account's scheduled items and renames its file to the
    // next free placeholder name, so the sync can pass the deletion on. On
    // success the account leaves the data set and goes to *removed.
    int DeleteAccount(CAccount& account, std::unique_ptr<CAccount>* removed = nullptr);
    int MemorizePayee(const CTransaction& t);
    // After a category, class or account was renamed: every register whose
    // sort mode orders by those names and is now out of order is sorted
    // again and saved. The first error.
    int ResortRegistersByName();
    // Posts one occurrence into its account and saves the account, and only
    // then advances the schedule; a failed save takes the posting back, so
    // the occurrence is offered again.
    int PostScheduledTransaction(const CUpcomingTrans& upcoming);
    int AdvanceScheduled(const CUpcomingTrans& upcoming);
    // Adds an imported record to account with its transfer mirrors (each
    // mirror's account saved); the caller saves account. −1 for a status
    // above 3 or an account not in this data set.
    int AddImportedTransaction(CAccount& account, const ImportRecord& record);
    // The same with the mirrors' accounts left unsaved: each account that
    // got a mirror is added to *changed once, for the importer to save when
    // the whole file is read. A null changed saves as above. With mirrors,
    // a transfer (or split line) naming account B that finds a mirror this
    // import made in account from B's records (same day, same effect on
    // account, unused; oldest first) is booked once: a whole record adds
    // nothing and gives the mirror its status, check number and memo; a
    // split line takes B's transaction as its mirror instead.
    int AddImportedTransaction(CAccount& account, const ImportRecord& record,
                               std::vector<CAccount*>* changed, ImportMirrors* mirrors = nullptr);

    // The lists.
    CPayeesList& Payees() { return payees_; }
    const CPayeesList& Payees() const { return payees_; }
    CCategoryList& Categories() { return categories_; }
    const CCategoryList& Categories() const { return categories_; }
    CClassList& Classes() { return classes_; }
    const CClassList& Classes() const { return classes_; }
    CCurrencyList& Currencies() { return currencies_; }
    const CCurrencyList& Currencies() const { return currencies_; }
    CTransactionTypesList& TransactionTypes() { return types_; }
    const CTransactionTypesList& TransactionTypes() const { return types_; }
    CScheduledList& Scheduled() { return scheduled_; }
    const CScheduledList& Scheduled() const { return scheduled_; }
    CPayeeLookupList& PayeeLookup() { return payeeLookup_; }
    const CPayeeLookupList& PayeeLookup() const { return payeeLookup_; }
    // Null until the online-banking layer supplies its list.
    CFileList* GetInstitutionList() const { return institutions_.get(); }

    // The date the next new transaction of the transaction dialog starts
    // with: a second after the last one entered there; 0 until then.
    PalmTime GetEntryDate() const { return entryDate_; }
    void SetEntryDate(PalmTime date) { entryDate_ = date; }

    // CScheduledList::MPoster.
    bool HasAccount(const RecordId& accountId) const override;
    int PostOccurrence(const CUpcomingTrans& occurrence) override;
    int SaveAccounts() override;

  private:
    // Loads every account file of folder; false placeholders are skipped.
    int LoadAccountFiles(const std::string& folder, bool includePlaceholders);
    int CreateDefaultAccounts(const std::string& folder, bool write = true);
    int Fail(int code, const std::string& path);
    // Adds the occurrence without saving; *account gets the account and
    // *postedId the new transaction's id.
    int PostWithoutSave(const CUpcomingTrans& occurrence, CAccount** account,
                        RecordId* postedId = nullptr);
    bool IsTransactionIdUsed(const RecordId& id) const;

    // The storage of the records that loads make; declared before the
    // accounts, so it goes after them.
    platform::RecordPool records_{kTransactionPoolSizes};
    std::vector<std::unique_ptr<CAccount>> accounts_;
    CPayeesList payees_;
    CCategoryList categories_;
    CClassList classes_;
    CCurrencyList currencies_;
    CTransactionTypesList types_;
    CScheduledList scheduled_;
    CPayeeLookupList payeeLookup_;
    std::unique_ptr<CFileList> institutions_;
    std::string folder_;
    PalmTime entryDate_ = 0;

    HeaderCipher cipher_ = HeaderCipher::None();
    bool oldFormat_ = false;
    AccountsLoadFailure failure_;
    // Accounts that PostOccurrence changed since the last SaveAccounts.
    std::vector<CAccount*> posted_;
};

}  // namespace tallowmere
