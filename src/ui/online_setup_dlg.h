#pragma once
// "Online Setup" (dialog 153), opened from the account's properties: the
// switch (1089), the bank (1090), the customer id (1093), the stored
// password (1042), the bank account (1009) and the client UID (1219). Its
// buttons start the exchanges with the directory and the bank, each under
// a progress window; the values reach the account only through the
// account dialog, which saves them.
#include <QDialog>
#include <string>

#include "ui/account_info_dlg.h"
#include "ui/logic/online_setup_logic.h"
#include "ui/ui_services.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tallowmere::ui {

class COnlineSetupDlg final : public QDialog, public MOnlineSetupHost {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(COnlineSetupDlg)

  public:
    // accountName (Windows-1252) names the account in the password prompt.
    COnlineSetupDlg(const CAccounts& data, CFiList& list, const OnlineSetupForm& values,
                    const std::string& accountName, QWidget* parent = nullptr);
    ~COnlineSetupDlg() override;

    // As the dialog holds them; after OK what the account takes.
    const OnlineSetupForm& Values() const { return values_; }

    void accept() override;
    void reject() override;

    // The windows of the exchanges.
    std::unique_ptr<MOnlineProgressWindow> OpenProgress(int statusId) override;
    bool AskPassword(std::string& password) override;
    bool ChooseBank(CFiList& list, CFiItem* current, CFiItem*& chosen) override;
    bool ChooseBankAccount(const CFiAccountsList& accounts, int current,
                           BankAccountIds& chosen) override;
    bool EnterBankAccount(BankAccountIds& ids) override;

  private:
    CFiItem* Bank() const;
    void Pull();
    void UpdateControls();
    void OnEnableClicked();
    void OnSelectBank();
    void OnPassword();
    void OnSelectAccount();

    const CAccounts& data_;
    CFiList& list_;
    std::string accountName_;
    OnlineSetupForm values_;
    ServiceMessages messages_;
    QCheckBox* enable_;
    QLabel* bankLabel_;
    QPushButton* bank_;
    QLabel* customerLabel_;
    QLineEdit* customer_;
    QLabel* passwordLabel_;
    QPushButton* password_;
    QLabel* accountLabel_;
    QPushButton* account_;
    QLabel* clientUidLabel_;
    QLineEdit* clientUid_;
    QLabel* note_;
};

// The account dialog's Online Setup: runs the dialog over parent through
// the UI services; on OK (1) values holds what the user set.
int RunOnlineSetupDialog(QWidget* parent, const CAccounts& data, CFiList& list,
                         const std::string& accountName, OnlineSetupForm& values);

// What the account dialog is given to open the online setup with: the
// dialog over the data set's institution list, for the account named
// accountName (Windows-1252), on the account dialog's values (UTF-8),
// which take the result on OK. The data set and list must outlive it.
OnlineSetupRunner MakeOnlineSetupRunner(const CAccounts& data, CFiList& list,
                                        std::string accountName);

}  // namespace tallowmere::ui
