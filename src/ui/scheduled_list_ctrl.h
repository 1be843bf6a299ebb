#pragma once
// CScheduledListCtrl: the scheduled items of the list dialog, one row each:
// payee, frequency, amount (negative for an outflow type) and an empty
// column. Rows are read from the scheduled list on demand.
#include "ui/owner_list_ctrl.h"

namespace tallowmere {
class CAccounts;
}

namespace tallowmere::ui {

class ScheduledListLogic;

class CScheduledListCtrl final : public COwnerListCtrl {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CScheduledListCtrl)

  public:
    // The data set and the logic outlive the list.
    CScheduledListCtrl(const CAccounts& data, const ScheduledListLogic& logic,
                       QWidget* parent = nullptr);
    ~CScheduledListCtrl() override;

    // The four columns.
    void InsertColumns();
    // The row count from the list's live items.
    void ResetItemCount();
    void SetShowDecimals(bool show);

    void* GetItemObject(int row) const override;
    void DrawCell(QPainter& painter, const QRect& cell, std::uint16_t columnId, void* object,
                  int row) const override;
    QString GetItemText(void* object, std::uint16_t columnId) const override;
    ListStyle GetCreateStyle() const override;
    void OnItemDoubleClicked(int row) override;

  signals:
    void rowDoubleClicked(int row);

  private:
    const CAccounts& data_;
    const ScheduledListLogic& logic_;
    bool decimals_ = true;
};

}  // namespace tallowmere::ui
