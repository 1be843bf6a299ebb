#include "ui/set_password_dlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "model/string_table.h"
#include "ui/password_edit.h"
#include "ui/ui_text.h"

namespace tallowmere::ui {
namespace {

constexpr int kCaption = 3295;  // "Set Password"
constexpr int kOldLabel = 3296;
constexpr int kNewLabel = 3297;
constexpr int kConfirmLabel = 3298;

}  // namespace

CSetPasswordDlg::CSetPasswordDlg(MPasswordApp& app, CUserItem& user, CAccounts* dataSet,
                                 QWidget* parent)
    : QDialog(parent), messages_(this), logic_(app, messages_, dataSet) {
    logic_.BindUser(user);
    setObjectName(QStringLiteral("id_%1").arg(logic_.DialogId()));
    setWindowTitle(Text(kCaption));

    constexpr int kMax = SetPasswordLogic::kMaxPasswordLength;
    old_ = NewPasswordEdit(SetPasswordLogic::kOldPasswordEdit, kMax, this);
    new_ = NewPasswordEdit(SetPasswordLogic::kNewPasswordEdit, kMax, this);
    confirm_ = NewPasswordEdit(SetPasswordLogic::kConfirmPasswordEdit, kMax, this);
    for (QLineEdit* edit : {old_, new_, confirm_})
        edit->setMinimumWidth(200);

    auto* layout = new QGridLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setContentsMargins(18, 18, 18, 18);
    layout->setHorizontalSpacing(10);
    layout->setVerticalSpacing(8);
    auto* oldLabel = new QLabel(Text(kOldLabel), this);
    oldLabel->setObjectName(QStringLiteral("id_%1").arg(SetPasswordLogic::kOldPasswordLabel));
    oldLabel->setBuddy(old_);
    layout->addWidget(oldLabel, 0, 0);
    layout->addWidget(old_, 0, 1);
    int row = 1;
    for (auto [label, edit] : {std::pair{kNewLabel, new_}, std::pair{kConfirmLabel, confirm_}}) {
        auto* text = new QLabel(Text(label), this);
        text->setBuddy(edit);
        layout->addWidget(text, row, 0);
        layout->addWidget(edit, row, 1);
        ++row;
    }
    // A user without a password has no old one to give.
    if (!logic_.HasPassword()) {
        oldLabel->hide();
        old_->hide();
    }
    layout->setRowMinimumHeight(row++, 6);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("id_1"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("id_2"));
    layout->addWidget(buttons, row, 0, 1, 2);
    connect(buttons, &QDialogButtonBox::accepted, this, &CSetPasswordDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CSetPasswordDlg::reject);

    (logic_.HasPassword() ? old_ : new_)->setFocus();
}

CSetPasswordDlg::~CSetPasswordDlg() = default;

QLineEdit* CSetPasswordDlg::Edit(int id) const {
    return id == SetPasswordLogic::kOldPasswordEdit       ? old_
           : id == SetPasswordLogic::kConfirmPasswordEdit ? confirm_
                                                          : new_;
}

void CSetPasswordDlg::accept() {
    SetPasswordForm form{TakePassword(*old_), TakePassword(*new_), TakePassword(*confirm_)};
    const DialogStep step = logic_.Ok(std::move(form));
    if (step.close) {
        done(step.code);
        return;
    }
    QLineEdit* edit = Edit(step.focusId);
    edit->setFocus();
    if (step.selectAll)
        edit->selectAll();
}

void CSetPasswordDlg::reject() {
    done(2);
}

void CSetPasswordDlg::done(int result) {
    for (QLineEdit* edit : {old_, new_, confirm_})
        edit->clear();
    QDialog::done(result);
}

}  // namespace tallowmere::ui
