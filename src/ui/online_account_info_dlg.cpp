#include "ui/online_account_info_dlg.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include "platform/text_1252.h"
#include "ui/online_dialog_parts.h"
#include "ui/small_dialog_parts.h"

namespace tallowmere::ui {
namespace {

constexpr int kStrCaption = 3619;
constexpr int kStrType = 3620;
constexpr int kStrNumber = 3621;
constexpr int kStrRouting = 3622;
constexpr int kStrOk = 3612;
constexpr int kStrCancel = 3601;

QString FromModel(const std::string& text) {
    return QString::fromStdString(platform::Cp1252ToUtf8(text));
}

std::string ToModel(const QLineEdit& edit) {
    return platform::Utf8ToCp1252(edit.text().trimmed().toStdString());
}

}  // namespace

COnlineAccountInfoDlg::COnlineAccountInfoDlg(const CAccounts& data, const BankAccountIds& ids,
                                             QWidget* parent)
    : QDialog(parent),
      data_(data),
      opened_(ids),
      values_(ids),
      messages_(this),
      type_(Named(new QComboBox(this), kOnlineAccountType)),
      number_(Named(new QLineEdit(this), kOnlineAccountNumber)),
      routing_(Named(new QLineEdit(this), kOnlineRoutingNumber)) {
    setObjectName(QStringLiteral("id_158"));
    setWindowTitle(StringText(kStrCaption));
    for (const std::uint8_t type : OnlineAccountTypes())
        type_->addItem(QString::fromStdString(AccountTypeName(type)));
    number_->setMaxLength(kAccountNumberMaxChars);
    routing_->setMaxLength(kRoutingNumberMaxChars);
    number_->setMinimumWidth(CharsWide(*number_, 24));
    routing_->setMinimumWidth(CharsWide(*routing_, 24));

    auto* fields = new QGridLayout;
    fields->setHorizontalSpacing(10);
    fields->setVerticalSpacing(8);
    fields->addWidget(PlainLabel(StringText(kStrType), this, type_), 0, 0);
    fields->addWidget(type_, 0, 1);
    fields->addWidget(PlainLabel(StringText(kStrNumber), this, number_), 1, 0);
    fields->addWidget(number_, 1, 1);
    fields->addWidget(PlainLabel(StringText(kStrRouting), this, routing_), 2, 0);
    fields->addWidget(routing_, 2, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setSpacing(16);
    layout->addLayout(fields);
    layout->addLayout(
        ButtonRow(*this, {{1, LoadString(kStrOk).c_str()}, {2, LoadString(kStrCancel).c_str()}}));

    const OnlineAccountForm form = OpenOnlineAccountInfo(ids);
    type_->setCurrentIndex(form.typeIndex);
    number_->setText(FromModel(form.accountNumber));
    routing_->setText(FromModel(form.routingNumber));
    type_->setFocus();
}

COnlineAccountInfoDlg::~COnlineAccountInfoDlg() = default;

void COnlineAccountInfoDlg::accept() {
    OnlineAccountForm form;
    form.typeIndex = type_->currentIndex();
    form.accountNumber = ToModel(*number_);
    form.routingNumber = ToModel(*routing_);
    const OkResult ok = AcceptOnlineAccountInfo(data_, opened_, form, messages_, values_);
    if (ok.close)
        done(1);
    else
        FocusControl(*this, ok.focusId);
}

void COnlineAccountInfoDlg::reject() {
    done(2);
}

}  // namespace tallowmere::ui
