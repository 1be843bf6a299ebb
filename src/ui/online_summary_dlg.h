#pragma once
// The summaries after a download, all "Online Summary": the count alone
// (dialog 1597), one account's counts with Review... / Accept All / Review
// Later (dialog 159, ending with 1111, 1112 or 1), and every online
// account in COnlineAccountList (dialog 183, list 1152) with Review
// Account..., Accept All and Review Later, which reads "Close" once
// nothing is left to review.
#include <QDialog>

#include "ui/logic/download_review_logic.h"
#include "ui/owner_list_ctrl.h"
#include "ui/ui_services.h"

class QPushButton;

namespace tallowmere::ui {

class MTransactionEditor;

class COnlineSummarySimpleDlg final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(COnlineSummarySimpleDlg)

  public:
    // banks < 0: not given.
    COnlineSummarySimpleDlg(int transactions, int banks, QWidget* parent = nullptr);
    ~COnlineSummarySimpleDlg() override;
    void reject() override;
};

class COnlineSummaryDlg final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(COnlineSummaryDlg)

  public:
    COnlineSummaryDlg(const DownloadCounts& counts, QWidget* parent = nullptr);
    ~COnlineSummaryDlg() override;
    // Review Later.
    void accept() override;
    void reject() override;
};

class COnlineAccountList final : public COwnerListCtrl {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(COnlineAccountList)

  public:
    COnlineAccountList(const DownloadSummaryAll& summary, QWidget* parent = nullptr);
    ~COnlineAccountList() override;

    void DrawCell(QPainter& painter, const QRect& cell, std::uint16_t columnId, void* object,
                  int row) const override;
    ListStyle GetCreateStyle() const override;
    void* GetItemObject(int row) const override;
    void OnItemDoubleClicked(int row) override;

  signals:
    void rowDoubleClicked();

  private:
    const DownloadSummaryAll& summary_;
};

class COnlineSummaryAllDlg final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(COnlineSummaryAllDlg)

  public:
    COnlineSummaryAllDlg(CAccounts& data, MReviewRegister* view, MTransactionEditor* editor,
                         QWidget* parent = nullptr);
    ~COnlineSummaryAllDlg() override;

    COnlineAccountList& List() const { return *list_; }
    const DownloadSummaryAll& Summary() const { return summary_; }

    void accept() override;
    void reject() override;

  private:
    void OnReview();
    void OnAcceptAll();
    void Refresh();

    CAccounts& data_;
    MReviewRegister* view_;
    MTransactionEditor* editor_;
    DownloadSummaryAll summary_;
    ServiceMessages messages_;
    COnlineAccountList* list_;
    QPushButton* later_;
};

// The view's summaries: the count alone; one account's summary, acting on
// Review... (the review dialog) and Accept All (a failed save shown); the
// summary over every online account. Each returns its dialog's code.
int RunOnlineSummarySimple(QWidget* parent, int transactions, int banks);
int RunOnlineSummary(QWidget* parent, CAccounts& data, CAccount& account, MReviewRegister* view,
                     MTransactionEditor* editor);
int RunOnlineSummaryAll(QWidget* parent, CAccounts& data, MReviewRegister* view,
                        MTransactionEditor* editor);

}  // namespace tallowmere::ui
