#pragma once
// "Account Info" (dialog 134): a new account, or the properties of an
// existing one. OK closes with 1 once the account is written and saved;
// Cancel, Esc and the close box give 2 and change nothing.
#include <QDialog>
#include <functional>
#include <string>

#include "ui/logic/account_info_logic.h"
#include "ui/ui_services.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tallowmere::ui {

class AccountIconFrame;
class IconPainter;

class CAccountInfoDlg final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CAccountInfoDlg)

  public:
    // account: null for a new one, whose file goes into folder. The painter
    // and the sub-dialogs outlive the dialog.
    CAccountInfoDlg(CAccounts& data, CAccount* account, const std::string& folder,
                    const IconPainter& icons, AccountInfoSubDialogs& dialogs,
                    QWidget* parent = nullptr);
    ~CAccountInfoDlg() override;

    // After OK of a new account: the saved account, for the caller to add.
    std::unique_ptr<CAccount> TakeNewAccount() { return logic_.TakeNewAccount(); }

    void accept() override;
    void reject() override;

  private:
    void Push(const AccountInfoForm& form);
    AccountInfoForm Pull() const;
    void Focus(const DialogStep& step);
    void TypeChosen();
    void ChooseIcon();
    void OnlineSetup();

    ServiceMessages messages_;
    AccountInfoLogic logic_;
    AccountInfoForm form_;
    QLineEdit* name_;
    QComboBox* type_;
    QLineEdit* bank_;
    QLineEdit* number_;
    QLineEdit* balance_;
    QComboBox* currency_;
    QCheckBox* include_;
    AccountIconFrame* icon_;
    QLabel* count_;
    QLabel* onlineBalance_;
};

// Opens the online setup dialog over parent on the values; true on OK.
using OnlineSetupRunner = std::function<bool(QWidget* parent, OnlineSetupValues& values)>;

struct AccountInfoOutcome {
    int code = 2;
    // The account edited, or the new one now in the data set; null after
    // Cancel of a new account.
    CAccount* account = nullptr;
};

// The view's New Account (account null) and Account Info commands: runs
// the dialog through the UI services, with the icon chooser on the user's
// icon database in folder and the online setup through onlineSetup (the
// button is disabled without one). A new account is inserted in the data
// set in name order.
AccountInfoOutcome RunAccountInfoDialog(QWidget* parent, CAccounts& data, CAccount* account,
                                        const std::string& folder, const IconPainter& icons,
                                        OnlineSetupRunner onlineSetup = {});

}  // namespace tallowmere::ui
