#pragma once
// "Report Detail" (dialog 144): the transactions behind one report row, and
// Edit (or a double click) to open one in the transaction dialog. OK,
// Cancel, Esc and the close box only close it (1 or 2): every edit was
// saved by the transaction dialog already.
#include <QDialog>

#include "ui/logic/report_details_logic.h"
#include "ui/ui_services.h"

class QLabel;
class QPushButton;

namespace tallowmere::ui {

class CReportDetailCtrl;

class CReportDetailsDlg final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CReportDetailsDlg)

  public:
    // The report outlives the dialog; row is copied. payeeColumn: the
    // fourth column shows payees, else categories (DetailShowsPayee).
    CReportDetailsDlg(DataSetSource data, CReport& report, const CReportItem& row, bool payeeColumn,
                      TransactionDialogRunner& runner, QWidget* parent = nullptr);
    ~CReportDetailsDlg() override;

    CReportDetailCtrl& List() const { return *list_; }

    void accept() override;
    void reject() override;

  private:
    void OnEdit();
    void UpdateEdit();
    // Drops the rows whose transaction is gone and counts the rest.
    void RefreshRows();

    DataSetSource data_;
    ReportDetailsLogic logic_;
    QLabel* heading_;
    CReportDetailCtrl* list_;
    QPushButton* edit_;
};

// The reports page's Details: the dialog over the view. Its code.
int RunReportDetailsDialog(QWidget* parent, DataSetSource data, CReport& report,
                           const CReportItem& row, bool payeeColumn,
                           TransactionDialogRunner& runner);

}  // namespace tallowmere::ui
