#pragma once
// The two online password prompts, both "Online Password" with a masked
// edit (1042): COnlinePasswordDlg (dialog 156) stores the bank password of
// an account (empty: ask at each connection); CGetOnlinePasswordDlg
// (dialog 1598) asks for one request's password. Texts are Windows-1252.
#include <QDialog>
#include <string>

class QLineEdit;

namespace tallowmere::ui {

class COnlinePasswordDlg final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(COnlinePasswordDlg)

  public:
    COnlinePasswordDlg(const std::string& password, QWidget* parent = nullptr);
    ~COnlinePasswordDlg() override;
    std::string Password() const;
    void reject() override;

  private:
    QLineEdit* edit_;
};

class CGetOnlinePasswordDlg final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CGetOnlinePasswordDlg)

  public:
    // With an account name the text names the account.
    explicit CGetOnlinePasswordDlg(const std::string& accountName, QWidget* parent = nullptr);
    ~CGetOnlinePasswordDlg() override;
    std::string Password() const;
    void reject() override;

  private:
    QLineEdit* edit_;
};

// The prompts run through the UI services; false when cancelled.
bool RunOnlinePasswordDialog(QWidget* parent, std::string& password);
bool RunGetOnlinePasswordDialog(QWidget* parent, const std::string& accountName,
                                std::string& password);

}  // namespace tallowmere::ui
