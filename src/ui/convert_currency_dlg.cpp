#include "ui/convert_currency_dlg.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <utility>

#include "model/string_table.h"
#include "ui/icon_list_button.h"
#include "ui/ui_text.h"

namespace tallowmere::ui {
namespace {

constexpr int kCaption = 3373;  // "Convert Currency"
constexpr int kFromLabel = 3374;
constexpr int kAmountLabel = 3375;
constexpr int kConversionLabel = 3376;
constexpr int kCalculateText = 3377;
constexpr int kOkText = 3371;
constexpr int kCancelText = 3372;

constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdCalculate = 3;
constexpr int kIdCurrency = 1139;
constexpr int kIdSource = 1140;
constexpr int kIdRate = 1141;
constexpr int kIdConverted = 1142;
constexpr int kIdCurrenciesButton = 1143;
constexpr int kIdTargetText = 1144;

template <typename W>
W* Named(W* widget, int id) {
    widget->setObjectName(QStringLiteral("id_%1").arg(id));
    return widget;
}

QLabel* BuddyLabel(int stringId, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(Text(stringId), parent);
    label->setBuddy(buddy);
    return label;
}

}  // namespace

CConvertCurrencyDlg::CConvertCurrencyDlg(CAccounts& data, CurrencyId target, bool newTransaction,
                                         const ConvertCurrencyData& in,
                                         CurrenciesEditor editCurrencies, QWidget* parent)
    : QDialog(parent),
      messages_(this),
      logic_(data, target, newTransaction, messages_),
      editCurrencies_(std::move(editCurrencies)),
      result_(in) {
    setObjectName(QStringLiteral("id_167"));
    setWindowTitle(Text(kCaption));
    const ConvertField firstFocus = logic_.Open(in);

    currency_ = Named(new QComboBox(this), kIdCurrency);
    auto* currencies = Named(new CIconListButton(this), kIdCurrenciesButton);
    currencies->SetIconList(0);
    currencies->SetImages(0, 1);
    currencies->setFocusPolicy(Qt::StrongFocus);
    source_ = Named(new QLineEdit(this), kIdSource);
    rate_ = Named(new QLineEdit(this), kIdRate);
    converted_ = Named(new QLineEdit(this), kIdConverted);
    for (QLineEdit* edit : {source_, rate_, converted_})
        edit->setAlignment(Qt::AlignRight);
    // Data: the symbol is shown as it is stored.
    targetText_ = Named(new QLabel(this), kIdTargetText);
    targetText_->setTextFormat(Qt::PlainText);
    targetText_->setText(QString::fromStdString(logic_.TargetText()));

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setContentsMargins(14, 14, 14, 14);
    layout->setSpacing(12);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(6);
    grid->setColumnMinimumWidth(1, 160);
    grid->addWidget(BuddyLabel(kFromLabel, currency_, this), 0, 0);
    grid->addWidget(currency_, 0, 1);
    grid->addWidget(currencies, 0, 2, Qt::AlignLeft | Qt::AlignVCenter);
    grid->addWidget(BuddyLabel(kAmountLabel, source_, this), 1, 0);
    grid->addWidget(source_, 1, 1);
    grid->addWidget(BuddyLabel(kConversionLabel, rate_, this), 2, 0);
    grid->addWidget(rate_, 2, 1);
    grid->addWidget(converted_, 3, 1);
    grid->addWidget(targetText_, 3, 2);
    layout->addLayout(grid);

    auto* buttons = new QHBoxLayout;
    auto* calculate = Named(new QPushButton(Text(kCalculateText), this), kIdCalculate);
    auto* ok = Named(new QPushButton(Text(kOkText), this), kIdOk);
    auto* cancel = Named(new QPushButton(Text(kCancelText), this), kIdCancel);
    for (QPushButton* button : {calculate, ok, cancel})
        button->setAutoDefault(false);
    ok->setDefault(true);
    buttons->addWidget(calculate);
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);

    setTabOrder(currency_, currencies);
    setTabOrder(currencies, source_);
    setTabOrder(source_, rate_);
    setTabOrder(rate_, converted_);
    setTabOrder(converted_, calculate);
    setTabOrder(calculate, ok);
    setTabOrder(ok, cancel);

    // activated: only the user's choice, not the filling.
    connect(currency_, &QComboBox::activated, this, &CConvertCurrencyDlg::OnCurrencyChosen);
    connect(currencies, &QAbstractButton::clicked, this, &CConvertCurrencyDlg::OnCurrencies);
    connect(calculate, &QPushButton::clicked, this, &CConvertCurrencyDlg::OnCalculate);
    connect(ok, &QPushButton::clicked, this, &CConvertCurrencyDlg::OnOk);
    connect(cancel, &QPushButton::clicked, this, &CConvertCurrencyDlg::reject);

    FillCombo();
    Push();
    Focus(firstFocus);
}

CConvertCurrencyDlg::~CConvertCurrencyDlg() = default;

void CConvertCurrencyDlg::FillCombo() {
    const QSignalBlocker blocker(currency_);
    currency_->clear();
    for (const CurrencyEntry& entry : logic_.Entries())
        currency_->addItem(QString::fromStdString(entry.text), entry.id);
}

void CConvertCurrencyDlg::Push() {
    const ConvertCurrencyForm& form = logic_.Form();
    {
        const QSignalBlocker blocker(currency_);
        currency_->setCurrentIndex(form.currencyIndex);
    }
    source_->setText(QString::fromStdString(form.sourceText));
    rate_->setText(QString::fromStdString(form.rateText));
    converted_->setText(QString::fromStdString(form.convertedText));
    rate_->setEnabled(form.rateEnabled);
}

void CConvertCurrencyDlg::Pull() {
    ConvertCurrencyForm& form = logic_.Form();
    form.currencyIndex = currency_->currentIndex();
    form.sourceText = source_->text().toStdString();
    form.rateText = rate_->text().toStdString();
    form.convertedText = converted_->text().toStdString();
}

void CConvertCurrencyDlg::Focus(ConvertField field) {
    QLineEdit* edit = nullptr;
    switch (field) {
        case ConvertField::kSource:
            edit = source_;
            break;
        case ConvertField::kRate:
            edit = rate_;
            break;
        case ConvertField::kConverted:
            edit = converted_;
            break;
        case ConvertField::kNone:
            return;
    }
    // A disabled rate edit cannot take the focus.
    if (!edit->isEnabled())
        edit = source_;
    edit->setFocus(Qt::OtherFocusReason);
    edit->selectAll();
}

void CConvertCurrencyDlg::OnCurrencyChosen(int index) {
    Pull();
    const ConvertField field = logic_.OnCurrencyChanged(index);
    Push();
    Focus(field);
}

void CConvertCurrencyDlg::OnCalculate() {
    Pull();
    const ConvertField field = logic_.Calculate();
    Push();
    Focus(field);
}

void CConvertCurrencyDlg::OnCurrencies() {
    Pull();
    logic_.BeforeCurrenciesEdited();
    if (editCurrencies_)
        editCurrencies_(this);
    logic_.AfterCurrenciesEdited();
    FillCombo();
    Push();
}

void CConvertCurrencyDlg::OnOk() {
    Pull();
    ConvertField focus = ConvertField::kNone;
    if (logic_.Ok(&result_, &focus))
        done(1);
    else
        Focus(focus);
}

void CConvertCurrencyDlg::reject() {
    done(2);
}

int RunConvertCurrencyDialog(QWidget* parent, CAccounts& data, CurrencyId target,
                             bool newTransaction, ConvertCurrencyData& io,
                             CurrenciesEditor editCurrencies) {
    CConvertCurrencyDlg dialog(data, target, newTransaction, io, std::move(editCurrencies), parent);
    const int result = Services().RunDialog(dialog);
    if (result == 1)
        io = dialog.Result();
    return result;
}

}  // namespace tallowmere::ui
