#pragma once
// What the main view's page prints: the view's state turned into a print job
// (the account, filter and closing balance of a register, the report and its
// pie, the currency symbol and the page's column set).
#include <cstdint>

#include "ui/logic/print_pages.h"

namespace tallowmere {
class CAccount;
class CAccounts;
class CReport;
}  // namespace tallowmere

namespace tallowmere::ui {

// The view's pages.
inline constexpr int kPageRegister = 0;
inline constexpr int kPageReports = 1;
inline constexpr int kPageBudgets = 2;
inline constexpr int kPageReconcile = 3;

struct PrintViewState {
    int page = kPageRegister;
    // The account of the register (none: an empty register).
    const CAccount* currentAccount = nullptr;
    std::int64_t registerFilter = 0;
    // What the register's account read-out shows ("BalanceType - 1").
    std::int64_t registerBalanceType = 0;
    // The report of the Reports and Budgets pages.
    const CReport* report = nullptr;
    // The Reports page shows the pie.
    bool chartMode = false;
};

// Register: the current account under the register's filter, closing with
// the read-out's balance, in the account's currency. Reconcile: the same
// account under filter 2 closing with the current balance. Reports: the
// report, on the account it covers (none: all), as a pie in chart mode.
// Budgets: the report, no account. Reports and budgets are in the home
// currency. The column sets come from the preferences: the register's for
// Register and Reconcile, else the page's own. Any other page prints as
// Register.
PrintJob MakePrintJob(const CAccounts& data, const PrintViewState& view);

}  // namespace tallowmere::ui
