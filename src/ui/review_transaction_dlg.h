#pragma once
// "Review Transaction" (dialog 160): the account's downloads waiting for
// review, one at a time, with the bank's entry (1133) and the register entry
// it matches (1134). Accept Match / Accept New (1116), Accept All (1112),
// Change Match... (1117), Edit... (1004), Close (1) and the arrows
// (1125, 1124).
#include <QDialog>

#include "ui/logic/download_review_logic.h"
#include "ui/ui_services.h"

class QLabel;
class QPushButton;

namespace tallowmere::ui {

class CTransactionBox;

// The transaction dialog as the review reaches it: it edits t of account
// and, on OK, replaces and saves it itself. True on OK.
class MTransactionEditor {
  public:
    virtual ~MTransactionEditor() = default;
    virtual bool EditTransaction(QWidget* parent, CAccount& account, CTransaction& t) = 0;
};

class CReviewTransactionDlg final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CReviewTransactionDlg)

  public:
    // view and editor may be null (no register to repaint, no Edit).
    CReviewTransactionDlg(CAccounts& data, CAccount& account, CTransaction* first,
                          MReviewRegister* view, MTransactionEditor* editor,
                          QWidget* parent = nullptr);
    ~CReviewTransactionDlg() override;

    const DownloadReview& Review() const { return review_; }

    // Close: what was not accepted stays for later.
    void accept() override;
    void reject() override;

  private:
    void ShowCurrent();
    void OnAccept();
    void OnAcceptAll();
    void OnChangeMatch();
    void OnEdit();
    void OnPrevious();
    void OnNext();

    CAccounts& data_;
    CAccount& account_;
    MReviewRegister* view_;
    MTransactionEditor* editor_;
    DownloadReview review_;
    ServiceMessages messages_;
    QLabel* question_;
    CTransactionBox* bankBox_;
    CTransactionBox* userBox_;
    QLabel* position_;
    QPushButton* accept_;
    QPushButton* edit_;
};

// The view's review of an account's downloads (first may be null); 1.
int RunReviewTransactionDialog(QWidget* parent, CAccounts& data, CAccount& account,
                               CTransaction* first, MReviewRegister* view,
                               MTransactionEditor* editor);

}  // namespace tallowmere::ui
