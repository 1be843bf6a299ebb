#include "ui/report_detail_ctrl.h"

#include <QTimer>

#include "model/accounts.h"
#include "model/report.h"
#include "ui/cell_painter.h"

namespace tallowmere::ui {

CReportDetailCtrl::CReportDetailCtrl(CAccounts* data, QWidget* parent)
    : CTransactionListCtrl(data, parent) {}

CReportDetailCtrl::~CReportDetailCtrl() = default;

void CReportDetailCtrl::SetDetail(const CReport* report,
                                  const std::vector<ReportTransactionRef>* refs,
                                  const DetailAmountRule& rule) {
    report_ = report;
    refs_ = refs;
    rule_ = rule;
    SetItemCount(0);
    viewport()->update();
}

void CReportDetailCtrl::ResetItemCount() {
    SetItemCount(refs_ != nullptr ? static_cast<int>(refs_->size()) : 0);
}

const ReportTransactionRef* CReportDetailCtrl::RefAt(int row) const {
    if (refs_ == nullptr || row < 0 || static_cast<std::size_t>(row) >= refs_->size())
        return nullptr;
    return &(*refs_)[static_cast<std::size_t>(row)];
}

void CReportDetailCtrl::NoteStaleRow() const {
    if (stalePending_)
        return;
    stalePending_ = true;
    // Not while painting: the owner changes the count in answer.
    auto* self = const_cast<CReportDetailCtrl*>(this);
    QTimer::singleShot(0, self, [self] {
        self->stalePending_ = false;
        emit self->staleRowSeen();
    });
}

void* CReportDetailCtrl::GetItemObject(int row) const {
    const ReportTransactionRef* ref = RefAt(row);
    if (ref == nullptr || report_ == nullptr)
        return nullptr;
    CTransaction* t = report_->ResolveTransaction(*ref);
    if (t == nullptr)
        NoteStaleRow();
    return t;
}

const CAccount* CReportDetailCtrl::RowAccount(int row) const {
    const ReportTransactionRef* ref = RefAt(row);
    const CAccounts* data = GetDataSet();
    return ref != nullptr && data != nullptr ? data->FindAccountById(ref->account) : nullptr;
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
