#include "ui/online_setup_dlg.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "exchange/fi_list.h"
#include "platform/text_1252.h"
#include "ui/online_account_info_dlg.h"
#include "ui/online_dialog_parts.h"
#include "ui/online_password_dlg.h"
#include "ui/online_progress_dlg.h"
#include "ui/select_account_dlg.h"
#include "ui/select_bank_dlg.h"
#include "ui/small_dialog_parts.h"

namespace tallowmere::ui {
namespace {

constexpr int kStrCaption = 3602;
constexpr int kStrEnable = 3603;
constexpr int kStrBank = 3604;
constexpr int kStrCustomerId = 3606;
constexpr int kStrPassword = 3607;
constexpr int kStrAccount = 3608;
constexpr int kStrClientUid = 3610;
constexpr int kStrNote = 3611;
constexpr int kStrOk = 3612;
constexpr int kStrCancel = 3601;

QString FromModel(const std::string& text) {
    return QString::fromStdString(platform::Cp1252ToUtf8(text));
}

std::string ToModel(const QLineEdit& edit) {
    return platform::Utf8ToCp1252(edit.text().toStdString());
}

// A row that comes and goes keeps its room, so the dialog does not jump.
template <typename W>
W* Steady(W* widget) {
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
    return widget;
}

void Show(QWidget* widget, bool shown, bool enabled) {
    widget->setVisible(shown);
    widget->setEnabled(shown && enabled);
}

}  // namespace

COnlineSetupDlg::COnlineSetupDlg(const CAccounts& data, CFiList& list,
                                 const OnlineSetupForm& values, const std::string& accountName,
                                 QWidget* parent)
    : QDialog(parent),
      data_(data),
      list_(list),
      accountName_(accountName),
      values_(values),
      messages_(this),
      enable_(Named(new QCheckBox(StringText(kStrEnable), this), kSetupEnable)),
      bankLabel_(Named(PlainLabel(StringText(kStrBank), this), 1094)),
      bank_(Named(new QPushButton(this), kSetupSelectBank)),
      customerLabel_(Steady(Named(PlainLabel(StringText(kStrCustomerId), this), 1095))),
      customer_(Steady(Named(new QLineEdit(this), kSetupCustomerId))),
      passwordLabel_(Steady(Named(PlainLabel(StringText(kStrPassword), this), 1096))),
      password_(Steady(Named(new QPushButton(this), kSetupPassword))),
      accountLabel_(Steady(Named(PlainLabel(StringText(kStrAccount), this), 1097))),
      account_(Steady(Named(new QPushButton(this), kSetupSelectAccount))),
      clientUidLabel_(Steady(Named(PlainLabel(StringText(kStrClientUid), this), 1220))),
      clientUid_(Steady(Named(new QLineEdit(this), kSetupClientUid))),
      note_(Steady(Named(PlainLabel(StringText(kStrNote), this), kSetupNote))) {
    setObjectName(QStringLiteral("id_153"));
    setWindowTitle(StringText(kStrCaption));
    bankLabel_->setBuddy(bank_);
    customerLabel_->setBuddy(customer_);
    passwordLabel_->setBuddy(password_);
    accountLabel_->setBuddy(account_);
    clientUidLabel_->setBuddy(clientUid_);
    customer_->setMaxLength(kCustomerIdMaxChars);
    clientUid_->setMaxLength(kClientUidMaxChars);
    note_->setWordWrap(true);
    for (QPushButton* button : {bank_, password_, account_}) {
        button->setAutoDefault(false);
        button->setMinimumWidth(CharsWide(*button, 28));
    }
    customer_->setMinimumWidth(CharsWide(*customer_, 28));
    clientUid_->setMinimumWidth(CharsWide(*clientUid_, 28));
    note_->setFixedWidth(CharsWide(*note_, 52));

    auto* fields = new QGridLayout;
    fields->setHorizontalSpacing(10);
    fields->setVerticalSpacing(8);
    fields->addWidget(enable_, 0, 0, 1, 2);
    fields->setRowMinimumHeight(1, 4);
    const std::pair<QLabel*, QWidget*> rows[] = {{bankLabel_, bank_},
                                                 {customerLabel_, customer_},
                                                 {passwordLabel_, password_},
                                                 {accountLabel_, account_},
                                                 {clientUidLabel_, clientUid_}};
    int row = 2;
    for (const auto& [label, control] : rows) {
        fields->addWidget(label, row, 0);
        fields->addWidget(control, row, 1);
        ++row;
    }
    fields->addWidget(note_, row, 0, 1, 2);
    fields->setColumnStretch(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setSpacing(16);
    layout->addLayout(fields);
    layout->addLayout(
        ButtonRow(*this, {{1, LoadString(kStrOk).c_str()}, {2, LoadString(kStrCancel).c_str()}}));

    enable_->setChecked(values_.enabled);
    customer_->setText(FromModel(values_.customerId));
    clientUid_->setText(FromModel(values_.clientUid));
    if (values_.enabled)
        ResolveSetupBank(list_, values_);
    UpdateControls();

    connect(enable_, &QCheckBox::clicked, this, &COnlineSetupDlg::OnEnableClicked);
    connect(bank_, &QPushButton::clicked, this, &COnlineSetupDlg::OnSelectBank);
    connect(password_, &QPushButton::clicked, this, &COnlineSetupDlg::OnPassword);
    connect(account_, &QPushButton::clicked, this, &COnlineSetupDlg::OnSelectAccount);
    connect(customer_, &QLineEdit::textChanged, this, [this] {
        Pull();
        UpdateControls();
    });
    connect(clientUid_, &QLineEdit::textChanged, this, &COnlineSetupDlg::Pull);
    enable_->setFocus();
}

COnlineSetupDlg::~COnlineSetupDlg() = default;

CFiItem* COnlineSetupDlg::Bank() const {
    return values_.fiId != 0 ? list_.FindByFiId(values_.fiId) : nullptr;
}

void COnlineSetupDlg::Pull() {
    values_.enabled = enable_->isChecked();
    values_.customerId = ToModel(*customer_);
    values_.clientUid = ToModel(*clientUid_);
}

void COnlineSetupDlg::UpdateControls() {
    const OnlineSetupView view = ComputeOnlineSetupView(values_, Bank() != nullptr);
    bankLabel_->setEnabled(view.bankEnabled);
    bank_->setEnabled(view.bankEnabled);
    bank_->setText(QString::fromStdString(view.bankCaption));
    for (QWidget* w : std::initializer_list<QWidget*>{customerLabel_, customer_, passwordLabel_,
                                                      password_, clientUidLabel_, clientUid_})
        Show(w, view.detailsShown, view.detailsEnabled);
    note_->setVisible(view.noteShown);
    password_->setText(QString::fromStdString(view.passwordCaption));
    Show(accountLabel_, view.accountShown, view.accountEnabled);
    Show(account_, view.accountShown, view.accountEnabled);
    account_->setText(QString::fromStdString(view.accountCaption));
}

void COnlineSetupDlg::OnEnableClicked() {
    Pull();
    if (values_.enabled)
        ResolveSetupBank(list_, values_);
    UpdateControls();
}

void COnlineSetupDlg::OnSelectBank() {
    Pull();
    UpdateControls();
    const bool chosen = RunSelectBank(list_, values_, *this);
    UpdateControls();
    if (chosen)
        customer_->setFocus();
}

void COnlineSetupDlg::OnPassword() {
    RunOnlinePasswordDialog(this, values_.password);
    UpdateControls();
}

void COnlineSetupDlg::OnSelectAccount() {
    Pull();
    CFiItem* bank = Bank();
    if (bank == nullptr)
        return;
    RunSelectAccount(*bank, values_, *this);
    // A client UID the bank needs was made from the customer id.
    const QSignalBlocker blocker(clientUid_);
    clientUid_->setText(FromModel(values_.clientUid));
    UpdateControls();
}

void COnlineSetupDlg::accept() {
    Pull();
    const OkResult ok = AcceptOnlineSetup(values_, Bank() != nullptr, messages_);
    if (ok.close)
        done(1);
    else
        FocusControl(*this, ok.focusId);
}

void COnlineSetupDlg::reject() {
    done(2);
}

std::unique_ptr<MOnlineProgressWindow> COnlineSetupDlg::OpenProgress(int statusId) {
    return OpenOnlineProgress(this, statusId);
}

bool COnlineSetupDlg::AskPassword(std::string& password) {
    return RunGetOnlinePasswordDialog(this, accountName_, password);
}

bool COnlineSetupDlg::ChooseBank(CFiList& list, CFiItem* current, CFiItem*& chosen) {
    CSelectBankDlg dialog(list, current, this);
    if (Services().RunDialog(dialog) != 1 || dialog.Chosen() == nullptr)
        return false;
    chosen = dialog.Chosen();
    return true;
}

bool COnlineSetupDlg::ChooseBankAccount(const CFiAccountsList& accounts, int current,
                                        BankAccountIds& chosen) {
    CSelectAccountDlg dialog(data_, accounts, current, this);
    if (Services().RunDialog(dialog) != 1)
        return false;
    chosen = dialog.Chosen();
    return true;
}

bool COnlineSetupDlg::EnterBankAccount(BankAccountIds& ids) {
    COnlineAccountInfoDlg dialog(data_, ids, this);
    if (Services().RunDialog(dialog) != 1)
        return false;
    ids = dialog.Values();
    return true;
}

int RunOnlineSetupDialog(QWidget* parent, const CAccounts& data, CFiList& list,
                         const std::string& accountName, OnlineSetupForm& values) {
    COnlineSetupDlg dialog(data, list, values, accountName, parent);
    const int code = Services().RunDialog(dialog);
    if (code == 1)
        values = dialog.Values();
    return code;
}

OnlineSetupRunner MakeOnlineSetupRunner(const CAccounts& data, CFiList& list,
                                        std::string accountName) {
    return [&data, &list, accountName](QWidget* parent, OnlineSetupValues& values) {
        const auto model = [](const std::string& utf8) { return platform::Utf8ToCp1252(utf8); };
        const auto shown = [](const std::string& ansi) { return platform::Cp1252ToUtf8(ansi); };
        OnlineSetupForm form;
        form.enabled = values.enabled;
        form.customerId = model(values.customerId);
        form.fiId = static_cast<std::int32_t>(values.fiId);
        form.bankName = model(values.bankText);
        form.account = {values.type, model(values.accountNumber), model(values.routingNumber)};
        form.password = model(values.password);
        form.clientUid = model(values.clientUid);
        if (RunOnlineSetupDialog(parent, data, list, accountName, form) != 1)
            return false;
        values.enabled = form.enabled;
        values.customerId = shown(form.customerId);
        values.fiId = static_cast<std::uint32_t>(form.fiId);
        values.bankText = shown(form.bankName);
        values.type = form.account.type;
        values.accountNumber = shown(form.account.accountNumber);
        values.routingNumber = shown(form.account.routingNumber);
        values.password = shown(form.password);
        values.clientUid = shown(form.clientUid);
        return true;
    };
}

}  // namespace tallowmere::ui
