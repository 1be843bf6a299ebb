#pragma once
// CRegisterListCtrl: the main view's list on all four pages. In register
// mode its rows are the current account's transactions under the view's
// filter, on the reconcile page those not yet reconciled (filter 2), and on
// the reports and budgets pages the report's rows. The rows are counted
// once per ResetItemCount (RegisterRows: positions and running balances,
// not copies), so painting, finding and measuring rows never walk the
// register. A click on a row's status cell asks the view to toggle it.
#include <cstdint>
#include <vector>

#include "model/record_id.h"
#include "model/show_columns.h"
#include "ui/logic/page_columns.h"
#include "ui/logic/register_rows.h"
#include "ui/transaction_list_ctrl.h"

namespace tallowmere {
class CReportItem;
}

namespace tallowmere::ui {

class CRegisterListCtrl final : public CTransactionListCtrl {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CRegisterListCtrl)

  public:
    explicit CRegisterListCtrl(CAccounts* data, QWidget* parent = nullptr);
    ~CRegisterListCtrl() override;

    // The row sources. Each change forgets the rows counted so far until
    // ResetItemCount.
    void SetDataSet(CAccounts* data) override;
    void SetMode(int mode) override;
    // The current account (none: no rows).
    void SetAccount(CAccount* account);
    CAccount* GetAccount() const { return account_; }
    // The register filter of the register page (0-5).
    void SetFilter(int filter);
    int GetFilter() const { return filter_; }

    // Counts the rows of the mode again (the account's rows under the filter,
    // under filter 2 when reconciling, or the report's rows) and sets the item
    // count, keeping the selection of the rows that stay. Call it after every
    // change to the rows: an edit, a status, a sort, a recompute.
    void ResetItemCount();

    // Register and reconcile rows.
    CTransaction* GetTransactionAt(int row) const;
    // The row of the transaction with this id among the counted rows; -1.
    int FindTransactionRow(const RecordId& id) const;
    const RegisterRows& Rows() const { return rows_; }
    // Report and budget rows.
    CReportItem* GetReportRowAt(int row) const;

    // Puts in the columns of a page's set: checked for the page first
    // (ValidPageColumns), the icon column 20 only when grouping by category,
    // a rest width filled from the list's width less a scroll bar. Returns
    // the columns as inserted.
    std::vector<PageColumn> SetPageColumns(ListPage page, const CShowColumns& stored, int groupBy);

    void* GetItemObject(int row) const override;
    void OnContextMenu(const QPoint& globalPos) override;
    void OnItemDoubleClicked(int row) override;

  signals:
    // A double-click on a row (not on the status cell of a register row).
    void rowDoubleClicked(int row);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    const CAccount* RowAccount(int row) const override;
    Cents RowBalance(int row) const override;

  private:
    void ForgetRows();

    CAccount* account_ = nullptr;
    int filter_ = 0;
    RegisterRows rows_;
};

}  // namespace tallowmere::ui
