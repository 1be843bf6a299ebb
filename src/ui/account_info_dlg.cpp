#include "ui/account_info_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "model/accounts.h"
#include "model/string_table.h"
#include "ui/account_icon_frame.h"
#include "ui/choose_icon_dlg.h"
#include "ui/small_dialog_parts.h"
#include "ui/ui_text.h"

namespace tallowmere::ui {
namespace {

constexpr int kCaption = 3730;
constexpr int kLabelName = 3731;
constexpr int kLabelType = 3732;
constexpr int kLabelBank = 3733;
constexpr int kLabelNumber = 3734;
constexpr int kLabelBalance = 3735;
constexpr int kLabelCurrency = 3736;
constexpr int kTextInclude = 3737;
constexpr int kTextOnlineSetup = 3738;
constexpr int kTextIcon = 3739;
constexpr int kLabelTransactions = 3740;
constexpr int kLabelOnlineBalance = 3741;
constexpr int kTextOk = 3742;
constexpr int kTextCancel = 3743;
constexpr int kIdOnlineBalanceLabel = 1216;

QLabel* Label(int stringId, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(Text(stringId), parent);
    label->setBuddy(buddy);
    return label;
}

QPushButton* Button(int id, int stringId, QWidget* parent) {
    auto* button = Named(new QPushButton(Text(stringId), parent), id);
    button->setAutoDefault(false);
    button->setMinimumWidth(CharsWide(*button, 10));
    return button;
}

// The sub-dialogs of the widget dialog: the icon chooser on the user's icon
// database and the online setup through the caller's runner.
class WidgetAccountDialogs final : public AccountInfoSubDialogs {
  public:
    WidgetAccountDialogs(std::string folder, OnlineSetupRunner onlineSetup)
        : folder_(std::move(folder)), onlineSetup_(std::move(onlineSetup)) {}
    void SetParent(QWidget* parent) { parent_ = parent; }
    bool HasOnlineSetup() const { return static_cast<bool>(onlineSetup_); }

    std::optional<int> ChooseIcon(int currentIcon) override {
        return RunChooseIconDialog(parent_, currentIcon, folder_);
    }
    bool RunOnlineSetup(OnlineSetupValues& values) override {
        return onlineSetup_ && onlineSetup_(parent_, values);
    }

  private:
    std::string folder_;
    OnlineSetupRunner onlineSetup_;
    QWidget* parent_ = nullptr;
};

}  // namespace

CAccountInfoDlg::CAccountInfoDlg(CAccounts& data, CAccount* account, const std::string& folder,
                                 const IconPainter& icons, AccountInfoSubDialogs& dialogs,
                                 QWidget* parent)
    : QDialog(parent),
      messages_(this),
      logic_(data, account, folder, messages_, dialogs),
      name_(Named(new QLineEdit(this), kAccountName)),
      type_(Named(new QComboBox(this), kAccountType)),
      bank_(Named(new QLineEdit(this), kAccountBank)),
      number_(Named(new QLineEdit(this), kAccountNumber)),
      balance_(Named(new QLineEdit(this), kAccountBalance)),
      currency_(Named(new QComboBox(this), kAccountCurrency)),
      include_(Named(new QCheckBox(Text(kTextInclude), this), kAccountIncludeInTotals)),
      icon_(Named(new AccountIconFrame(icons, this), kAccountIconFrame)),
      count_(Named(new QLabel(this), kAccountTransactionCount)),
      onlineBalance_(Named(new QLabel(this), kAccountOnlineBalance)) {
    setObjectName(QStringLiteral("id_134"));
    setWindowTitle(Text(kCaption));

    DialogStep focus;
    form_ = logic_.Open(&focus);

    for (int code = 0; code < kAccountTypeCount; ++code)
        type_->addItem(Text(kAccountTypeStringBase + code), code);
    for (const CurrencyEntry& entry : form_.currencies)
        currency_->addItem(QString::fromStdString(entry.text), entry.id);
    if (form_.nameLimit != 0)
        name_->setMaxLength(static_cast<int>(form_.nameLimit));
    bank_->setMaxLength(static_cast<int>(kBankNameWidth));
    number_->setMaxLength(static_cast<int>(kAccountNumberWidth));
    for (QWidget* w :
         {static_cast<QWidget*>(name_), static_cast<QWidget*>(type_), static_cast<QWidget*>(bank_),
          static_cast<QWidget*>(number_), static_cast<QWidget*>(currency_)})
        w->setMinimumWidth(CharsWide(*w, 30));
    balance_->setMinimumWidth(CharsWide(*balance_, 16));
    for (QLabel* value : {count_, onlineBalance_})
        value->setTextFormat(Qt::PlainText);

    auto* iconButton = Button(kAccountIcon, kTextIcon, this);
    auto* setupButton = Button(kAccountOnlineSetup, kTextOnlineSetup, this);
    auto* ok = Button(1, kTextOk, this);
    auto* cancel = Button(2, kTextCancel, this);
    ok->setDefault(true);
    ok->setAutoDefault(true);
    if (auto* widgets = dynamic_cast<WidgetAccountDialogs*>(&dialogs))
        setupButton->setEnabled(widgets->HasOnlineSetup());

    auto* fields = new QGridLayout;
    fields->setHorizontalSpacing(10);
    fields->setVerticalSpacing(8);
    int row = 0;
    const auto addRow = [&](int label, QWidget* field, Qt::Alignment align = {}) {
        fields->addWidget(Label(label, field, this), row, 0);
        fields->addWidget(field, row, 1, align);
        ++row;
    };
    addRow(kLabelName, name_);
    addRow(kLabelType, type_);
    addRow(kLabelBank, bank_);
    addRow(kLabelNumber, number_);
    addRow(kLabelBalance, balance_, Qt::AlignLeft);
    addRow(kLabelCurrency, currency_);
    fields->addWidget(include_, row++, 1);
    // The read-only figures line up with the fields above them.
    fields->setRowMinimumHeight(row++, 6);
    fields->addWidget(new QLabel(Text(kLabelTransactions), this), row, 0);
    fields->addWidget(count_, row++, 1);
    fields->addWidget(Named(new QLabel(Text(kLabelOnlineBalance), this), kIdOnlineBalanceLabel),
                      row, 0);
    fields->addWidget(onlineBalance_, row++, 1);
    fields->setColumnStretch(1, 1);

    auto* iconColumn = new QVBoxLayout;
    iconColumn->setSpacing(8);
    iconColumn->addWidget(icon_, 0, Qt::AlignHCenter);
    iconColumn->addWidget(iconButton);
    iconColumn->addStretch();

    auto* top = new QHBoxLayout;
    top->setSpacing(16);
    top->addLayout(fields, 1);
    top->addLayout(iconColumn);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(8);
    buttons->addWidget(setupButton);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setSpacing(14);
    layout->addLayout(top);
    layout->addLayout(buttons);

    // User choices only: filling and pushing must not reset the icon.
    connect(type_, &QComboBox::activated, this, &CAccountInfoDlg::TypeChosen);
    connect(iconButton, &QPushButton::clicked, this, &CAccountInfoDlg::ChooseIcon);
    connect(setupButton, &QPushButton::clicked, this, &CAccountInfoDlg::OnlineSetup);
    connect(ok, &QPushButton::clicked, this, &CAccountInfoDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CAccountInfoDlg::reject);

    Push(form_);
    Focus(focus);
}

CAccountInfoDlg::~CAccountInfoDlg() = default;

void CAccountInfoDlg::Push(const AccountInfoForm& form) {
    const QSignalBlocker blockType(type_);
    const QSignalBlocker blockCurrency(currency_);
    name_->setText(QString::fromStdString(form.name));
    type_->setCurrentIndex(form.typeIndex);
    bank_->setText(QString::fromStdString(form.bank));
    number_->setText(QString::fromStdString(form.accountNumber));
    balance_->setText(QString::fromStdString(form.balanceText));
    currency_->setCurrentIndex(form.currencyIndex);
    include_->setChecked(form.includeInTotals);
    icon_->SetIconIndex(form.iconIndex);
    count_->setText(QString::fromStdString(form.transactionCount));
    onlineBalance_->setText(QString::fromStdString(form.onlineBalance));
    const bool editable = form.FieldsEditable();
    number_->setEnabled(editable);
    bank_->setEnabled(editable);
    type_->setEnabled(editable);
}

AccountInfoForm CAccountInfoDlg::Pull() const {
    AccountInfoForm form = form_;
    form.name = name_->text().toStdString();
    form.typeIndex = type_->currentIndex();
    form.bank = bank_->text().toStdString();
    form.accountNumber = number_->text().toStdString();
    form.balanceText = balance_->text().toStdString();
    form.currencyIndex = currency_->currentIndex();
    form.includeInTotals = include_->isChecked();
    return form;
}

void CAccountInfoDlg::Focus(const DialogStep& step) {
    auto* control = findChild<QWidget*>(QStringLiteral("id_%1").arg(step.focusId));
    if (control == nullptr)
        return;
    control->setFocus(Qt::OtherFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(control); edit != nullptr && step.selectAll)
        edit->selectAll();
}

void CAccountInfoDlg::TypeChosen() {
    form_ = Pull();
    logic_.OnTypeChosen(form_);
    icon_->SetIconIndex(form_.iconIndex);
}

void CAccountInfoDlg::ChooseIcon() {
    form_ = Pull();
    logic_.OnChooseIcon(form_);
    icon_->SetIconIndex(form_.iconIndex);
}

void CAccountInfoDlg::OnlineSetup() {
    form_ = Pull();
    if (logic_.OnOnlineSetup(form_))
        Push(form_);
}

void CAccountInfoDlg::accept() {
    form_ = Pull();
    const DialogStep step = logic_.Ok(form_);
    if (step.close)
        done(step.code);
    else
        Focus(step);
}

void CAccountInfoDlg::reject() {
    done(2);
}

AccountInfoOutcome RunAccountInfoDialog(QWidget* parent, CAccounts& data, CAccount* account,
                                        const std::string& folder, const IconPainter& icons,
                                        OnlineSetupRunner onlineSetup) {
    WidgetAccountDialogs dialogs(folder, std::move(onlineSetup));
    CAccountInfoDlg dialog(data, account, folder, icons, dialogs, parent);
    dialogs.SetParent(&dialog);
    AccountInfoOutcome outcome;
    outcome.code = Services().RunDialog(dialog);
    if (outcome.code != 1)
        return outcome;
    if (std::unique_ptr<CAccount> created = dialog.TakeNewAccount())
        outcome.account = data.InsertAccount(std::move(created));
    else
        outcome.account = account;
    return outcome;
}

}  // namespace tallowmere::ui
