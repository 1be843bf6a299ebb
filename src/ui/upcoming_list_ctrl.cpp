#include "ui/upcoming_list_ctrl.h"

#include <QResizeEvent>

#include "ui/cell_painter.h"
#include "ui/logic/upcoming_logic.h"

namespace tallowmere::ui {

CUpcomingListCtrl::CUpcomingListCtrl(const UpcomingLogic& logic, QWidget* parent)
    : COwnerListCtrl(parent), logic_(logic) {
    ApplyStyle(GetCreateStyle());
}

CUpcomingListCtrl::~CUpcomingListCtrl() = default;

void CUpcomingListCtrl::ResetItemCount() {
    SetItemCount(static_cast<int>(logic_.Count()));
}

ListStyle CUpcomingListCtrl::GetCreateStyle() const {
    return {true, true, true};
}

void* CUpcomingListCtrl::GetItemObject(int row) const {
    if (row < 0 || static_cast<std::size_t>(row) >= logic_.Count())
        return nullptr;
    // The cells come from the logic by row; any non-null object will do.
    return const_cast<UpcomingLogic*>(&logic_);
}

void CUpcomingListCtrl::DrawCell(QPainter& painter, const QRect& cell, std::uint16_t columnId,
                                 void*, int row) const {
    DrawListCell(painter, cell, logic_.CellAt(static_cast<std::size_t>(row), columnId));
}

void CUpcomingListCtrl::resizeEvent(QResizeEvent* event) {
    COwnerListCtrl::resizeEvent(event);
    FitColumnsToWidth();
}

}  // namespace tallowmere::ui
