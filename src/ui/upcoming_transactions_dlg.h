#pragma once
// "Upcoming Transactions" (dialog 1591): the due occurrences up to the
// "Thru:" horizon, and Record All, Record, Edit (or a double click) and
// Skip. Done stores the horizon and closes with 1; Esc and the close box
// close with 2.
#include <QDialog>

#include "ui/logic/upcoming_logic.h"
#include "ui/ui_services.h"

class QComboBox;
class QPushButton;

namespace tallowmere::ui {

class CUpcomingListCtrl;

class CUpcomingTransactionsDlg final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CUpcomingTransactionsDlg)

  public:
    CUpcomingTransactionsDlg(DataSetSource data, TransactionDialogRunner& runner,
                             UpcomingViewHost* host, QWidget* parent = nullptr);
    ~CUpcomingTransactionsDlg() override;

    CUpcomingListCtrl& List() const { return *list_; }
    const UpcomingLogic& Logic() const { return logic_; }

    void accept() override;
    void reject() override;

  private:
    // Runs one action on the selected row, then shows the rows again.
    void OnRowAction(void (UpcomingLogic::*action)(std::size_t));
    void OnRecordAll();
    void OnThroughChosen(int index);
    void ShowRows();
    void UpdateButtons();

    ServiceMessages messages_;
    UpcomingLogic logic_;
    QComboBox* through_;
    CUpcomingListCtrl* list_;
    QPushButton* recordAll_;
    QPushButton* record_;
    QPushButton* edit_;
    QPushButton* skip_;
};

// The view's Upcoming Transactions command and the start-up offer. Its code.
int RunUpcomingTransactionsDialog(QWidget* parent, DataSetSource data,
                                  TransactionDialogRunner& runner, UpcomingViewHost* host);

}  // namespace tallowmere::ui
