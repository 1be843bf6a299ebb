#pragma once
// "Edit Scheduled Transactions" (dialog 1590): the scheduled items with New,
// Edit and Delete; Done closes with 1, Esc and the close box with 2. The
// list file is saved after each change.
#include <QDialog>

#include "ui/edit_scheduled_item_dlg.h"
#include "ui/logic/scheduled_list_logic.h"
#include "ui/ui_services.h"

namespace tallowmere::ui {

class CScheduledListCtrl;

class CScheduledListDlg final : public QDialog, private ScheduledItemEditor {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CScheduledListDlg)

  public:
    // current: the view's account, the one a new item starts on (null with
    // no accounts). The list editors the edit dialog's buttons open come
    // from listEditors (none: those buttons are disabled).
    CScheduledListDlg(CAccounts& data, const CAccount* current, ListEditorRunner listEditors,
                      QWidget* parent = nullptr);
    ~CScheduledListDlg() override;

    CScheduledListCtrl& List() const { return *list_; }

    void reject() override;

  private:
    bool Edit(CScheduledItem* item, std::unique_ptr<CScheduledItem>* created) override;
    void New();
    void EditSelected();
    void EditRow(int row);
    void Delete();
    void Select(int row);

    CAccounts& data_;
    const CAccount* current_;
    WidgetScheduledItemDialogs dialogs_;
    ServiceMessages messages_;
    ScheduledListLogic logic_;
    CScheduledListCtrl* list_;
};

// The view's scheduled-transactions command: runs the list dialog through
// the UI services; its result.
int RunScheduledListDialog(QWidget* parent, CAccounts& data, const CAccount* current,
                           ListEditorRunner listEditors = {});

}  // namespace tallowmere::ui
