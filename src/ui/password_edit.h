#pragma once
// The password edits of the password dialogs: always masked, at most 32
// characters, and only characters that Windows-1252 holds, so that two
// different passwords never become the same key bytes.
#include <QLineEdit>
#include <QValidator>
#include <string>

namespace tallowmere::ui {

class Cp1252Validator final : public QValidator {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Cp1252Validator)

  public:
    explicit Cp1252Validator(QObject* parent = nullptr) : QValidator(parent) {}
    State validate(QString& input, int& pos) const override;
};

// A password edit named "id_<id>".
QLineEdit* NewPasswordEdit(int id, int maxLength, QWidget* parent);

// The edit's text as Windows-1252 bytes.
std::string TakePassword(QLineEdit& edit);

}  // namespace tallowmere::ui
