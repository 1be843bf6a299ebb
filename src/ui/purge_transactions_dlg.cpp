#include "ui/purge_transactions_dlg.h"

#include <QButtonGroup>
#include <QDateEdit>
#include <QGridLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/palm_date.h"
#include "ui/small_dialog_parts.h"

namespace tallowmere::ui {

CPurgeTransactionsDlg::CPurgeTransactionsDlg(QWidget* parent)
    : QDialog(parent),
      messages_(this),
      mode_(new QButtonGroup(this)),
      date_(Named(new QDateEdit(this), kPurgeDate)) {
    setObjectName(QStringLiteral("id_143"));
    setWindowTitle(QStringLiteral("Purge Transactions"));

    auto* before = Named(new QRadioButton(QStringLiteral("Purge all transactions before"), this),
                         kPurgeBeforeRadio);
    auto* cleared = Named(new QRadioButton(QStringLiteral("Purge all cleared transactions"), this),
                          kPurgeClearedRadio);
    auto* reconciled =
        Named(new QRadioButton(QStringLiteral("Purge all reconciled transactions"), this),
              kPurgeReconciledRadio);
    mode_->addButton(before, kPurgeBefore);
    mode_->addButton(cleared, kPurgeCleared);
    mode_->addButton(reconciled, kPurgeReconciled);
    SetUpDatePicker(*date_);
    auto* note = new QLabel(
        QStringLiteral("Uncleared transactions will be marked as cleared before they are purged."),
        this);

    auto* choices = new QGridLayout;
    choices->setHorizontalSpacing(8);
    choices->setVerticalSpacing(8);
    // Each radio as wide as its text, so only the text and the button take a click.
    choices->addWidget(before, 0, 0, Qt::AlignLeft);
    choices->addWidget(date_, 0, 1, Qt::AlignLeft);
    choices->addWidget(cleared, 1, 0, 1, 2, Qt::AlignLeft);
    choices->addWidget(reconciled, 2, 0, 1, 2, Qt::AlignLeft);
    choices->setColumnStretch(1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setSpacing(14);
    layout->addLayout(choices);
    layout->addWidget(note);
    layout->addLayout(ButtonRow(*this, {{1, "Purge"}, {2, "Cancel"}}));

    const PurgeForm form = OpenPurge();
    mode_->button(form.mode)->setChecked(true);
    date_->setDate(ToQDate(form.day));
    before->setFocus();
}

CPurgeTransactionsDlg::~CPurgeTransactionsDlg() = default;

void CPurgeTransactionsDlg::accept() {
    const PurgeForm form{mode_->checkedId(), DayToPalmTime(date_->date())};
    if (AcceptPurge(form, messages_, values_).close)
        done(1);
}

void CPurgeTransactionsDlg::reject() {
    done(2);
}

int RunPurgeTransactionsDialog(QWidget* parent, PurgeValues& values) {
    CPurgeTransactionsDlg dialog(parent);
    const int code = Services().RunDialog(dialog);
    if (code == 1)
        values = dialog.Values();
    return code;
}

}  // namespace tallowmere::ui
