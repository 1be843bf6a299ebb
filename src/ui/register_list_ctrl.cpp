#include "ui/register_list_ctrl.h"

#include <QMouseEvent>
#include <QStyle>

#include "model/account.h"
#include "model/report.h"

namespace tallowmere::ui {

namespace {

constexpr int kReconcileFilter = 2;

}  // namespace

CRegisterListCtrl::CRegisterListCtrl(CAccounts* data, QWidget* parent)
    : CTransactionListCtrl(data, parent) {}

CRegisterListCtrl::~CRegisterListCtrl() = default;

void CRegisterListCtrl::ForgetRows() {
    rows_.Clear();
    viewport()->update();
}

void CRegisterListCtrl::SetDataSet(CAccounts* data) {
    account_ = nullptr;
    ForgetRows();
    CTransactionListCtrl::SetDataSet(data);
}

void CRegisterListCtrl::SetMode(int mode) {
    ForgetRows();
    CTransactionListCtrl::SetMode(mode);
}

void CRegisterListCtrl::SetAccount(CAccount* account) {
    account_ = account;
    ForgetRows();
}

void CRegisterListCtrl::SetFilter(int filter) {
    filter_ = filter;
    ForgetRows();
}

void CRegisterListCtrl::ResetItemCount() {
    if (IsRegisterMode()) {
        rows_.Build(account_, GetMode() == kModeReconcile ? kReconcileFilter : filter_);
        SetItemCount(static_cast<int>(rows_.Count()));
        return;
    }
    rows_.Clear();
    const CReport* report = GetReport();
    SetItemCount(report != nullptr ? static_cast<int>(report->GetItemCount()) : 0);
}

void* CRegisterListCtrl::GetItemObject(int row) const {
    if (IsRegisterMode())
        return row < 0 ? nullptr : rows_.At(static_cast<std::size_t>(row));
    // A count not yet reset after a recompute reads past the rows: none.
    const CReport* report = GetReport();
    if (report == nullptr || row < 0)
        return nullptr;
    return report->GetItem(static_cast<std::size_t>(row));
}

CTransaction* CRegisterListCtrl::GetTransactionAt(int row) const {
    return IsRegisterMode() ? static_cast<CTransaction*>(GetItemObject(row)) : nullptr;
}

int CRegisterListCtrl::FindTransactionRow(const RecordId& id) const {
    return IsRegisterMode() ? rows_.IndexOfId(id) : -1;
}

CReportItem* CRegisterListCtrl::GetReportRowAt(int row) const {
    return IsRegisterMode() ? nullptr : static_cast<CReportItem*>(GetItemObject(row));
}

const CAccount* CRegisterListCtrl::RowAccount(int) const {
    return account_;
}

Cents CRegisterListCtrl::RowBalance(int row) const {
    return row < 0 ? 0 : rows_.BalanceAt(static_cast<std::size_t>(row));
}

std::vector<PageColumn> CRegisterListCtrl::SetPageColumns(ListPage page, const CShowColumns& stored,
                                                          int groupBy) {
    CShowColumns set = ValidPageColumns(page, stored);
    if (!IsPageColumnId(page, 0) && groupBy != kGroupByCategory) {
        const int icon = set.IndexOfId(20);
        if (icon >= 0)
            set.SetVisible(icon, false);
    }
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const std::vector<PageColumn> columns = VisiblePageColumns(set, GetClientWidth() - scrollBar);
    DeleteAllColumns();
    int position = 0;
    for (const PageColumn& column : columns) {
        InsertColumnById(position, column.id, ColumnTitleStringId(page, column.id, groupBy),
                         column.width);
        ++position;
    }
    return columns;
}

void CRegisterListCtrl::OnContextMenu(const QPoint& globalPos) {
    if (GetOwnerView() != nullptr)
        GetOwnerView()->ShowRegisterPopupMenu(globalPos);
}

void CRegisterListCtrl::OnItemDoubleClicked(int row) {
    emit rowDoubleClicked(row);
}

void CRegisterListCtrl::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    // The column under the click counts the sideways scroll, so a click on a
    // payee is never read as one on the status cell.
    if (event->button() == Qt::LeftButton && IsRegisterMode() && GetOwnerView() != nullptr &&
        GetColumnAtX(at.x()) == 0) {
        const int row = HitTestRow(at);
        CTransaction* t = GetTransactionAt(row);
        const RecordId id = t != nullptr ? t->GetId() : kNoneId;
        if (t != nullptr && GetOwnerView()->ToggleTransactionStatus(GetMode(), *t)) {
            // The toggle may have sorted or filtered the rows again: the
            // transaction's row now, none when the filter hides it.
            SetSelection(FindTransactionRow(id), true);
            viewport()->update();
            event->accept();
            return;
        }
    }
    CTransactionListCtrl::mousePressEvent(event);
}

}  // namespace tallowmere::ui
