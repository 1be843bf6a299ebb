#pragma once
// CTransactionDlg: "Transaction Info", where a transaction of one account is
// entered or edited. The logic lives in TransactionDialogLogic; this shell
// builds the controls, pulls and pushes their values and passes the events
// on, and runs the splits, conversion and list-editor dialogs for it. OK
// gives 1, Delete and Purge 101; Esc, Cancel and the close box give 2.
#include <QDialog>
#include <functional>
#include <string>

#include "ui/convert_currency_dlg.h"
#include "ui/icon_painter.h"
#include "ui/logic/transaction_dialog_logic.h"
#include "ui/ui_services.h"

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QStringListModel;

namespace tallowmere::ui {

class CIconListButton;

// The list editors reached from the dialog's buttons; each runs over the
// parent and answers the name chosen in it (UTF-8, empty for none). A
// missing one leaves its button refilling the list only.
struct TransactionEditors {
    std::function<std::string(QWidget* parent)> payees;
    std::function<std::string(QWidget* parent)> categories;
    std::function<std::string(QWidget* parent)> classes;
    CurrenciesEditor currencies;
};

class CTransactionDlg final : public QDialog, private TransactionSubDialogs {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CTransactionDlg)

  public:
    // target: the account the transaction belongs to or goes into; stored:
    // the transaction to edit, the occurrence to record in record mode, or
    // null for a new one.
    CTransactionDlg(CAccounts& data, CAccount& target, const CTransaction* stored, bool recordMode,
                    TransactionViewHost* host, TransactionEditors editors,
                    QWidget* parent = nullptr);
    ~CTransactionDlg() override;

    void reject() override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    class IconArea;

    // TransactionSubDialogs.
    std::string EditPayees() override;
    std::string EditCategories() override;
    std::string EditClasses() override;
    int RunSplits(const CAccount& target, SplitsData& io) override;
    int RunConvertCurrency(CurrencyId target, bool newTransaction,
                           ConvertCurrencyData& io) override;

    void BuildLayout();
    void FillCombos();
    void Push();
    void Pull();
    void Apply(const TransactionEvent& event);
    void Focus(int controlId, bool selectAll);
    bool OnPayeeTab();
    void Finish(const DialogStep& step);

    CAccounts& data_;
    ServiceMessages messages_;
    TransactionEditors editors_;
    TransactionDialogLogic logic_;
    IconPainter icons_;

    QDateEdit* date_ = nullptr;
    QComboBox* payee_ = nullptr;
    QComboBox* type_ = nullptr;
    QLabel* checkLabel_ = nullptr;
    QLineEdit* check_ = nullptr;
    QLineEdit* amount_ = nullptr;
    QComboBox* category_ = nullptr;
    QComboBox* class_ = nullptr;
    QLineEdit* memo_ = nullptr;
    QComboBox* status_ = nullptr;
    IconArea* icon_ = nullptr;
    CIconListButton* payeesButton_ = nullptr;
    CIconListButton* categoriesButton_ = nullptr;
    CIconListButton* classesButton_ = nullptr;
    CIconListButton* currencyButton_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* delete_ = nullptr;
    QPushButton* purge_ = nullptr;
    QPushButton* split_ = nullptr;
    QStringListModel* payeeModel_ = nullptr;
    QStringListModel* categoryModel_ = nullptr;
    QStringListModel* classModel_ = nullptr;
};

// What the register's New and Edit, the report details and the upcoming
// transactions call: runs the dialog over parent through the UI services for
// a transaction of target (stored null for a new one; recordMode for a
// scheduled occurrence built by the caller, which the dialog adds). 1 after
// a save or an unchanged OK, 101 when Delete or Purge removed the
// transaction, 2 otherwise.
int RunTransactionDialog(QWidget* parent, CAccounts& data, CAccount& target,
                         const CTransaction* stored, bool recordMode = false,
                         TransactionViewHost* host = nullptr, TransactionEditors editors = {});

}  // namespace tallowmere::ui
