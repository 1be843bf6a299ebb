#pragma once
// "Show Columns" (dialog 136): ten check boxes, one per column of the
// register. OK sets the set's visibilities from them and closes with 1;
// Cancel, Esc and the close box give 2 and leave the set as it was.
#include <QDialog>
#include <array>

#include "ui/logic/show_columns_logic.h"

class QCheckBox;

namespace tallowmere::ui {

class CShowColumnsDlg final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CShowColumnsDlg)

  public:
    explicit CShowColumnsDlg(CShowColumns& columns, QWidget* parent = nullptr);
    ~CShowColumnsDlg() override;

    void accept() override;
    void reject() override;

  private:
    CShowColumns& columns_;
    std::array<QCheckBox*, kShowColumnBoxes.size()> boxes_{};
};

// The view's Show Columns command over its copy of the register's set; the
// caller saves and applies the set after 1. The dialog's code.
int RunShowColumnsDialog(QWidget* parent, CShowColumns& columns);

}  // namespace tallowmere::ui
