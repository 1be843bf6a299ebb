#pragma once
// The commands of the Reports, Budgets and Reconcile pages apart from their
// widgets: which of them the view answers on which page, the report row
// that Details and Set Budget Amount act on, which rows can hold a budget,
// and setting a row's budget through the amount dialog.
#include <functional>
#include <optional>
#include <string_view>

#include "model/money.h"
#include "ui/logic/command_router.h"

namespace tallowmere {
class CAccounts;
class CChart;
class CReport;
class CReportItem;
}  // namespace tallowmere

namespace tallowmere::ui {

// "You must select an item (and only one) to use this command."
inline constexpr int kStringSelectOneItem = 192;

// The report rows' pop-up items (menus 169 and 170).
inline constexpr int kCommandReportDetails = 32823;
inline constexpr int kCommandSetBudgetAmount = 32824;

// The state of a command these pages answer on the page (0-3): the page
// buttons on their pages, Edit on Reports and Budgets (it opens the row's
// details there), Upcoming Transactions on the Register page only. Nothing
// for every other command, and for Edit on the Register and Reconcile
// pages, which the register commands answer.
std::optional<CommandState> PageCommandState(int id, int page);

// The row the report commands act on: in chart mode the selected slice's
// row, else the one selected list row (selectedCount rows selected, the
// first at firstSelected). Null when there is no such row.
CReportItem* ChosenReportRow(const CReport& report, const CChart& chart, bool chartMode,
                             int selectedCount, int firstSelected);

// Whether a budget row has a list item to keep its budget in: not a
// sub-total, "Other" or "<Unassigned>" row, nor a payee row without a
// name, a category row of an account (a transfer) or the splits, nor a
// class row of a class that is gone. Storing a budget there would write
// nothing, or a nameless payee.
bool CanHoldBudget(const CAccounts& data, const CReportItem& row);

enum class BudgetAmountResult {
    kRefused,    // the row can hold no budget: nothing opened
    kCancelled,  // the dialog was cancelled: nothing stored
    kStored,     // the new budget is in the list's file
    kFailed,     // the list's save failed (the list reports it itself)
};

// The dialog: titled with the label (Windows-1252), opening with budget;
// true on OK with budget holding the amount entered.
using BudgetAmountEditor = std::function<bool(std::string_view label, Cents& budget)>;

// Set Budget Amount on a row: the dialog with the row's label and its
// monthly budget (not scaled to the period); OK stores the amount as the
// row's budget. After a failed save the new budget stays in memory, as
// other changes do. The report is to be computed again after kStored and
// kFailed.
BudgetAmountResult SetRowBudget(CReport& report, const CAccounts& data, const CReportItem& row,
                                const BudgetAmountEditor& edit);

}  // namespace tallowmere::ui
