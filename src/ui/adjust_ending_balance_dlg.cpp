#include "ui/adjust_ending_balance_dlg.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <algorithm>

#include "model/string_table.h"
#include "ui/small_dialog_parts.h"

namespace tallowmere::ui {

CAdjustEndingBalanceDlg::CAdjustEndingBalanceDlg(CAccount& account, int balanceKind,
                                                 QWidget* parent)
    : QDialog(parent),
      account_(account),
      messages_(this),
      form_(OpenAdjustBalance(account, balanceKind)),
      amount_(Named(new QLineEdit(this), kAdjustAmount)),
      kind_(Named(new QComboBox(this), kAdjustKind)) {
    setObjectName(QStringLiteral("id_141"));
    setWindowTitle(QStringLiteral("Adjust Ending Balance"));

    for (const int entry : kBalanceKindEntries)
        kind_->addItem(QString::fromStdString(LoadString(entry)));
    amount_->setMinimumWidth(CharsWide(*amount_, 18));

    auto* amountLabel = new QLabel(QStringLiteral("Enter new balance:"), this);
    amountLabel->setBuddy(amount_);
    auto* kindLabel = new QLabel(QStringLiteral("Balance type:"), this);
    kindLabel->setBuddy(kind_);

    auto* fields = new QGridLayout;
    fields->setHorizontalSpacing(10);
    fields->setVerticalSpacing(8);
    fields->addWidget(amountLabel, 0, 0);
    fields->addWidget(amount_, 0, 1);
    fields->addWidget(kindLabel, 1, 0);
    fields->addWidget(kind_, 1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setSpacing(16);
    layout->addLayout(fields);
    layout->addLayout(ButtonRow(*this, {{1, "OK"}, {2, "Cancel"}}));

    // Only the user's choice replaces the text, not the fill below.
    connect(kind_, &QComboBox::activated, this, &CAdjustEndingBalanceDlg::KindChosen);
    Push();
    FocusControl(*this, kAdjustAmount);
}

CAdjustEndingBalanceDlg::~CAdjustEndingBalanceDlg() = default;

void CAdjustEndingBalanceDlg::Push() {
    const QString text = QString::fromStdString(form_.amountText);
    // The limit is for typing: a balance longer than it is shown whole.
    amount_->setMaxLength(std::max<int>(kAdjustAmountChars, static_cast<int>(text.size())));
    amount_->setText(text);
    kind_->setCurrentIndex(form_.kind);
}

void CAdjustEndingBalanceDlg::KindChosen(int index) {
    form_.amountText = amount_->text().toStdString();
    ChangeBalanceKind(account_, form_, index);
    Push();
}

void CAdjustEndingBalanceDlg::accept() {
    form_.amountText = amount_->text().toStdString();
    form_.kind = kind_->currentIndex();
    const OkResult ok = AcceptAdjustBalance(account_, form_, messages_);
    if (ok.close)
        done(1);
    else
        FocusControl(*this, ok.focusId);
}

void CAdjustEndingBalanceDlg::reject() {
    done(2);
}

int RunAdjustEndingBalanceDialog(QWidget* parent, CAccount& account, int balanceKind) {
    CAdjustEndingBalanceDlg dialog(account, balanceKind, parent);
    return Services().RunDialog(dialog);
}

}  // namespace tallowmere::ui
