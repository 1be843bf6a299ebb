#include "ui/scheduled_list_ctrl.h"

#include "model/scheduled.h"
#include "ui/cell_painter.h"
#include "ui/logic/scheduled_list_logic.h"

namespace tallowmere::ui {
namespace {

constexpr int kTitlePayee = 202;
constexpr int kTitleFrequency = 243;
constexpr int kTitleAmount = 205;

}  // namespace

CScheduledListCtrl::CScheduledListCtrl(const CAccounts& data, const ScheduledListLogic& logic,
                                       QWidget* parent)
    : COwnerListCtrl(parent), data_(data), logic_(logic) {
    ApplyStyle(CScheduledListCtrl::GetCreateStyle());
}

CScheduledListCtrl::~CScheduledListCtrl() = default;

void CScheduledListCtrl::InsertColumns() {
    InsertColumnById(0, kScheduledColumnPayee, kTitlePayee, 145);
    InsertColumnById(1, kScheduledColumnFrequency, kTitleFrequency, 80);
    InsertColumnById(2, kScheduledColumnAmount, kTitleAmount, 80);
    InsertColumnById(3, kScheduledColumnEmpty, 0, 25);
}

void CScheduledListCtrl::ResetItemCount() {
    SetItemCount(logic_.Count());
}

void CScheduledListCtrl::SetShowDecimals(bool show) {
    decimals_ = show;
    viewport()->update();
}

void* CScheduledListCtrl::GetItemObject(int row) const {
    return logic_.ItemAt(row);
}

ListStyle CScheduledListCtrl::GetCreateStyle() const {
    return {true, true, false};
}

void CScheduledListCtrl::DrawCell(QPainter& painter, const QRect& cell, std::uint16_t columnId,
                                  void* object, int) const {
    if (object == nullptr)
        return;
    DrawListCell(
        painter, cell,
        ScheduledCellText(data_, *static_cast<CScheduledItem*>(object), columnId, decimals_));
}

QString CScheduledListCtrl::GetItemText(void* object, std::uint16_t columnId) const {
    if (object == nullptr)
        return {};
    return QString::fromStdString(
        ScheduledCellText(data_, *static_cast<CScheduledItem*>(object), columnId, decimals_).text);
}

void CScheduledListCtrl::OnItemDoubleClicked(int row) {
    emit rowDoubleClicked(row);
}

}  // namespace tallowmere::ui
