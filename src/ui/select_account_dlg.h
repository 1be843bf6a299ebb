#pragma once
// "Select Account" (dialog 155): the accounts the bank reported, in
// CAccountListCtrl (1100) with the type's name and the account number.
// OK or a double-click takes the selected one, unless it is in use by
// another account or longer than an account holds.
#include <QDialog>

#include "ui/logic/online_account_logic.h"
#include "ui/owner_list_ctrl.h"
#include "ui/ui_services.h"

namespace tallowmere {
class CAccounts;
class CFiAccountsList;
}  // namespace tallowmere

namespace tallowmere::ui {

class CAccountListCtrl final : public COwnerListCtrl {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CAccountListCtrl)

  public:
    CAccountListCtrl(const CFiAccountsList& accounts, QWidget* parent = nullptr);
    ~CAccountListCtrl() override;

    void DrawCell(QPainter& painter, const QRect& cell, std::uint16_t columnId, void* object,
                  int row) const override;
    ListStyle GetCreateStyle() const override;
    void* GetItemObject(int row) const override;
    void OnItemDoubleClicked(int row) override;

  signals:
    void rowDoubleClicked();

  private:
    const CFiAccountsList& accounts_;
};

class CSelectAccountDlg final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CSelectAccountDlg)

  public:
    CSelectAccountDlg(const CAccounts& data, const CFiAccountsList& accounts, int current,
                      QWidget* parent = nullptr);
    ~CSelectAccountDlg() override;

    const BankAccountIds& Chosen() const { return chosen_; }
    CAccountListCtrl& List() const { return *list_; }

    void accept() override;
    void reject() override;

  private:
    const CAccounts& data_;
    const CFiAccountsList& accounts_;
    int current_;
    ServiceMessages messages_;
    CAccountListCtrl* list_;
    BankAccountIds chosen_;
};

}  // namespace tallowmere::ui
