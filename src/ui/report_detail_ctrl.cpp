#include "ui/report_detail_ctrl.h"

#include "model/accounts.h"
#include "model/report.h"
#include "ui/cell_painter.h"

namespace tallowmere::ui {

CReportDetailCtrl::CReportDetailCtrl(CAccounts* data, QWidget* parent)
    : CTransactionListCtrl(data, parent) {}

CReportDetailCtrl::~CReportDetailCtrl() = default;

void CReportDetailCtrl::SetDetail(const CReport* report, const CReportItem* row,
                                  const DetailAmountRule& rule) {
    report_ = report;
    row_ = row;
    rule_ = rule;
    rows_.clear();
    viewport()->update();
}

void CReportDetailCtrl::ResetItemCount() {
    rows_.clear();
    CAccounts* data = GetDataSet();
    if (report_ != nullptr && row_ != nullptr && data != nullptr) {
        for (const ReportTransactionRef& ref : row_->GetTransactions())
            rows_.push_back({data->FindAccountById(ref.account), report_->ResolveTransaction(ref)});
    }
    SetItemCount(static_cast<int>(rows_.size()));
}

void* CReportDetailCtrl::GetItemObject(int row) const {
    if (row < 0 || static_cast<std::size_t>(row) >= rows_.size())
        return nullptr;
    return rows_[static_cast<std::size_t>(row)].transaction;
}

const CAccount* CReportDetailCtrl::RowAccount(int row) const {
    if (row < 0 || static_cast<std::size_t>(row) >= rows_.size())
        return nullptr;
    return rows_[static_cast<std::size_t>(row)].account;
}

Cents CReportDetailCtrl::RowBalance(int row) const {
    const CAccount* account = RowAccount(row);
    const auto* t = static_cast<const CTransaction*>(GetItemObject(row));
    if (account == nullptr || t == nullptr)
        return 0;
    return account->GetRunningBalance(0, account->IndexOfTransactionId(0, t->GetId()));
}

void CReportDetailCtrl::DrawRegisterCell(QPainter& painter, const QRect& cell,
                                         std::uint16_t columnId, void* object, int row) const {
    if (columnId != 8) {
        CTransactionListCtrl::DrawRegisterCell(painter, cell, columnId, object, row);
        return;
    }
    const auto& t = *static_cast<const CTransaction*>(object);
    DrawListCell(painter, cell, DetailAmountCell(CellContext(row), rule_, t));
}

}  // namespace tallowmere::ui
