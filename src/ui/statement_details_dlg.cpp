#include "ui/statement_details_dlg.h"

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

CStatementDetailsDlg::CStatementDetailsDlg(const StatementDetailsValues& values, QWidget* parent)
    : QDialog(parent),
      messages_(this),
      values_(values),
      form_(OpenStatementDetails(values)),
      date_(Named(new QDateEdit(this), kStatementClosingDate)),
      beginning_(Named(new QLineEdit(this), kStatementBeginning)),
      ending_(Named(new QLineEdit(this), kStatementEnding)),
      creditHint_(
          Named(new QLabel(QStringLiteral("(Remember that credit cards typically have negative "
                                          "balances. You need to enter those balances as negative "
                                          "numbers.)"),
                           this),
                kStatementCreditHint)) {
    setObjectName(QStringLiteral("id_148"));
    setWindowTitle(QStringLiteral("Statement Details"));

    SetUpDatePicker(*date_);
    for (QLineEdit* edit : {beginning_, ending_})
        edit->setMinimumWidth(CharsWide(*edit, 18));
    creditHint_->setWordWrap(true);

    auto* fields = new QGridLayout;
    fields->setHorizontalSpacing(10);
    fields->setVerticalSpacing(8);
    fields->setContentsMargins(12, 0, 0, 0);
    fields->addWidget(Label("&Closing Date:", date_, this), 0, 0);
    fields->addWidget(date_, 0, 1, Qt::AlignLeft);
    fields->addWidget(Label("&Beginning Balance:", beginning_, this), 1, 0);
    fields->addWidget(beginning_, 1, 1);
    fields->addWidget(Label("&Ending Balance:", ending_, this), 2, 0);
    fields->addWidget(ending_, 2, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setSpacing(12);
    layout->addWidget(
        new QLabel(QStringLiteral("Enter the following from your bank statement:"), this));
    layout->addLayout(fields);
    layout->addWidget(creditHint_);
    layout->addSpacing(4);
    layout->addLayout(ButtonRow(*this, {{1, "Continue"}, {2, "Cancel"}}));
    // The hint wraps within the width of the fields above it.
    creditHint_->setFixedWidth(fields->sizeHint().width() + 12);

    date_->setDate(ToQDate(form_.closingDate));
    beginning_->setText(QString::fromStdString(form_.beginningBalance));
    ending_->setText(QString::fromStdString(form_.endingBalance));
    creditHint_->setVisible(form_.showCreditHint);
    FocusControl(*this, form_.focusId);
    if (!form_.selectFocusText)
        ending_->deselect();
}

CStatementDetailsDlg::~CStatementDetailsDlg() = default;

void CStatementDetailsDlg::accept() {
    StatementDetailsForm form = form_;
    PickClosingDay(form, DayToPalmTime(date_->date()));
    form.beginningBalance = beginning_->text().toStdString();
    form.endingBalance = ending_->text().toStdString();
    const OkResult ok = AcceptStatementDetails(form, messages_, values_);
    if (ok.close)
        done(1);
    else
        FocusControl(*this, ok.focusId);
}

void CStatementDetailsDlg::reject() {
    done(2);
}

int RunStatementDetailsDialog(QWidget* parent, StatementDetailsValues& values) {
    CStatementDetailsDlg dialog(values, parent);
    const int code = Services().RunDialog(dialog);
    if (code == 1)
        values = dialog.Values();
    return code;
}

}  // namespace tallowmere::ui
