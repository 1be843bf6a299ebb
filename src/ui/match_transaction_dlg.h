#pragma once
// "Match Transaction" (dialog 1596): the bank's transaction in its box
// (1133) and the register entries it may be matched with in CMatchListCtrl
// (1129: date, check number or type, payee, amount). Match (1130) links the
// download and the selected entry both ways, No Match (1131) unlinks them;
// Cancel (2) changes nothing. Nothing is saved here.
#include <QDialog>
#include <vector>

#include "ui/transaction_list_ctrl.h"
#include "ui/ui_services.h"

namespace tallowmere::ui {

class CTransactionBox;

class CMatchListCtrl final : public CTransactionListCtrl {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CMatchListCtrl)

  public:
    static constexpr std::uint16_t kColumnMatchDate = 30;
    static constexpr std::uint16_t kColumnMatchType = 31;
    static constexpr std::uint16_t kColumnMatchPayee = 32;
    static constexpr std::uint16_t kColumnMatchAmount = 33;

    CMatchListCtrl(CAccounts& data, const CAccount& account,
                   const std::vector<CTransaction*>& candidates, QWidget* parent = nullptr);
    ~CMatchListCtrl() override;

    void DrawCell(QPainter& painter, const QRect& cell, std::uint16_t columnId, void* object,
                  int row) const override;
    ListStyle GetCreateStyle() const override;
    void* GetItemObject(int row) const override;

  private:
    const CAccount& account_;
    const std::vector<CTransaction*>& candidates_;
};

class CMatchTransactionDlg final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CMatchTransactionDlg)

  public:
    CMatchTransactionDlg(CAccounts& data, CAccount& account, CTransaction& download,
                         QWidget* parent = nullptr);
    ~CMatchTransactionDlg() override;

    CMatchListCtrl& List() const { return *list_; }
    const std::vector<CTransaction*>& Candidates() const { return candidates_; }

    void reject() override;

  private:
    void OnMatch();
    void OnNoMatch();

    CAccount& account_;
    CTransaction& download_;
    std::vector<CTransaction*> candidates_;
    ServiceMessages messages_;
    CTransactionBox* box_;
    CMatchListCtrl* list_;
};

}  // namespace tallowmere::ui
