#pragma once
// CReportDetailCtrl: the transactions behind one report row, drawn as
// register rows of their own accounts. For a split transaction in a detail
// by category or class, the amount shows only the lines of that row. A
// click on the status cell changes nothing here, and there is no pop-up
// menu: the transactions may belong to other accounts than the view's.
//
// The list holds no transaction: each row is a reference that is looked
// up in the data set whenever the row is drawn, so a row whose transaction
// is gone draws nothing and is reported for the owner to drop.
#include <vector>

#include "ui/logic/transaction_cells.h"
#include "ui/transaction_list_ctrl.h"

namespace tallowmere {
class CReport;
struct ReportTransactionRef;
}  // namespace tallowmere

namespace tallowmere::ui {

class CReportDetailCtrl final : public CTransactionListCtrl {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CReportDetailCtrl)

  public:
    explicit CReportDetailCtrl(CAccounts* data, QWidget* parent = nullptr);
    ~CReportDetailCtrl() override;

    // The references listed (kept by the caller, who resets the count when
    // they change), the report that resolves them and how amounts are
    // shown. Then ResetItemCount.
    void SetDetail(const CReport* report, const std::vector<ReportTransactionRef>* refs,
                   const DetailAmountRule& rule);
    // The count becomes the number of references.
    void ResetItemCount();

    void* GetItemObject(int row) const override;
    void DrawRegisterCell(QPainter& painter, const QRect& cell, std::uint16_t columnId,
                          void* object, int row) const override;

  signals:
    // A drawn row's transaction is gone (sent once, after the painting).
    void staleRowSeen();

  protected:
    const CAccount* RowAccount(int row) const override;
    Cents RowBalance(int row) const override;

  private:
    const ReportTransactionRef* RefAt(int row) const;
    void NoteStaleRow() const;

    const CReport* report_ = nullptr;
    const std::vector<ReportTransactionRef>* refs_ = nullptr;
    DetailAmountRule rule_;
    mutable bool stalePending_ = false;
};

}  // namespace tallowmere::ui
