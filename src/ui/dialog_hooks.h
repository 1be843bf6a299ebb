#pragma once
// The sub-dialogs the view hands to the account, scheduled and review
// dialogs: the online setup over the data set's institution list, the list
// editors, and the transaction dialog as the review's Edit.
#include <string>

#include "ui/account_info_dlg.h"
#include "ui/edit_scheduled_item_dlg.h"
#include "ui/logic/download_review_logic.h"
#include "ui/review_transaction_dlg.h"

namespace tallowmere::ui {

class CTallowmereView;

// The account dialog's Online Setup for account (null for a new one, whose
// password prompt names no account); none when the data set has no
// institution list. The data set must outlive it.
OnlineSetupRunner AccountOnlineSetup(CAccounts& data, const CAccount* account);

// The edit dialog's payee, category and class buttons: the list editors
// over data, giving the name chosen on Done (UTF-8).
ListEditorRunner ScheduledListEditors(CAccounts& data);

// The review's Edit: the transaction dialog for the account, which
// replaces and saves the transaction itself. True when it changed
// something (saved, or deleted).
class CReviewTransactionEditor final : public MTransactionEditor {
  public:
    explicit CReviewTransactionEditor(CAccounts& data) : data_(data) {}
    bool EditTransaction(QWidget* parent, CAccount& account, CTransaction& t) override;

  private:
    CAccounts& data_;
};

// The review's register: the view's register and totals painted again.
class CViewReviewRegister final : public MReviewRegister {
  public:
    explicit CViewReviewRegister(CTallowmereView& view) : view_(view) {}
    void RefreshRegister() override;

  private:
    CTallowmereView& view_;
};

}  // namespace tallowmere::ui
