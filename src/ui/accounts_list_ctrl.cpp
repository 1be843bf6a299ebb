#include "ui/accounts_list_ctrl.h"

#include <QEvent>
#include <QHeaderView>
#include <QPainter>

#include "model/accounts.h"
#include "platform/text_1252.h"
#include "ui/cell_painter.h"
#include "ui/icon_painter.h"

namespace tallowmere::ui {

namespace {

constexpr int kIconSide = 24;

}  // namespace

CAccountsListCtrl::CAccountsListCtrl(CAccounts* data, QWidget* parent)
    : COwnerListCtrl(parent), data_(data) {
    ApplyStyle(CAccountsListCtrl::GetCreateStyle());
    SetEvenRowColor(Qt::white);
    SetOddRowColor(Qt::white);
}

CAccountsListCtrl::~CAccountsListCtrl() = default;

void CAccountsListCtrl::SetDataSet(CAccounts* data) {
    data_ = data;
    viewport()->update();
}

void CAccountsListCtrl::SetIconPainter(const IconPainter* icons) {
    icons_ = icons;
    viewport()->update();
}

void CAccountsListCtrl::SetShowDecimals(bool show) {
    showDecimals_ = show;
    viewport()->update();
}

void CAccountsListCtrl::SetBalanceKind(int kind) {
    balanceKind_ = kind;
    viewport()->update();
}

void CAccountsListCtrl::ResetItemCount() {
    SetItemCount(data_ != nullptr ? static_cast<int>(data_->GetAccountCount()) : 0);
}

double CAccountsListCtrl::GetRowHeight(int fontHeight) const {
    return (fontHeight + 4) * 1.5;
}

ListStyle CAccountsListCtrl::GetCreateStyle() const {
    return {true, false, true};
}

void* CAccountsListCtrl::GetItemObject(int row) const {
    if (data_ == nullptr || row < 0)
        return nullptr;
    return data_->GetAccountAt(static_cast<std::size_t>(row));
}

void CAccountsListCtrl::OnContextMenu(const QPoint& globalPos) {
    if (ownerView_ != nullptr)
        ownerView_->ShowAccountPopupMenu(globalPos);
}

void CAccountsListCtrl::DrawCell(QPainter& painter, const QRect& cell, std::uint16_t, void* object,
                                 int) const {
    if (object == nullptr)
        return;
    auto& account = *static_cast<CAccount*>(object);
    if (icons_ != nullptr)
        icons_->DrawIcon(painter, QRect(cell.left(), cell.top() + 2, kIconSide, cell.height() - 4),
                         account.Header().GetIconIndex());
    const QRect text = cell.adjusted(kIconSide, 0, 0, 0);
    DrawTextCell(painter, text, QString::fromStdString(platform::Cp1252ToUtf8(account.GetName())));
    // Recomputed at every draw; the account's change bits stay as they are.
    account.RecalcBalances();
    DrawListCell(painter, text,
                 MoneyCellText(account.GetCurrencySymbol(), account.GetBalance(balanceKind_),
                               showDecimals_));
}

bool CAccountsListCtrl::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::Resize && GetColumnCount() == 1)
        header()->resizeSection(0, viewport()->width());
    return COwnerListCtrl::viewportEvent(event);
}

}  // namespace tallowmere::ui
