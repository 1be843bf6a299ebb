#pragma once
// CSplitsDlg: divides one transaction over up to ten lines, each with a
// category or transfer account, a class, a memo and an amount, and shows the
// splits total, the remainder and the transaction total. The logic lives in
// SplitsDialogLogic; this shell builds the controls, pulls and pushes their
// texts and passes the events on. OK gives 1 (the lines in Result()); Esc,
// Cancel and the close box give 2.
#include <QDialog>
#include <array>
#include <memory>

#include "ui/logic/splits_dialog_logic.h"
#include "ui/ui_services.h"

class QComboBox;
class QGridLayout;
class QLineEdit;
class QPushButton;
class QStringListModel;

namespace tallowmere::ui {

class CMoneyStatic;

class CSplitsDlg final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CSplitsDlg)

  public:
    // target: the account the transaction belongs to.
    CSplitsDlg(CAccounts& data, const CAccount* target, const SplitsData& in,
               QWidget* parent = nullptr);
    ~CSplitsDlg() override;

    const SplitsData& Result() const { return logic_.Result(); }

    void reject() override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct RowWidgets {
        QComboBox* category = nullptr;
        QComboBox* classCombo = nullptr;
        QLineEdit* memo = nullptr;
        QLineEdit* amount = nullptr;
    };

    void BuildRows(QGridLayout& grid, int firstGridRow);
    void Push();
    void Pull();
    void ShowTotals();
    void Focus(const SplitsFocus& focus);
    void OnAdjust();
    void OnClear();
    void OnOk();

    ServiceMessages messages_;
    SplitsDialogLogic logic_;
    QStringListModel* categoryModel_ = nullptr;
    QStringListModel* classModel_ = nullptr;
    std::array<RowWidgets, kSplitLineCount> rows_;
    CMoneyStatic* splitsTotal_ = nullptr;
    CMoneyStatic* remainder_ = nullptr;
    CMoneyStatic* transactionTotal_ = nullptr;
    QPushButton* ok_ = nullptr;
};

// Runs the splits dialog over parent through the UI services for a
// transaction of target. On OK (1) io takes the dialog's has-splits, lines
// and transaction total; otherwise (2) io stays as it was.
int RunSplitsDialog(QWidget* parent, CAccounts& data, const CAccount* target, SplitsData& io);

}  // namespace tallowmere::ui
