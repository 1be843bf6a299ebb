#pragma once
// The shared base of the file importers and exporters (CSV, QIF, OFX files):
// the data set, the target account, the date layout and number format, the
// output file, and the texts that every format writes the same way.
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "exchange/amount_text.h"
#include "exchange/date_text.h"
#include "exchange/import_text.h"
#include "exchange/line_reader.h"
#include "exchange/output_file.h"
#include "model/accounts.h"
#include "model/import_record.h"
#include "model/record_progress.h"
#include "model/transaction_type.h"

namespace tallowmere::exchange {

// Results of every import and export operation: 0, a Windows error code, 1
// when an account named in a transfer text could not get its file, or a
// format error of the file (negative).
inline constexpr int kExchangeOk = 0;
inline constexpr int kAccountFileFailed = 1;
inline constexpr int kInvalidHandle = 6;    // written without an open file
inline constexpr int kNoImportTarget = 87;  // no target account in the data set
inline constexpr int kCsvRowMalformed = -1;
inline constexpr int kQifTransactionUnclosed = -2;
inline constexpr int kQifCategoryUnclosed = -3;
inline constexpr int kQifClassUnclosed = -4;
inline constexpr int kQifAccountUnclosed = -5;

// The account name an importer keeps (from the file title or the file).
inline constexpr std::size_t kImportAccountNameMax = 25;
// A category part longer than this (before a "/") sets no category.
inline constexpr std::size_t kCategoryPartMax = 64;

// Messages of an import (res/strings.txt).
// "%s": the file; "%d": the line.
inline constexpr int kStringImportStopped = 3100;
// "%s": the file; "%d": the Windows error.
inline constexpr int kStringImportUnreadable = 3101;
// "%d": how many; "%s": the file.
inline constexpr int kStringImportBadAmounts = 3102;
// "%s": the account; "%d": the Windows error.
inline constexpr int kStringImportSaveFailed = 3103;

// The type id of a type code 1-7 (check, withdrawal, deposit, charge,
// payment, ATM, EFT); none for any other code.
RecordId TypeIdOfCode(int code);

class CImporterExporter {
  public:
    CImporterExporter() = default;
    virtual ~CImporterExporter();
    CImporterExporter(const CImporterExporter&) = delete;
    CImporterExporter& operator=(const CImporterExporter&) = delete;

    // Not owned.
    CAccounts* GetAccounts() const { return accounts_; }
    void SetAccounts(CAccounts* accounts) { accounts_ = accounts; }
    // Importers only; not owned. Must be an account of the data set.
    CAccount* GetTargetAccount() const { return target_; }
    void SetTargetAccount(CAccount* account) { target_ = account; }
    // 0-5 (date_text.h); the preference "ImportExport Date Format".
    int GetDateLayout() const { return dateLayout_; }
    void SetDateLayout(int layout) { dateLayout_ = layout; }
    // kNumberFormatPoint or kNumberFormatComma.
    int GetNumberFormat() const { return numberFormat_; }
    void SetNumberFormat(int format) { numberFormat_ = format; }

    // Told every kRecordProgressStep records that an import adds or an
    // export writes; none by default.
    void SetProgress(RecordProgress progress) {
        progress_ = RecordProgressCounter(std::move(progress));
    }

    // The output file. With create it is created or emptied, otherwise
    // opened or created and written at its end. 0 or the Windows error.
    int OpenOutputFile(const std::string& path, bool create);
    // 0 or the Windows error (kInvalidHandle without an open file). Writes
    // are gathered: a failure may show at a later write or at the close.
    int WriteText(std::string_view text);
    // Closes the file when one is open: 0 or the first Windows error of its
    // writes.
    int CloseFileHandle();
    bool HasOutputFile() const { return output_.IsOpen(); }

    // The texts in this object's layout and number format.
    std::string DateText(PalmTime date) const;
    std::optional<PalmTime> ParseDate(std::string_view text) const;
    std::string AmountText(Cents amount) const;
    // The amount negated for an outflow type.
    std::string SignedAmountText(Cents amount, const RecordId& typeId) const;
    Cents ParseAmount(std::string_view text) const;

    // Empty without a category; otherwise the "Parent:Child" path or, for an
    // account's id, "[name]"; then "/" and the class name when the class id
    // names a class (also without a category).
    std::string CategoryText(const RecordId& category, const RecordId& classId) const;

    // Reads "category/class" (classId null: no class part is looked for).
    // "[name]" names an account: found by name ignoring case (file-name
    // characters compared as the account files hold them) or made in the
    // data folder; the target account itself sets no category, so the file
    // cannot make a transfer of an account into itself. Other texts find or
    // make their "Parent:Child" category and the class. 0, or
    // kAccountFileFailed when a new account cannot get its file.
    int ParseCategoryText(std::string_view text, RecordId& category, RecordId* classId);

  protected:
    // A "[name]" text made this account (already in the data set).
    virtual void OnAccountCreated(CAccount& account);
    // One more record of the current import or export.
    void CountRecord() { progress_.Count(); }
    void ResetRecordCount() { progress_.Reset(); }
    const RecordProgress& GetProgress() const { return progress_.Callback(); }

  private:
    int ResolveAccountText(std::string_view text, RecordId& category);

    OutputFile output_;
    RecordProgressCounter progress_;
    CAccounts* accounts_ = nullptr;
    CAccount* target_ = nullptr;
    int dateLayout_ = kDefaultDateLayout;
    int numberFormat_ = kNumberFormatPoint;
};

class CExporter : public CImporterExporter {
  public:
    // Writes one transaction of the exported account. 0 or the error.
    virtual int WriteTransaction(const CTransaction& t) = 0;
    // Written once before an account's transactions; nothing by default.
    virtual int WriteAccountHeader(const CAccount& account);

    // Creates (or empties) the file at path and writes the account header
    // and the given transactions of account, in order, then closes it. The
    // first error ends the export and is returned.
    int ExportTransactions(const std::string& path, const CAccount& account,
                           std::span<const CTransaction* const> transactions);
    // All the account's register transactions, in register order.
    int ExportAccount(const std::string& path, const CAccount& account);
};

class CImporter : public CImporterExporter {
  public:
    // Where the import goes when the file names an account that the data
    // set does not hold. The desktop asks the user; tests answer directly.
    class MTargetChooser {
      public:
        virtual ~MTargetChooser() = default;
        // The account to import into: an existing account or a new one
        // that the chooser made and inserted into accounts; nullptr gives up
        // the import.
        virtual CAccount* ChooseImportAccount(CAccounts& accounts,
                                              std::string_view accountName) = 0;
        // The data set gained an account (the accounts pane refreshes).
        virtual void AccountsChanged() {}
    };

    // Reads the file into the data set. 0, a Windows error, or 1. A format
    // error keeps what was read before it, is reported with its line
    // through the error sink and gives 0 (GetFormatError tells).
    virtual int Import(const std::string& path) = 0;
    // Makes the account of this name the target. The base keeps the target
    // it was given: 0.
    virtual int ChooseTargetAccount(std::string_view accountName, Cents openingBalance);
    // Whether the file says itself which accounts it fills; base: false.
    virtual bool NamesOwnAccounts(const std::string& path);

    // At most 25 characters are kept.
    const std::string& GetAccountName() const { return accountName_; }
    void SetAccountName(std::string_view name);
    // The file's title, without folder and extension, cut to 25.
    void SetDefaultAccountName(const std::string& path);
    Cents GetOpeningBalance() const { return openingBalance_; }
    bool HasOpeningBalance() const { return balanceRead_; }
    void SetOpeningBalance(Cents amount) {
        openingBalance_ = amount;
        balanceRead_ = true;
    }
    void ClearOpeningBalance() {
        openingBalance_ = 0;
        balanceRead_ = false;
    }

    // Not owned; null: no one to ask.
    MTargetChooser* GetTargetChooser() const { return chooser_; }
    void SetTargetChooser(MTargetChooser* chooser) { chooser_ = chooser; }

    // What the last Import met: the error that stopped it at a line of the
    // file (0 none; a format error, or 1 for an account that could not get
    // its file) and that 1-based line, the transactions added, and the
    // amounts that held no number and were read as 0.
    int GetFormatError() const { return formatError_; }
    std::size_t GetStopLine() const { return stopLine_; }
    std::size_t GetImportedCount() const { return imported_; }
    std::size_t GetUnreadAmountCount() const { return unreadAmounts_; }

  protected:
    // Clears what the last import met; call at the start of Import.
    void BeginImport(const std::string& path);
    // Adds the record to the target account. Transfer mirrors go into the
    // other accounts unsaved; FinishImport saves each of them once. With
    // mirrors, a transfer that this import booked already from the other
    // account's records is booked once (CAccounts::AddImportedTransaction)
    // and not counted.
    int AddTransaction(const ImportRecord& record, ImportMirrors* mirrors = nullptr);
    // For an importer that adds through another path (OFX statements).
    void SetImportedCount(std::size_t count) { imported_ = count; }
    // The file being imported as messages name it.
    std::string ImportFileName() const;
    // ParseAmount, counting a text that holds no number.
    Cents ReadAmount(std::string_view text);
    // Starts the import of path and reports that the file could not be read
    // (code, the Windows error); returns code.
    int ReportUnreadable(const std::string& path, int code);
    // Notes the error that stopped the import at line and reports it (once
    // per import).
    void StopAt(int code, std::size_t line);
    // Saves the other accounts the import changed or made, once each, and
    // reports the amounts read as 0. The target is left to the caller. The
    // result, negative ones included, mapped as Import returns it: a format
    // error gives 0 unless a save failed (its Windows error).
    int FinishImport(int result);
    // Saves the changed other accounts now (before the target moves).
    int SavePendingAccounts();

    void OnAccountCreated(CAccount& account) override;

  private:
    void NotePending(CAccount* account);

    std::string accountName_;
    Cents openingBalance_ = 0;
    bool balanceRead_ = false;
    MTargetChooser* chooser_ = nullptr;

    std::string path_;
    int formatError_ = 0;
    std::size_t stopLine_ = 0;
    std::size_t imported_ = 0;
    std::size_t unreadAmounts_ = 0;
    std::vector<CAccount*> pending_;
};

}  // namespace tallowmere::exchange
