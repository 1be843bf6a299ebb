#include "ui/scheduled_list_dlg.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "model/preferences.h"
#include "model/scheduled.h"
#include "model/string_table.h"
#include "ui/scheduled_list_ctrl.h"
#include "ui/small_dialog_parts.h"

namespace tallowmere::ui {
namespace {

constexpr int kCaption = 3750;
constexpr int kTextNew = 3751;
constexpr int kTextEdit = 3752;
constexpr int kTextDelete = 3753;
constexpr int kTextDone = 3754;

QPushButton* Button(int id, int stringId, QWidget* parent) {
    auto* button = Named(new QPushButton(QString::fromStdString(LoadString(stringId)), parent), id);
    button->setAutoDefault(false);
    button->setMinimumWidth(CharsWide(*button, 12));
    return button;
}

}  // namespace

CScheduledListDlg::CScheduledListDlg(CAccounts& data, const CAccount* current,
                                     ListEditorRunner listEditors, QWidget* parent)
    : QDialog(parent),
      data_(data),
      current_(current),
      dialogs_(data, std::move(listEditors)),
      messages_(this),
      logic_(data, messages_, *this),
      list_(Named(new CScheduledListCtrl(data, logic_, this), kScheduledList)) {
    setObjectName(QStringLiteral("id_1590"));
    setWindowTitle(QString::fromStdString(LoadString(kCaption)));
    dialogs_.SetParent(this);

    list_->InsertColumns();
    list_->SetShowDecimals(GetPrefShowDecimals());
    list_->ResetItemCount();
    list_->setMinimumSize(145 + 80 + 80 + 25 + 24, 260);

    auto* newButton = Button(kScheduledNew, kTextNew, this);
    auto* edit = Button(kScheduledEdit, kTextEdit, this);
    auto* remove = Button(kScheduledDelete, kTextDelete, this);
    auto* doneButton = Button(1, kTextDone, this);
    doneButton->setDefault(true);
    doneButton->setAutoDefault(true);

    auto* buttons = new QVBoxLayout;
    buttons->setSpacing(8);
    buttons->addWidget(newButton);
    buttons->addWidget(edit);
    buttons->addWidget(remove);
    buttons->addStretch();
    buttons->addWidget(doneButton);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setSpacing(12);
    layout->addWidget(list_, 1);
    layout->addLayout(buttons);

    connect(newButton, &QPushButton::clicked, this, &CScheduledListDlg::New);
    connect(edit, &QPushButton::clicked, this, &CScheduledListDlg::EditSelected);
    connect(remove, &QPushButton::clicked, this, &CScheduledListDlg::Delete);
    connect(doneButton, &QPushButton::clicked, this, [this] { done(1); });
    connect(list_, &CScheduledListCtrl::rowDoubleClicked, this, &CScheduledListDlg::EditRow);
    list_->setFocus();
}

CScheduledListDlg::~CScheduledListDlg() = default;

bool CScheduledListDlg::Edit(CScheduledItem* item, std::unique_ptr<CScheduledItem>* created) {
    CEditScheduledItemDlg dialog(data_, current_, item, dialogs_, dialogs_.HasListEditors(), this);
    if (Services().RunDialog(dialog) != 1)
        return false;
    if (created != nullptr)
        *created = dialog.TakeNewItem();
    return true;
}

void CScheduledListDlg::Select(int row) {
    list_->ResetItemCount();
    if (row >= 0) {
        list_->SetSelection(row, true);
        list_->EnsureVisible(row);
    }
    list_->viewport()->update();
}

void CScheduledListDlg::New() {
    const int row = logic_.New();
    if (row >= 0)
        Select(row);
}

void CScheduledListDlg::EditSelected() {
    EditRow(list_->GetFirstSelectedItem());
}

void CScheduledListDlg::EditRow(int row) {
    const int moved = logic_.Edit(row);
    if (moved >= 0)
        Select(moved);
}

void CScheduledListDlg::Delete() {
    if (logic_.Delete(list_->GetFirstSelectedItem()))
        Select(-1);
}

void CScheduledListDlg::reject() {
    done(2);
}

int RunScheduledListDialog(QWidget* parent, CAccounts& data, const CAccount* current,
                           ListEditorRunner listEditors) {
    CScheduledListDlg dialog(data, current, std::move(listEditors), parent);
    return Services().RunDialog(dialog);
}

}  // namespace tallowmere::ui
