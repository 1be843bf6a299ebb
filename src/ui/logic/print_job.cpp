#include "ui/logic/print_job.h"

#include "model/account.h"
#include "model/accounts.h"
#include "model/preferences.h"
#include "model/report.h"

namespace tallowmere::ui {
namespace {

constexpr std::int64_t kReconcileFilter = 2;

}  // namespace

PrintJob MakePrintJob(const CAccounts& data, const PrintViewState& view) {
    PrintJob job;
    job.data = &data;
    job.report = view.report;
    switch (view.page) {
        case kPageReports:
            job.kind = kPrintReport;
            if (view.report != nullptr && !view.report->GetAccountId().IsNull())
                job.account = data.FindAccountById(view.report->GetAccountId());
            job.pie = view.chartMode;
            job.symbol = data.GetHomeCurrencySymbol();
            job.columns = LoadShowColumnsReport();
            break;
        case kPageBudgets:
            job.kind = kPrintBudget;
            job.symbol = data.GetHomeCurrencySymbol();
            job.columns = LoadShowColumnsBudget();
            break;
        case kPageReconcile:
            job.kind = kPrintReconcile;
            job.account = view.currentAccount;
            job.filter = kReconcileFilter;
            job.balanceKind = 0;
            break;
        default:
            job.kind = kPrintRegister;
            job.account = view.currentAccount;
            job.filter = view.registerFilter;
            job.balanceKind = view.registerBalanceType;
            break;
    }
    if (job.kind == kPrintRegister || job.kind == kPrintReconcile) {
        job.symbol = job.account != nullptr ? job.account->GetCurrencySymbol()
                                            : data.GetHomeCurrencySymbol();
        job.columns = LoadShowColumnsRegister();
    }
    return job;
}

}  // namespace tallowmere::ui
