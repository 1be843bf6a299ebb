#include "ui/password_edit.h"

#include "platform/text_1252.h"

namespace tallowmere::ui {

QValidator::State Cp1252Validator::validate(QString& input, int& /*pos*/) const {
    const QByteArray utf8 = input.toUtf8();
    const std::string_view text(utf8.constData(), static_cast<std::size_t>(utf8.size()));
    // A character without a Windows-1252 form comes back as '?'.
    return platform::Cp1252ToUtf8(platform::Utf8ToCp1252(text)) == text ? Acceptable : Invalid;
}

QLineEdit* NewPasswordEdit(int id, int maxLength, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QStringLiteral("id_%1").arg(id));
    edit->setEchoMode(QLineEdit::Password);
    edit->setMaxLength(maxLength);
    edit->setValidator(new Cp1252Validator(edit));
    return edit;
}

std::string TakePassword(QLineEdit& edit) {
    QByteArray utf8 = edit.text().toUtf8();
    std::string password = platform::Utf8ToCp1252(
        std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
    utf8.fill('\0');
    return password;
}

}  // namespace tallowmere::ui
