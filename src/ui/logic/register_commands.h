#pragma once
// The rules of the register's commands, without the toolkit: which commands
// are on for a page and selection, what Delete asks and removes, how a
// status changes, the row pop-up's entries (each carrying the record it
// stands for, so no entry can turn into another list's), the header sort
// and the balance read-outs.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/record_id.h"

namespace tallowmere {
class CAccounts;
class CShowColumns;
class CTransaction;
}  // namespace tallowmere

namespace tallowmere::ui {

// --- enabling ---

struct RegisterCommandContext {
    int page = 0;              // 0 Register, 1 Reports, 2 Budgets, 3 Reconcile
    int selectedRows = 0;      // in the register list
    int selectedAccounts = 0;  // in the accounts pane
    int accountCount = 0;      // in the data set
};

// The view's enabling of a menu command: Delete on Register and Reconcile
// with a row selected, Delete Account with one of two or more accounts
// chosen, Select All on Register and Reconcile, Copy, Cut and Paste never,
// the register-only commands on Register, every other command always.
bool ViewCommandEnabled(int commandId, const RegisterCommandContext& context);

// --- delete ---

inline constexpr int kStringDeleteOne = 140;
inline constexpr int kStringDeleteMany = 177;
inline constexpr int kStringSplitTransferCopy = 178;

struct DeletePlan {
    int refusedStringId = 0;    // 178: the one row chosen is a split's copy; nothing goes
    int questionStringId = 0;   // 140 or 177; 0 when nothing is asked
    std::vector<RecordId> ids;  // the rows to delete, in selection order, copies left out
};
// rows: the selected transactions in row order.
DeletePlan PlanDelete(const std::vector<const CTransaction*>& rows);

// The row to select after a delete: the row at the first selected index, or
// the new last row when that index is past the end; -1 with no rows.
int RowAfterDelete(int firstSelected, int rowCount);

// --- status ---

// The byte after setting status 0-3 (the reconcile mark cleared), or none
// when the status is already that.
std::optional<std::uint8_t> StatusAfterSet(std::uint8_t byte, int status);
// The byte after a click on the status cell: on the Register page open and
// cleared swap (the mark cleared), reconciled and void stay; on Reconcile
// the mark flips. None when nothing changes.
std::optional<std::uint8_t> StatusAfterClick(std::uint8_t byte, bool reconcilePage);

// --- the row pop-up ---

inline constexpr int kPopupStatusFirst = 32815;  // 32815-32818: status 0-3
inline constexpr int kPopupEdit = 32825;
inline constexpr int kRegisterMenu = 165;
inline constexpr int kReportsMenu = 169;
inline constexpr int kBudgetsMenu = 170;
inline constexpr int kBalanceMenu = 171;
// The positions of the three sub-menus in menu 165.
inline constexpr int kSetPayeePosition = 4;
inline constexpr int kSetCategoryPosition = 5;
inline constexpr int kSetClassPosition = 6;

enum class SetField { kPayee, kCategory, kClass };

struct PopupEntry {
    std::string text;   // Windows-1252, as shown
    std::string payee;  // the payee's name (payees)
    RecordId id;        // the category's or class's id
    bool checked = false;
};

struct RegisterPopup {
    int checkedStatus = -1;  // 0-3 when exactly one row is chosen
    std::vector<PopupEntry> payees;
    std::vector<PopupEntry> categories;  // full names
    std::vector<PopupEntry> classes;
};

// The live entries of the three lists in list order; the ones equal to the
// first selected transaction's payee (as text), category or class carry the
// check, none for an empty field.
RegisterPopup BuildRegisterPopup(const CAccounts& data,
                                 const std::vector<const CTransaction*>& selected);

// Applies a chosen entry to a transaction's copy. False when the entry no
// longer names a live record (the list changed meanwhile): nothing is set.
bool EntryStillLive(const CAccounts& data, SetField field, const PopupEntry& entry);
void ApplyEntry(SetField field, const PopupEntry& entry, CTransaction& t);

// --- sort ---

struct SortChoice {
    bool beep = false;  // the balance column cannot be sorted
    std::uint16_t column = 0;
    bool ascending = true;
};
// A click on a header column: the same column flips, another sorts
// ascending; the column id is the account's sort mode.
SortChoice SortAfterHeaderClick(std::uint16_t sortedColumn, bool ascending,
                                std::uint16_t clickedColumn);

// --- column widths ---

struct ShownColumnWidth {
    std::uint16_t id = 0;
    int width = 0;
};
// The widths the user gave the columns shown go into the page's set (none
// narrower than 24). True when any changed, so the set is to be saved.
bool StoreColumnWidths(CShowColumns& set, const std::vector<ShownColumnWidth>& shown);

// --- balance read-outs ---

// Labels 206 "Balance", 283 "Cleared", 293 "Online Balance" by type.
int BalanceTypeLabelId(int type);
// Menu 171's commands by type (32833, 32832, 32842), and back (-1).
int BalanceTypeCommand(int type);
int BalanceTypeOfCommand(int commandId);
// The account read-out (which 1) shows its type and the marker only with
// filter All; the net-worth read-out (which 0) always has the marker.
// Both labels are the type's with filter All, else "Balance".
bool ReadoutHasMarker(int which, int filter);
int ReadoutLabelId(int filter, int type);

}  // namespace tallowmere::ui
