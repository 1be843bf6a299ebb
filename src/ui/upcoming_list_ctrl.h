#pragma once
// CUpcomingListCtrl: the upcoming transactions dialog's list of due
// occurrences: date, payee and amount (red when negative), drawn from the
// rows of the dialog's logic. The columns share the list's width.
#include "ui/owner_list_ctrl.h"

namespace tallowmere::ui {

class UpcomingLogic;

class CUpcomingListCtrl final : public COwnerListCtrl {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CUpcomingListCtrl)

  public:
    // The logic is not owned and outlives the list.
    explicit CUpcomingListCtrl(const UpcomingLogic& logic, QWidget* parent = nullptr);
    ~CUpcomingListCtrl() override;

    // The count becomes the logic's number of rows.
    void ResetItemCount();

    void DrawCell(QPainter& painter, const QRect& cell, std::uint16_t columnId, void* object,
                  int row) const override;
    ListStyle GetCreateStyle() const override;
    void* GetItemObject(int row) const override;

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    const UpcomingLogic& logic_;
};

}  // namespace tallowmere::ui
