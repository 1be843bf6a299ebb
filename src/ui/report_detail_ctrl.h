#pragma once
// CReportDetailCtrl: the transactions behind one report row, drawn as
// register rows of their own accounts. For a split transaction in a detail
// by category or class, the amount shows only the lines of that row. A
// click on the status cell changes nothing here, and there is no pop-up
// menu: the transactions may belong to other accounts than the view's.
#include <vector>

#include "ui/logic/transaction_cells.h"
#include "ui/transaction_list_ctrl.h"

namespace tallowmere {
class CReportItem;
}

namespace tallowmere::ui {

class CReportDetailCtrl final : public CTransactionListCtrl {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CReportDetailCtrl)

  public:
    explicit CReportDetailCtrl(CAccounts* data, QWidget* parent = nullptr);
    ~CReportDetailCtrl() override;

    // The row whose transactions are listed (kept by the caller) and how
    // its amounts are shown. Then ResetItemCount.
    void SetDetail(const CReport* report, const CReportItem* row, const DetailAmountRule& rule);
    // Finds the row's transactions in the data set again and sets the count.
    void ResetItemCount();

    void* GetItemObject(int row) const override;
    void DrawRegisterCell(QPainter& painter, const QRect& cell, std::uint16_t columnId,
                          void* object, int row) const override;

  protected:
    const CAccount* RowAccount(int row) const override;
    Cents RowBalance(int row) const override;

  private:
    struct Row {
        CAccount* account = nullptr;
        CTransaction* transaction = nullptr;
    };

    const CReport* report_ = nullptr;
    const CReportItem* row_ = nullptr;
    DetailAmountRule rule_;
    std::vector<Row> rows_;
};

}  // namespace tallowmere::ui
