#pragma once
// "Edit Scheduled Transaction" (dialog 1589): the repeat details and the
// transaction of one scheduled item. OK closes with 1 after every field was
// checked and the item written (a new one created); Cancel, Esc and the
// close box give 2 and leave the item as it was.
#include <QDialog>
#include <functional>
#include <optional>
#include <string>

#include "ui/logic/scheduled_item_logic.h"
#include "ui/ui_services.h"

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;

namespace tallowmere::ui {

class CEditScheduledItemDlg final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CEditScheduledItemDlg)

  public:
    // item: null for a new one. The sub-dialogs outlive the dialog; the list
    // buttons are enabled only when listEditors is set.
    CEditScheduledItemDlg(CAccounts& data, const CAccount* current, CScheduledItem* item,
                          ScheduledItemSubDialogs& dialogs, bool listEditors,
                          QWidget* parent = nullptr);
    ~CEditScheduledItemDlg() override;

    std::unique_ptr<CScheduledItem> TakeNewItem() { return logic_.TakeNewItem(); }

    void accept() override;
    void reject() override;

  private:
    void Push(const ScheduledItemForm& form);
    void PushEntries(const ScheduledItemForm& form);
    void PushVisibility(const ScheduledItemForm& form);
    ScheduledItemForm Pull() const;
    void Focus(const DialogStep& step);
    void AccountChosen();
    void Split();
    void ListButton(ListEditorKind kind);

    ServiceMessages messages_;
    ScheduledItemLogic logic_;
    ScheduledItemForm form_;
    QDateEdit* date_;
    QComboBox* frequency_;
    QLabel* repeatLabel_;
    QComboBox* repeat_;
    QLineEdit* count_;
    QComboBox* enter_;
    QLineEdit* days_;
    QLabel* daysLabel_;
    QComboBox* account_;
    QComboBox* payee_;
    QComboBox* type_;
    QLineEdit* amount_;
    QComboBox* category_;
    QComboBox* class_;
    QLineEdit* memo_;
};

// The list editors the three buttons open (payees, categories, classes):
// the chosen name, or nothing.
using ListEditorRunner = std::function<std::optional<std::string>(
    QWidget* parent, ListEditorKind kind, const std::string& current)>;

// The edit dialog's sub-dialogs over widgets: the splits dialog, and the
// list editors through the caller's runner.
class WidgetScheduledItemDialogs final : public ScheduledItemSubDialogs {
  public:
    WidgetScheduledItemDialogs(CAccounts& data, ListEditorRunner listEditors)
        : data_(data), listEditors_(std::move(listEditors)) {}
    void SetParent(QWidget* parent) { parent_ = parent; }
    bool HasListEditors() const { return static_cast<bool>(listEditors_); }

    bool RunSplits(const CAccount* target, SplitsData& io) override;
    std::optional<std::string> RunListEditor(ListEditorKind kind,
                                             const std::string& current) override;

  private:
    CAccounts& data_;
    ListEditorRunner listEditors_;
    QWidget* parent_ = nullptr;
};

}  // namespace tallowmere::ui
