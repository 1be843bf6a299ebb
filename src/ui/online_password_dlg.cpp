#include "ui/online_password_dlg.h"

#include <QLineEdit>
#include <QVBoxLayout>

#include "platform/text_1252.h"
#include "ui/online_dialog_parts.h"
#include "ui/password_edit.h"
#include "ui/small_dialog_parts.h"
#include "ui/ui_services.h"

namespace tallowmere::ui {
namespace {

constexpr int kStrCaption = 3613;
constexpr int kStrStoreText = 3614;
constexpr int kStrAskText = 3615;
constexpr int kStrAskAccountText = 3616;
constexpr int kStrOk = 3612;
constexpr int kStrCancel = 3601;
constexpr int kPasswordMax = 30;

QLineEdit* BuildPrompt(QDialog& dialog, const QString& text, int textId) {
    dialog.setWindowTitle(StringText(kStrCaption));
    auto* label = PlainLabel(text, &dialog);
    if (textId != 0)
        Named(label, textId);
    label->setWordWrap(true);
    label->setFixedWidth(CharsWide(*label, 46));
    QLineEdit* edit = NewPasswordEdit(1042, kPasswordMax, &dialog);
    auto* layout = new QVBoxLayout(&dialog);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setSpacing(12);
    layout->addWidget(label);
    layout->addWidget(edit);
    layout->addSpacing(4);
    layout->addLayout(
        ButtonRow(dialog, {{1, LoadString(kStrOk).c_str()}, {2, LoadString(kStrCancel).c_str()}}));
    edit->setFocus();
    return edit;
}

}  // namespace

COnlinePasswordDlg::COnlinePasswordDlg(const std::string& password, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("id_156"));
    edit_ = BuildPrompt(*this, StringText(kStrStoreText), 0);
    edit_->setText(QString::fromStdString(platform::Cp1252ToUtf8(password)));
    edit_->selectAll();
}

COnlinePasswordDlg::~COnlinePasswordDlg() = default;

std::string COnlinePasswordDlg::Password() const {
    return TakePassword(*edit_);
}

void COnlinePasswordDlg::reject() {
    done(2);
}

CGetOnlinePasswordDlg::CGetOnlinePasswordDlg(const std::string& accountName, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("id_1598"));
    const QString text =
        accountName.empty()
            ? StringText(kStrAskText)
            : QString::fromStdString(FormatText(LoadString(kStrAskAccountText),
                                                {platform::Cp1252ToUtf8(accountName)}));
    edit_ = BuildPrompt(*this, text, 1148);
}

CGetOnlinePasswordDlg::~CGetOnlinePasswordDlg() = default;

std::string CGetOnlinePasswordDlg::Password() const {
    return TakePassword(*edit_);
}

void CGetOnlinePasswordDlg::reject() {
    done(2);
}

bool RunOnlinePasswordDialog(QWidget* parent, std::string& password) {
    COnlinePasswordDlg dialog(password, parent);
    if (Services().RunDialog(dialog) != 1)
        return false;
    password = dialog.Password();
    return true;
}

bool RunGetOnlinePasswordDialog(QWidget* parent, const std::string& accountName,
                                std::string& password) {
    CGetOnlinePasswordDlg dialog(accountName, parent);
    if (Services().RunDialog(dialog) != 1)
        return false;
    password = dialog.Password();
    return true;
}

}  // namespace tallowmere::ui
