#pragma once
// "Report Detail" (dialog 144) apart from its widgets: the transactions
// behind one report row, each opened in the transaction dialog on its own
// account. The dialog keeps a copy of the row (its label and the
// references to its transactions), never the report's row itself, and
// looks each reference up again whenever it is shown or edited: a
// reference whose transaction is gone is dropped.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "model/report.h"
#include "ui/logic/data_set_source.h"
#include "ui/logic/transaction_cells.h"
#include "ui/logic/transaction_dialog_runner.h"

namespace tallowmere::ui {

inline constexpr int kDetailHeading = 1067;
inline constexpr int kDetailList = 1065;
inline constexpr int kDetailEdit = 1004;

// Texts of the dialog (res/strings.txt).
inline constexpr int kStringDetailCaption = 3500;
inline constexpr int kStringDetailFor = 3501;  // "Detail for %s"

struct DetailColumn {
    std::uint16_t columnId;
    int titleStringId;  // 0: no title
    int width;
};

// Status, date, type, payee (payeeColumn) or category, amount.
std::array<DetailColumn, 5> ReportDetailColumns(bool payeeColumn);

// The column flag the view passes: a report by category or class lists the
// payees, a report by payee the categories.
bool DetailShowsPayee(const CReport& report);

// How the amount column shows a split: the lines of the row's category or
// class, except on a sub-total or "Other" row, which gathers several.
DetailAmountRule DetailAmountRuleFor(const CReportItem& row);

// "Detail for %s" with the label (UTF-8) put in as it is, '%' included.
std::string DetailHeadingText(const std::string& label);

class ReportDetailsLogic {
  public:
    // The report must outlive the dialog (the view keeps it across reloads);
    // row is copied.
    ReportDetailsLogic(DataSetSource data, CReport& report, const CReportItem& row,
                       TransactionDialogRunner& runner);

    // The heading, UTF-8.
    std::string HeadingText() const;

    // Drops the references whose transaction is gone; the number left.
    std::size_t Prune();
    // The references the list shows (after the last Prune or edit).
    const std::vector<ReportTransactionRef>& Refs() const { return refs_; }
    // The row's transaction and its account now; null when gone.
    CTransaction* TransactionAt(std::size_t index) const;
    CAccount* AccountAt(std::size_t index) const;

    // Edit is enabled exactly when one row is selected.
    static bool EditEnabled(int selectedRow) { return selectedRow >= 0; }

    // Opens row index in the transaction dialog on its own account. After an
    // OK the report checks that the transaction still belongs to the row; a
    // transaction that left the row, was deleted or purged (101), or is gone
    // is dropped. True when the rows changed (the count is to be reset).
    bool Edit(std::size_t index);

  private:
    void Drop(const ReportTransactionRef& ref);

    DataSetSource data_;
    CReport& report_;
    CReportItem row_;
    std::vector<ReportTransactionRef> refs_;
    TransactionDialogRunner& runner_;
};

}  // namespace tallowmere::ui
