#pragma once
// "Transaction Info" (dialog 133) apart from its widgets: a new transaction
// or a private copy of a stored one, the payee memory, the check number of
// the check type, the splits and currency-conversion dialogs and the list
// editors reached from it, and the OK that hands the copy to the account.
//
// The dialog acts on the account given to it (the register's current
// account, the account that holds a report row, a scheduled item's
// account). OK checks and resolves everything before it makes a category or
// class or touches the account, and only after the add or replace has gone
// through does it remember the date and the check number and memorise the
// payee, so a refused OK, or Cancel after one, leaves no trace.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/accounts.h"
#include "model/palm_time.h"
#include "model/record_id.h"
#include "model/transaction.h"
#include "ui/logic/category_text.h"
#include "ui/logic/convert_currency_logic.h"
#include "ui/logic/dialog_step.h"
#include "ui/logic/messages.h"
#include "ui/logic/splits_dialog_logic.h"

namespace tallowmere::ui {

inline constexpr int kTransDate = 1001;
inline constexpr int kTransPayee = 1003;
inline constexpr int kTransType = 1004;
inline constexpr int kTransCheckLabel = 1013;
inline constexpr int kTransCheckNumber = 1005;
inline constexpr int kTransAmount = 1006;
inline constexpr int kTransCategory = 1007;
inline constexpr int kTransClass = 1151;
inline constexpr int kTransMemo = 1010;
inline constexpr int kTransStatus = 1008;
inline constexpr int kTransIcon = 1017;
inline constexpr int kTransPayeesButton = 1136;
inline constexpr int kTransCategoriesButton = 1137;
inline constexpr int kTransClassesButton = 1139;
inline constexpr int kTransCurrencyButton = 1138;
inline constexpr int kTransDelete = 101;
inline constexpr int kTransPurge = 1150;
inline constexpr int kTransSplit = 3;

// The dialog's own results besides OK (1) and Cancel (2).
inline constexpr int kTransactionGone = 101;

inline constexpr int kStringNeedAmount = 171;
inline constexpr int kStringChangeAtSource = 147;
inline constexpr int kStringDeleteAtSource = 178;
inline constexpr int kStringAskDelete = 140;
inline constexpr int kStringAskPurge = 195;
inline constexpr int kStringRecord = 241;
inline constexpr int kStringOk = 3371;
// The prompt of a check number that is no whole number.
inline constexpr int kStringEnterInteger = 3470;

// The largest check number the field takes.
inline constexpr std::uint32_t kMaxCheckNumber = 0x7FFFFFFF;

struct TransactionTypeEntry {
    RecordId id;
    std::string text;  // UTF-8, a numbered type's trailing "#" cut
};

// The controls' values, UTF-8 as the widgets hold them.
struct TransactionForm {
    PalmTime day = 0;  // the picker's day at 00:00:00
    std::string payee;
    int typeIndex = -1;  // into TypeEntries(); -1 when there is none
    std::string checkNumber;
    std::string amount;
    std::string category;
    std::string classText;
    std::string memo;
    int status = 0;  // 0 uncleared, 1 cleared, 2 reconciled, 3 void
    // Shown or enabled states.
    bool checkShown = false;      // 1013 and 1005
    bool categoryEnabled = true;  // 1007 and 1151: off while split
    bool deleteShown = false;     // 101 and 1150
    std::string okText;           // "OK", or "Record" in record mode
};

// The dialogs reached from this one; the widget layer runs them, tests
// script them.
class TransactionSubDialogs {
  public:
    virtual ~TransactionSubDialogs() = default;
    // The list editors; each answers the name chosen in it (UTF-8), empty
    // when none was chosen.
    virtual std::string EditPayees() = 0;
    virtual std::string EditCategories() = 0;
    virtual std::string EditClasses() = 0;
    // 1 on OK, io then holds the dialog's result; otherwise io is as it was.
    virtual int RunSplits(const CAccount& target, SplitsData& io) = 0;
    virtual int RunConvertCurrency(CurrencyId target, bool newTransaction,
                                   ConvertCurrencyData& io) = 0;
};

// What the dialog asks of the view around it.
class TransactionViewHost {
  public:
    virtual ~TransactionViewHost() = default;
    // After a save, Delete or Purge.
    virtual void RefreshPanes() = 0;
};

// What an event changed besides the form's values.
struct TransactionEvent {
    bool changed = false;  // push the form
    bool refill = false;   // the combos' entries changed too
    int focusId = 0;       // then focus this control, its text selected
};

class TransactionDialogLogic {
  public:
    // target: the account the transaction belongs to or is entered into.
    // stored: the transaction to edit (in target), or, in record mode, the
    // occurrence the caller built; null for a new one. The references must
    // outlive the dialog.
    TransactionDialogLogic(CAccounts& data, CAccount& target, const CTransaction* stored,
                           Messages& messages, TransactionSubDialogs& dialogs,
                           TransactionViewHost* host = nullptr);

    // An occurrence of a scheduled transaction: the copy is always added,
    // OK reads "Record", Delete and Purge are hidden. Before Open.
    void SetRecordMode(bool on) { recordMode_ = on; }
    bool IsRecordMode() const { return recordMode_; }

    // Fills the entries and the form.
    void Open();

    const std::vector<TransactionTypeEntry>& TypeEntries() const { return types_; }
    const std::vector<std::string>& PayeeEntries() const { return payees_; }
    const std::vector<std::string>& CategoryEntries() const { return categories_; }
    const std::vector<std::string>& ClassEntries() const { return classes_; }
    // The four status texts come with the dialog (resource order).
    TransactionForm& Form() { return form_; }
    const TransactionForm& Form() const { return form_; }
    bool IsNew() const { return stored_ == nullptr; }
    bool IsSplit() const { return split_; }
    const CTransaction& WorkingCopy() const { return working_; }

    // The icon of the category text (64 while split), for area 1017.
    std::uint16_t CategoryIcon() const;

    // Events; the shell pulls the form before each one.
    TransactionEvent OnTypeChanged();
    // Tab (or Shift+Tab) in the payee field: true when the memory filled the
    // fields, which claims the key (the focus goes to the amount).
    bool OnPayeeTab(TransactionEvent* event);
    // The user chose entry index of the payee combo.
    TransactionEvent OnPayeeChosen(int index);
    TransactionEvent OnEditPayees();
    TransactionEvent OnEditCategories();
    TransactionEvent OnEditClasses();
    TransactionEvent OnConvertCurrency();
    TransactionEvent OnSplits();

    // OK: close with 1 after a save or an unchanged OK; otherwise stay with
    // the focus on the field that failed.
    DialogStep Ok();
    // Delete and Purge: close with 101 when the transaction is gone.
    DialogStep Delete();
    DialogStep Purge();

  private:
    void FillEntries();
    int TypeIndexOf(const RecordId& id) const;
    RecordId SelectedTypeId() const;
    void UpdateCheckShown();
    // The memorised category (or split lines) and class of payee.
    void FillCategoryFrom(const CPayeeItem& payee);
    bool FillFromPayee(const std::string& text);
    DialogStep Refuse(int stringId, int focusId);
    DialogStep RemoveStored(bool purge);
    // A save's result: a failure the saver did not show itself is shown.
    void ShowSaveFailure(int result);

    CAccounts& data_;
    CAccount& target_;
    const CTransaction* stored_;
    Messages& messages_;
    TransactionSubDialogs& dialogs_;
    TransactionViewHost* host_;
    bool recordMode_ = false;
    bool split_ = false;

    CTransaction working_;
    std::vector<TransactionTypeEntry> types_;
    std::vector<std::string> payees_;
    std::vector<std::string> categories_;
    std::vector<std::string> classes_;
    TransactionForm form_;
};

}  // namespace tallowmere::ui
