#include "ui/select_import_account_dlg.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QVBoxLayout>

#include "model/string_table.h"
#include "ui/small_dialog_parts.h"
#include "ui/ui_text.h"

namespace tallowmere::ui {
namespace {}  // namespace

CSelectImportAccountDlg::CSelectImportAccountDlg(std::function<void()> accountsChanged,
                                                 QWidget* parent)
    : QDialog(parent),
      messages_(this),
      accountsChanged_(std::move(accountsChanged)),
      choice_(new QButtonGroup(this)),
      name_(Named(new QLineEdit(this), kImportName)),
      list_(Named(new QListWidget(this), kImportList)) {
    setObjectName(QStringLiteral("id_185"));
    setWindowTitle(Text(kStringImportCaption));

    auto* intro = new QLabel(Text(3528), this);
    auto* createNew = Named(new QRadioButton(Text(3529), this), kImportNewRadio);
    auto* existing = Named(new QRadioButton(Text(3530), this), kImportExistingRadio);
    choice_->addButton(createNew, kImportCreateNew);
    choice_->addButton(existing, kImportSelectExisting);
    auto* nameLabel = new QLabel(Text(3531), this);
    nameLabel->setBuddy(name_);
    name_->setMaxLength(static_cast<int>(kImportAccountNameLimit));
    name_->setMinimumWidth(CharsWide(*name_, 30));
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    // Six rows to start with; the list grows with the dialog.
    list_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Ignored);
    list_->setMinimumHeight(list_->fontMetrics().height() * 6 + list_->frameWidth() * 2 + 4);

    auto* nameRow = new QGridLayout;
    nameRow->setContentsMargins(24, 0, 0, 0);
    nameRow->setHorizontalSpacing(8);
    nameRow->addWidget(nameLabel, 0, 0);
    nameRow->addWidget(name_, 0, 1);

    auto* listRow = new QVBoxLayout;
    listRow->setContentsMargins(24, 0, 0, 0);
    listRow->addWidget(list_);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setSpacing(8);
    layout->addWidget(intro);
    layout->addSpacing(4);
    layout->addWidget(createNew, 0, Qt::AlignLeft);
    layout->addLayout(nameRow);
    layout->addSpacing(4);
    layout->addWidget(existing, 0, Qt::AlignLeft);
    layout->addLayout(listRow, 1);
    layout->addSpacing(8);
    layout->addLayout(ButtonRow(*this, {{1, "OK"}, {2, "Cancel"}}));

    connect(choice_, &QButtonGroup::idClicked, this, [this](int id) {
        ShowChoice(id);
        if (id == kImportCreateNew)
            name_->setFocus();
        else
            list_->setFocus();
    });
    connect(list_, &QListWidget::itemDoubleClicked, this, [this] {
        choice_->button(kImportSelectExisting)->setChecked(true);
        ShowChoice(kImportSelectExisting);
        accept();
    });
}

CSelectImportAccountDlg::~CSelectImportAccountDlg() = default;

void CSelectImportAccountDlg::Load(CAccounts& accounts, std::string_view name,
                                   const CAccount* preselect) {
    accounts_ = &accounts;
    chosen_ = nullptr;
    form_ = OpenImportTarget(accounts, name, preselect);
    name_->setText(QString::fromStdString(form_.name));
    list_->clear();
    for (const std::string& entry : form_.entries)
        list_->addItem(QString::fromStdString(entry));
    if (form_.listIndex >= 0)
        list_->setCurrentRow(form_.listIndex);
    if (QAbstractButton* button = choice_->button(form_.choice))
        button->setChecked(true);
    ShowChoice(form_.choice);
    if (form_.choice == kImportSelectExisting)
        list_->setFocus();
    else
        name_->setFocus();
}

void CSelectImportAccountDlg::ShowChoice(int choice) {
    ImportTargetForm shown;
    shown.choice = choice;
    name_->setEnabled(ImportNameEnabled(shown));
    list_->setEnabled(ImportListEnabled(shown));
}

ImportTargetForm CSelectImportAccountDlg::Pull() const {
    ImportTargetForm form = form_;
    form.choice = choice_->checkedId();
    form.name = name_->text().toStdString();
    const QList<QListWidgetItem*> picked = list_->selectedItems();
    form.listIndex = picked.isEmpty() ? -1 : list_->row(picked.front());
    return form;
}

CAccount* CSelectImportAccountDlg::ChooseImportAccount(CAccounts& accounts,
                                                       std::string_view accountName) {
    Load(accounts, accountName);
    return Services().RunDialog(*this) == 1 ? chosen_ : nullptr;
}

void CSelectImportAccountDlg::AccountsChanged() {
    if (accountsChanged_)
        accountsChanged_();
}

void CSelectImportAccountDlg::accept() {
    if (accounts_ == nullptr)
        return;
    CAccount* chosen = nullptr;
    const OkResult result = AcceptImportTarget(*accounts_, Pull(), messages_, this, chosen);
    if (result.close) {
        chosen_ = chosen;
        done(1);
    } else if (result.focusId != 0) {
        FocusControl(*this, result.focusId);
    }
}

void CSelectImportAccountDlg::reject() {
    chosen_ = nullptr;
    done(2);
}

}  // namespace tallowmere::ui
