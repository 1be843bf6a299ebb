#include "ui/transfer_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "ui/palm_date.h"
#include "ui/small_dialog_parts.h"

namespace tallowmere::ui {
namespace {

QLabel* Label(const char* text, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->setBuddy(buddy);
    return label;
}

}  // namespace

CTransferDlg::CTransferDlg(CAccounts& data, const CAccount* current, QWidget* parent)
    : QDialog(parent),
      data_(data),
      messages_(this),
      form_(OpenTransfer(data, current)),
      date_(Named(new QDateEdit(this), kTransferDate)),
      from_(Named(new QComboBox(this), kTransferFrom)),
      amount_(Named(new QLineEdit(this), kTransferAmount)),
      to_(Named(new QComboBox(this), kTransferTo)),
      cleared_(Named(new QCheckBox(QStringLiteral("Cleared"), this), kTransferCleared)) {
    setObjectName(QStringLiteral("id_140"));
    setWindowTitle(QStringLiteral("Transfer Funds"));

    SetUpDatePicker(*date_);
    for (QComboBox* combo : {from_, to_}) {
        combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        combo->setMinimumWidth(CharsWide(*combo, 28));
    }
    amount_->setMinimumWidth(CharsWide(*amount_, 16));

    auto* fields = new QGridLayout;
    fields->setHorizontalSpacing(10);
    fields->setVerticalSpacing(8);
    fields->addWidget(Label("Date:", date_, this), 0, 0);
    fields->addWidget(date_, 0, 1, Qt::AlignLeft);
    fields->addWidget(Label("From:", from_, this), 1, 0);
    fields->addWidget(from_, 1, 1);
    fields->addWidget(Label("Amount:", amount_, this), 2, 0);
    fields->addWidget(amount_, 2, 1, Qt::AlignLeft);
    fields->addWidget(Label("To:", to_, this), 3, 0);
    fields->addWidget(to_, 3, 1);
    fields->addWidget(cleared_, 4, 1, Qt::AlignLeft);
    fields->setColumnStretch(1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setSpacing(16);
    layout->addLayout(fields);
    layout->addLayout(ButtonRow(*this, {{1, "OK"}, {2, "Cancel"}}));

    for (QComboBox* combo : {from_, to_}) {
        for (const std::string& name : form_.accountNames)
            combo->addItem(QString::fromStdString(name));
    }
    Push(form_);
    date_->setFocus();
}

CTransferDlg::~CTransferDlg() = default;

void CTransferDlg::Push(const TransferForm& form) {
    date_->setDate(ToQDate(form.day));
    from_->setCurrentIndex(form.fromIndex);
    amount_->setText(QString::fromStdString(form.amountText));
    to_->setCurrentIndex(form.toIndex);
    cleared_->setChecked(form.cleared);
}

TransferForm CTransferDlg::Pull() const {
    TransferForm form = form_;
    form.day = DayToPalmTime(date_->date());
    form.fromIndex = from_->currentIndex();
    form.amountText = amount_->text().toStdString();
    form.toIndex = to_->currentIndex();
    form.cleared = cleared_->isChecked();
    return form;
}

void CTransferDlg::accept() {
    const OkResult ok = AcceptTransfer(data_, Pull(), messages_, values_);
    if (ok.close)
        done(1);
    else
        FocusControl(*this, ok.focusId);
}

void CTransferDlg::reject() {
    done(2);
}

TransferOutcome RunTransferDialog(QWidget* parent, CAccounts& data, CAccount* current) {
    TransferOutcome outcome;
    CTransferDlg dialog(data, current, parent);
    outcome.code = Services().RunDialog(dialog);
    if (outcome.code != 1)
        return outcome;
    outcome.values = dialog.Values();
    ServiceMessages messages(parent);
    outcome.result = BookTransfer(data, outcome.values, current, messages, &outcome.created);
    return outcome;
}

}  // namespace tallowmere::ui
