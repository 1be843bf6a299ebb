#include "ui/transaction_list_ctrl.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "model/accounts.h"
#include "model/report.h"
#include "model/show_columns.h"
#include "ui/cell_painter.h"
#include "ui/icon_painter.h"
#include "ui/owner_header_ctrl.h"

namespace tallowmere::ui {

namespace {

const QColor kStatusMask(255, 182, 147);
constexpr int kIconColumnWidth = 24;
constexpr int kMeasureMargin = 8;
constexpr int kReconcileMarkIndent = 6;

}  // namespace

CTransactionListCtrl::CTransactionListCtrl(CAccounts* data, QWidget* parent)
    : COwnerListCtrl(parent), data_(data) {
    ApplyStyle(CTransactionListCtrl::GetCreateStyle());
    InitHeaderAndIcons();
}

CTransactionListCtrl::~CTransactionListCtrl() = default;

void CTransactionListCtrl::InitHeaderAndIcons() {
    if (header_ != nullptr)
        return;
    statusIcons_.Load(164, 1, 8, 16, 15, 0, kStatusMask);
    header_ = new COwnerHeaderCtrl(this);
    setHeader(header_);
    header_->SetIconList(&statusIcons_);
    header_->SetSortColumn(sortColumn_);
    header_->setMinimumSectionSize(kMinColumnWidth);
    header_->setSectionsClickable(true);
    // The divider's double-click is this list's, not the view's default.
    disconnect(header_, &QHeaderView::sectionHandleDoubleClicked, this, nullptr);
    connect(header_, &QHeaderView::sectionHandleDoubleClicked, this,
            &CTransactionListCtrl::FitSectionToTexts);
}

void CTransactionListCtrl::SetDataSet(CAccounts* data) {
    data_ = data;
    viewport()->update();
}

void CTransactionListCtrl::SetMode(int mode) {
    mode_ = mode;
    viewport()->update();
}

void CTransactionListCtrl::SetReport(CReport* report) {
    report_ = report;
    viewport()->update();
}

void CTransactionListCtrl::SetIconPainter(const IconPainter* icons) {
    icons_ = icons;
    viewport()->update();
}

void CTransactionListCtrl::SetShowDecimals(bool show) {
    showDecimals_ = show;
    viewport()->update();
}

void CTransactionListCtrl::SetShowYear(bool show) {
    showYear_ = show;
    viewport()->update();
}

void CTransactionListCtrl::SetSort(std::uint16_t columnId, std::uint8_t direction) {
    sortColumn_ = columnId;
    header_->SetSortColumn(columnId);
    header_->SetSortDirection(direction);
    viewport()->update();
}

ListStyle CTransactionListCtrl::GetCreateStyle() const {
    return {true, true, false};
}

const CAccount* CTransactionListCtrl::RowAccount(int) const {
    return nullptr;
}

Cents CTransactionListCtrl::RowBalance(int) const {
    return 0;
}

RegisterCellContext CTransactionListCtrl::CellContext(int row) const {
    return {data_, RowAccount(row), showDecimals_, showYear_};
}

QString CTransactionListCtrl::GetCellText(void* object, std::uint16_t columnId, int row) const {
    if (object == nullptr || !IsRegisterMode())
        return {};
    const auto& t = *static_cast<const CTransaction*>(object);
    return QString::fromStdString(
        RegisterMeasureText(CellContext(row), t, columnId, RowBalance(row)));
}

int CTransactionListCtrl::CalcColumnWidth(std::uint16_t columnId) const {
    if (columnId == 0 || columnId == 1)
        return kIconColumnWidth;
    const QFontMetrics metrics(font());
    int widest = 0;
    for (int row = 0; row < GetItemCount(); ++row) {
        const QString text = GetCellText(GetItemObject(row), columnId, row);
        if (!text.isEmpty())
            widest = std::max(widest, metrics.horizontalAdvance(text));
    }
    return std::max(widest + kMeasureMargin, int{kMinColumnWidth});
}

void CTransactionListCtrl::FitSectionToTexts(int section) {
    if (IsRegisterMode())
        header()->resizeSection(section, CalcColumnWidth(GetColumnId(section)));
}

void CTransactionListCtrl::DrawCell(QPainter& painter, const QRect& cell, std::uint16_t columnId,
                                    void* object, int row) const {
    if (object == nullptr)
        return;
    switch (mode_) {
        case kModeReport:
        case kModeBudget:
            DrawReportCell(painter, cell, columnId, object);
            return;
        case kModeReconcile:
            if (columnId == 0) {
                const auto& t = *static_cast<const CTransaction*>(object);
                statusIcons_.DrawAt(painter, ReconcileMarkImage(t),
                                    cell.left() + kReconcileMarkIndent, cell.top());
                return;
            }
            break;
        default:
            break;
    }
    DrawRegisterCell(painter, cell, columnId, object, row);
}

void CTransactionListCtrl::DrawRegisterCell(QPainter& painter, const QRect& cell,
                                            std::uint16_t columnId, void* object, int row) const {
    const auto& t = *static_cast<const CTransaction*>(object);
    if (columnId == 0) {
        statusIcons_.Draw(painter, StatusImage(t), cell);
        return;
    }
    if (columnId == 1) {
        if (icons_ != nullptr && data_ != nullptr)
            icons_->DrawIcon(painter, cell.adjusted(0, 2, 0, -2), RegisterIconIndex(*data_, t));
        return;
    }
    DrawListCell(painter, cell,
                 ListRegisterCellText(CellContext(row), t, columnId, RowBalance(row)));
}

void CTransactionListCtrl::DrawReportCell(QPainter& painter, const QRect& cell,
                                          std::uint16_t columnId, void* object) const {
    const auto& item = *static_cast<const CReportItem*>(object);
    if (columnId == 20) {
        if (icons_ != nullptr && data_ != nullptr)
            icons_->DrawIcon(painter, cell.adjusted(0, 2, 0, -2),
                             data_->GetIconForId(item.GetId()));
        return;
    }
    if (report_ == nullptr || data_ == nullptr)
        return;
    const std::string symbol = data_->GetHomeCurrencySymbol();
    // Sorted by name the rows show their names, otherwise their labels.
    DrawListCell(painter, cell,
                 ReportCellText(*report_, item, columnId, MoneyStyle{symbol, showDecimals_},
                                sortColumn_ == kColumnReportName));
}

void CTransactionListCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    const int row = HitTestRow(at);
    const std::uint16_t column = GetColumnAtX(at.x());
    if (IsRegisterMode() && column == 0) {
        event->accept();
        return;
    }
    if (mode_ == kModeBudget && row >= 0 && (column == 21 || column == 22)) {
        if (ownerView_ != nullptr)
            ownerView_->OnSetBudgetAmount();
        event->accept();
        return;
    }
    COwnerListCtrl::mouseDoubleClickEvent(event);
}

}  // namespace tallowmere::ui
