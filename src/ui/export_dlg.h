#pragma once
// "Export Transactions" (dialog 184): all transactions, the selected ones,
// or a date range. Only a date the user changes selects Date Range; the
// dates shown on opening leave the choice as it was. OK closes with 1 once
// the range is in order; Cancel, Esc and the close box give 2.
#include <QDialog>

#include "ui/logic/export_range_logic.h"
#include "ui/ui_services.h"

class QButtonGroup;
class QDateEdit;

namespace tallowmere::ui {

class CExportDlg final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CExportDlg)

  public:
    // range is read now and filled by OK.
    explicit CExportDlg(ExportRange& range, QWidget* parent = nullptr);
    ~CExportDlg() override;

    void accept() override;
    void reject() override;

  private:
    void OnDateEdited();

    ServiceMessages messages_;
    ExportRange& range_;
    QButtonGroup* choice_;
    QDateEdit* from_;
    QDateEdit* to_;
};

// The view's Export step: opens with the last export's choice and end
// date; on 1 range holds the choice and both bounds, and they are stored
// for the next export. The dialog's code.
int RunExportDialog(QWidget* parent, bool noSelection, ExportRange& range);

}  // namespace tallowmere::ui
