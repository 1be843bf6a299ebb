#pragma once
// "Select Account" (dialog 185) apart from its widgets: the account an
// import goes into, a new one with the typed name or one of the data set's
// accounts. A new account gets its file path in the data folder and is
// inserted in name order; the import writes it.
#include <string>
#include <string_view>
#include <vector>

#include "model/record_id.h"
#include "ui/logic/messages.h"
#include "ui/logic/ok_result.h"

namespace tallowmere {
class CAccount;
class CAccounts;
}  // namespace tallowmere

namespace tallowmere::ui {

inline constexpr int kImportNewRadio = 1164;
inline constexpr int kImportExistingRadio = 1166;
inline constexpr int kImportName = 1000;
inline constexpr int kImportList = 1100;

inline constexpr int kImportCreateNew = 0;
inline constexpr int kImportSelectExisting = 1;

inline constexpr int kStringInvalidAccountName = 167;
inline constexpr int kStringAccountNameTaken = 266;
inline constexpr int kStringImportCaption = 3527;

// The longest account name, in characters as the files hold them.
inline constexpr std::size_t kImportAccountNameLimit = 25;

struct ImportTargetForm {
    int choice = kImportCreateNew;     // -1 when no radio is checked
    std::string name;                  // UTF-8, as typed
    std::vector<std::string> entries;  // every account's file title, UTF-8
    std::vector<RecordId> ids;         // the same accounts
    int listIndex = -1;                // the selected entry; -1 for none
};

// The list in the data set's order, the name preset (Windows-1252, as the
// importer keeps it), and preselect's entry selected.
ImportTargetForm OpenImportTarget(const CAccounts& data, std::string_view presetName,
                                  const CAccount* preselect, int choice = kImportCreateNew);

// Which of the two controls takes input: the name for a new account, the
// list otherwise.
inline bool ImportNameEnabled(const ImportTargetForm& form) {
    return form.choice != kImportSelectExisting;
}
inline bool ImportListEnabled(const ImportTargetForm& form) {
    return form.choice == kImportSelectExisting;
}

// What a new account asks of the view.
class ImportTargetHost {
  public:
    virtual ~ImportTargetHost() = default;
    // The data set gained an account: the accounts pane shows it.
    virtual void AccountsChanged() = 0;
};

// OK. Existing: the selected entry's account (still in the data set) is
// chosen; without one nothing happens. New: 1 to 25 characters that make a
// file name (else 167), no account of that name in any letter case (266),
// then the account with its file path (a failure shows the file error and
// keeps the dialog) inserted in name order. *chosen is set when it closes.
OkResult AcceptImportTarget(CAccounts& data, const ImportTargetForm& form, Messages& messages,
                            ImportTargetHost* host, CAccount*& chosen);

}  // namespace tallowmere::ui
