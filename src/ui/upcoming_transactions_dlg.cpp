#include "ui/upcoming_transactions_dlg.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "model/string_table.h"
#include "ui/small_dialog_parts.h"
#include "ui/ui_text.h"
#include "ui/upcoming_list_ctrl.h"

namespace tallowmere::ui {
namespace {

QPushButton* Button(QDialog& dialog, int stringId, int id) {
    auto* button = Named(new QPushButton(Text(stringId), &dialog), id);
    button->setMinimumWidth(CharsWide(*button, 12));
    return button;
}

}  // namespace

CUpcomingTransactionsDlg::CUpcomingTransactionsDlg(DataSetSource data,
                                                   TransactionDialogRunner& runner,
                                                   UpcomingViewHost* host, QWidget* parent)
    : QDialog(parent),
      messages_(this),
      logic_(std::move(data), messages_, runner, host),
      through_(Named(new QComboBox(this), kUpcomingThru)),
      list_(new CUpcomingListCtrl(logic_, this)),
      recordAll_(Button(*this, 3517, kUpcomingRecordAll)),
      record_(Button(*this, 3518, kUpcomingRecord)),
      edit_(Button(*this, 3519, kUpcomingEdit)),
      skip_(Button(*this, 3520, kUpcomingSkip)) {
    setObjectName(QStringLiteral("id_1591"));
    setWindowTitle(Text(kStringUpcomingCaption));

    for (const int entry : kThruEntries)
        through_->addItem(Text(entry));
    auto* throughLabel = new QLabel(Text(3506), this);
    throughLabel->setBuddy(through_);

    list_->Create(QRect(), this, kUpcomingList);
    int width = 0;
    int position = 0;
    for (const UpcomingColumn& column : kUpcomingColumns) {
        list_->InsertColumnById(position++, static_cast<std::uint16_t>(column.columnId),
                                column.titleStringId, column.width);
        width += column.width;
    }
    list_->setMinimumSize(width + list_->frameWidth() * 2 + 24, 240);

    auto* done = Button(*this, 3516, kUpcomingDone);
    done->setDefault(true);
    auto* buttons = new QVBoxLayout;
    buttons->setSpacing(8);
    buttons->addWidget(done);
    buttons->addSpacing(8);
    buttons->addWidget(recordAll_);
    buttons->addWidget(record_);
    buttons->addWidget(edit_);
    buttons->addWidget(skip_);
    buttons->addStretch();

    auto* thru = new QHBoxLayout;
    thru->setSpacing(6);
    thru->addWidget(throughLabel);
    thru->addWidget(through_);
    thru->addStretch();

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setHorizontalSpacing(12);
    layout->setVerticalSpacing(8);
    layout->addLayout(thru, 0, 0);
    layout->addWidget(list_, 1, 0);
    layout->addLayout(buttons, 1, 1);
    layout->setRowStretch(1, 1);
    layout->setColumnStretch(0, 1);

    connect(done, &QPushButton::clicked, this, &QDialog::accept);
    connect(recordAll_, &QPushButton::clicked, this, &CUpcomingTransactionsDlg::OnRecordAll);
    connect(record_, &QPushButton::clicked, this, [this] { OnRowAction(&UpcomingLogic::Record); });
    connect(edit_, &QPushButton::clicked, this, [this] { OnRowAction(&UpcomingLogic::Edit); });
    connect(skip_, &QPushButton::clicked, this, [this] { OnRowAction(&UpcomingLogic::Skip); });
    connect(list_, &QAbstractItemView::doubleClicked, this,
            [this] { OnRowAction(&UpcomingLogic::Edit); });
    // activated: a user's choice only, not the fill below.
    connect(through_, &QComboBox::activated, this, &CUpcomingTransactionsDlg::OnThroughChosen);
    connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CUpcomingTransactionsDlg::UpdateButtons);

    logic_.Open();
    {
        const QSignalBlocker blocker(through_);
        through_->setCurrentIndex(logic_.ThroughMode());
    }
    ShowRows();
    list_->setFocus();
}

CUpcomingTransactionsDlg::~CUpcomingTransactionsDlg() = default;

void CUpcomingTransactionsDlg::ShowRows() {
    list_->ResetItemCount();
    list_->viewport()->update();
    UpdateButtons();
}

void CUpcomingTransactionsDlg::UpdateButtons() {
    const bool row = UpcomingLogic::RowActionsEnabled(list_->GetFirstSelectedItem());
    record_->setEnabled(row);
    edit_->setEnabled(row);
    skip_->setEnabled(row);
}

void CUpcomingTransactionsDlg::OnRowAction(void (UpcomingLogic::*action)(std::size_t)) {
    const int row = list_->GetFirstSelectedItem();
    if (!UpcomingLogic::RowActionsEnabled(row))
        return;
    (logic_.*action)(static_cast<std::size_t>(row));
    ShowRows();
}

void CUpcomingTransactionsDlg::OnRecordAll() {
    logic_.RecordAll();
    ShowRows();
}

void CUpcomingTransactionsDlg::OnThroughChosen(int index) {
    logic_.ChooseThroughMode(index);
    ShowRows();
}

void CUpcomingTransactionsDlg::accept() {
    logic_.Done();
    done(1);
}

void CUpcomingTransactionsDlg::reject() {
    done(2);
}

int RunUpcomingTransactionsDialog(QWidget* parent, DataSetSource data,
                                  TransactionDialogRunner& runner, UpcomingViewHost* host) {
    CUpcomingTransactionsDlg dialog(std::move(data), runner, host, parent);
    return Services().RunDialog(dialog);
}

}  // namespace tallowmere::ui
