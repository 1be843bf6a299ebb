#include "ui/get_password_dlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "model/string_table.h"
#include "ui/password_edit.h"
#include "ui/ui_text.h"
#include "ui/user_combo.h"

namespace tallowmere::ui {
namespace {

constexpr int kCaption = 3290;    // "Get Password"
constexpr int kUserLabel = 3291;  // "User:"
constexpr int kPasswordLabel = 3292;
constexpr int kPleaseEnter = 3293;
constexpr int kCaseSensitive = 3294;

}  // namespace

CGetPasswordDlg::CGetPasswordDlg(MPasswordApp& app, CUserItem* user, bool fixed, QWidget* parent)
    : QDialog(parent), messages_(this), logic_(app, messages_) {
    setObjectName(QStringLiteral("id_%1").arg(GetPasswordLogic::kDialogId));
    setWindowTitle(Text(kCaption));
    logic_.SetUser(user);
    logic_.SetUserFixed(fixed);

    users_ = new QComboBox(this);
    users_->setObjectName(QStringLiteral("id_%1").arg(GetPasswordLogic::kUserCombo));
    users_->setMinimumWidth(220);
    QtUserCombo combo(*users_);
    logic_.Open(combo);
    users_->setEnabled(logic_.UserComboEnabled());

    password_ = NewPasswordEdit(GetPasswordLogic::kPasswordEdit,
                                GetPasswordLogic::kMaxPasswordLength, this);

    auto* layout = new QGridLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setContentsMargins(18, 18, 18, 18);
    layout->setHorizontalSpacing(10);
    layout->setVerticalSpacing(8);
    layout->addWidget(new QLabel(Text(kPleaseEnter), this), 0, 0, 1, 2);
    layout->setRowMinimumHeight(1, 4);
    auto* userLabel = new QLabel(Text(kUserLabel), this);
    userLabel->setBuddy(users_);
    layout->addWidget(userLabel, 2, 0);
    layout->addWidget(users_, 2, 1);
    auto* passwordLabel = new QLabel(Text(kPasswordLabel), this);
    passwordLabel->setBuddy(password_);
    layout->addWidget(passwordLabel, 3, 0);
    layout->addWidget(password_, 3, 1);
    auto* hint = new QLabel(Text(kCaseSensitive), this);
    hint->setForegroundRole(QPalette::PlaceholderText);
    layout->addWidget(hint, 4, 1);
    layout->setRowMinimumHeight(5, 6);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("id_1"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("id_2"));
    layout->addWidget(buttons, 6, 0, 1, 2);
    connect(buttons, &QDialogButtonBox::accepted, this, &CGetPasswordDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CGetPasswordDlg::reject);

    password_->setFocus();
}

CGetPasswordDlg::~CGetPasswordDlg() = default;

void CGetPasswordDlg::accept() {
    const DialogStep step = logic_.Ok(SelectedUser(*users_), TakePassword(*password_));
    if (step.close) {
        done(step.code);
        return;
    }
    password_->setFocus();
    if (step.selectAll)
        password_->selectAll();
}

void CGetPasswordDlg::reject() {
    done(2);
}

void CGetPasswordDlg::done(int result) {
    password_->clear();
    QDialog::done(result);
}

}  // namespace tallowmere::ui
