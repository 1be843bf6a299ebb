#include "ui/budget_amount_dlg.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/small_dialog_parts.h"

namespace tallowmere::ui {

CBudgetAmountDlg::CBudgetAmountDlg(std::string_view label, Cents budget, QWidget* parent)
    : QDialog(parent),
      messages_(this),
      form_(OpenBudgetAmount(label, budget)),
      prompt_(Named(new QLabel(this), kBudgetPrompt)),
      amountEdit_(Named(new QLineEdit(this), kBudgetAmount)),
      direction_(new QButtonGroup(this)) {
    setObjectName(QStringLiteral("id_147"));
    setWindowTitle(QStringLiteral("Budget Amount"));

    // The label is data: a '<' in a payee name stays a '<'.
    prompt_->setTextFormat(Qt::PlainText);
    prompt_->setWordWrap(true);
    prompt_->setFixedWidth(CharsWide(*prompt_, 44));
    amountEdit_->setMinimumWidth(CharsWide(*amountEdit_, 18));
    auto* amountLabel = new QLabel(QStringLiteral("Amount:"), this);
    amountLabel->setBuddy(amountEdit_);
    auto* deposit = Named(new QRadioButton(QStringLiteral("Deposit"), this), kBudgetDeposit);
    auto* withdrawal =
        Named(new QRadioButton(QStringLiteral("Withdrawal"), this), kBudgetWithdrawal);
    direction_->addButton(deposit, kDirectionDeposit);
    direction_->addButton(withdrawal, kDirectionWithdrawal);

    auto* fields = new QGridLayout;
    fields->setHorizontalSpacing(10);
    fields->setVerticalSpacing(8);
    fields->addWidget(amountLabel, 0, 0);
    fields->addWidget(amountEdit_, 0, 1, Qt::AlignLeft);
    auto* radios = new QHBoxLayout;
    radios->setSpacing(18);
    radios->addWidget(deposit);
    radios->addWidget(withdrawal);
    radios->addStretch();
    fields->addLayout(radios, 1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setSpacing(12);
    layout->addWidget(prompt_);
    layout->addLayout(fields);
    layout->addSpacing(4);
    layout->addLayout(ButtonRow(*this, {{1, "OK"}, {2, "Cancel"}}));

    Push(form_);
    FocusControl(*this, kBudgetAmount);
}

CBudgetAmountDlg::~CBudgetAmountDlg() = default;

void CBudgetAmountDlg::Push(const BudgetAmountForm& form) {
    prompt_->setText(QString::fromStdString(form.prompt));
    amountEdit_->setText(QString::fromStdString(form.amountText));
    // An exclusive group cannot be emptied by unchecking a button.
    direction_->setExclusive(false);
    for (QAbstractButton* button : direction_->buttons())
        button->setChecked(direction_->id(button) == form.direction);
    direction_->setExclusive(true);
}

BudgetAmountForm CBudgetAmountDlg::Pull() const {
    BudgetAmountForm form = form_;
    form.amountText = amountEdit_->text().toStdString();
    form.direction = direction_->checkedId();
    return form;
}

void CBudgetAmountDlg::accept() {
    const OkResult ok = AcceptBudgetAmount(Pull(), messages_, amount_);
    if (ok.close)
        done(1);
    else
        FocusControl(*this, ok.focusId);
}

void CBudgetAmountDlg::reject() {
    done(2);
}

int RunBudgetAmountDialog(QWidget* parent, std::string_view label, Cents& budget) {
    CBudgetAmountDlg dialog(label, budget, parent);
    const int code = Services().RunDialog(dialog);
    if (code == 1)
        budget = dialog.GetAmount();
    return code;
}

}  // namespace tallowmere::ui
