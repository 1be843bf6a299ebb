#include "ui/logic/report_details_logic.h"

#include <algorithm>

#include "model/accounts.h"
#include "model/string_table.h"
#include "platform/text_1252.h"

namespace tallowmere::ui {

std::array<DetailColumn, 5> ReportDetailColumns(bool payeeColumn) {
    return {{
        {0, 0, 25},
        {2, 200, 75},
        {3, 201, 60},
        payeeColumn ? DetailColumn{4, 202, 115} : DetailColumn{5, 203, 115},
        {8, 205, 85},
    }};
}

bool DetailShowsPayee(const CReport& report) {
    return report.GetGroupBy() != kReportByPayee;
}

DetailAmountRule DetailAmountRuleFor(const CReportItem& row) {
    return {row.GetKind(), row.IsSubTotal() || row.IsOther(), row.GetId()};
}

std::string DetailHeadingText(const std::string& label) {
    // Not a printf format: a label may hold '%'.
    std::string text = LoadString(kStringDetailFor);
    const std::size_t at = text.find("%s");
    if (at != std::string::npos)
        text.replace(at, 2, label);
    return text;
}

ReportDetailsLogic::ReportDetailsLogic(DataSetSource data, CReport& report, const CReportItem& row,
                                       TransactionDialogRunner& runner)
    : data_(std::move(data)),
      report_(report),
      row_(row),
      refs_(row.GetTransactions()),
      runner_(runner) {}

std::string ReportDetailsLogic::HeadingText() const {
    return DetailHeadingText(platform::Cp1252ToUtf8(row_.GetLabel()));
}

std::size_t ReportDetailsLogic::Prune() {
    std::erase_if(refs_, [this](const ReportTransactionRef& ref) {
        return report_.ResolveTransaction(ref) == nullptr;
    });
    return refs_.size();
}

CTransaction* ReportDetailsLogic::TransactionAt(std::size_t index) const {
    return index < refs_.size() ? report_.ResolveTransaction(refs_[index]) : nullptr;
}

CAccount* ReportDetailsLogic::AccountAt(std::size_t index) const {
    CAccounts* data = data_ ? data_() : nullptr;
    if (data == nullptr || index >= refs_.size())
        return nullptr;
    return data->FindAccountById(refs_[index].account);
}

void ReportDetailsLogic::Drop(const ReportTransactionRef& ref) {
    std::erase(refs_, ref);
}

bool ReportDetailsLogic::Edit(std::size_t index) {
    if (index >= refs_.size())
        return false;
    const std::size_t before = refs_.size();
    const ReportTransactionRef ref = refs_[index];
    CTransaction* t = TransactionAt(index);
    CAccount* account = AccountAt(index);
    if (t != nullptr && account != nullptr) {
        // The transaction's own account: a detail row gathers every account's.
        const TransactionDialogOutcome outcome = runner_.EditTransaction(*account, *t);
        if (outcome.code == kTransactionDialogGone) {
            Drop(ref);
        } else if (outcome.code == 1) {
            // Looked up again: the dialog may have replaced it.
            const CTransaction* edited = report_.ResolveTransaction(ref);
            if (edited != nullptr && !report_.IncludesTransaction(row_, ref.account, *edited))
                Drop(ref);
        }
    }
    // A Delete also takes mirrors with it, and the dialog may outlast a reload.
    Prune();
    return refs_.size() != before;
}

}  // namespace tallowmere::ui
