#include "ui/logic/page_commands.h"

#include "model/accounts.h"
#include "model/category.h"
#include "model/chart.h"
#include "model/class_item.h"
#include "model/payee.h"
#include "model/report.h"
#include "model/transaction.h"
#include "ui/logic/command_id.h"
#include "ui/logic/view_pages.h"

namespace tallowmere::ui {
namespace {

constexpr int kPageRegister = 0;
constexpr int kPageReports = 1;
constexpr int kPageBudgets = 2;
constexpr int kPageReconcile = 3;

CommandState EnabledOn(bool enabled) {
    return CommandState{enabled, false};
}

}  // namespace

std::optional<CommandState> PageCommandState(int id, int page) {
    const bool reportPage = page == kPageReports || page == kPageBudgets;
    switch (id) {
        case view_id::kDetails:
        case kCommandReportDetails:
            return EnabledOn(reportPage);
        case ToInt(CommandId::kEditTransaction):
            if (reportPage)
                return EnabledOn(true);
            return std::nullopt;
        case view_id::kSetBudget:
        case kCommandSetBudgetAmount:
            return EnabledOn(page == kPageBudgets);
        case view_id::kMarkAll:
        case view_id::kUnmarkAll:
        case view_id::kDone:
            return EnabledOn(page == kPageReconcile);
        case ToInt(CommandId::kUpcomingTransactions):
            return EnabledOn(page == kPageRegister);
        default:
            return std::nullopt;
    }
}

CReportItem* ChosenReportRow(const CReport& report, const CChart& chart, bool chartMode,
                             int selectedCount, int firstSelected) {
    if (chartMode) {
        const int slice = chart.GetSelected();
        return slice < 0 ? nullptr : chart.GetItemData(slice);
    }
    if (selectedCount != 1 || firstSelected < 0)
        return nullptr;
    return report.GetItem(static_cast<std::size_t>(firstSelected));
}

bool CanHoldBudget(const CAccounts& data, const CReportItem& row) {
    if (row.IsSubTotal() || row.IsOther() || row.IsUnassigned())
        return false;
    switch (row.GetKind()) {
        case kReportByPayee:
            return !CPayeeItem::StoredName(row.GetName()).empty();
        case kReportByCategory:
            return !row.GetId().IsNull() && row.GetId() != SplitMarkerId &&
                   data.Categories().FindById(row.GetId()) != nullptr;
        case kReportByClass:
            return !row.GetId().IsNull() && data.Classes().FindClass(row.GetId()) != nullptr;
        default:
            return false;
    }
}

BudgetAmountResult SetRowBudget(CReport& report, const CAccounts& data, const CReportItem& row,
                                const BudgetAmountEditor& edit) {
    if (!CanHoldBudget(data, row))
        return BudgetAmountResult::kRefused;
    Cents budget = report.GetItemBudget(row, false);
    if (!edit || !edit(row.GetLabel(), budget))
        return BudgetAmountResult::kCancelled;
    // A list whose save fails reports it itself.
    return report.SetItemBudget(row, budget) == 0 ? BudgetAmountResult::kStored
                                                  : BudgetAmountResult::kFailed;
}

}  // namespace tallowmere::ui
