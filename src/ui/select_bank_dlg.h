#pragma once
// "Select Bank" (dialog 154): the user's institutions in CBankListCtrl
// (1099), one column "Bank Name". The list finds a bank by typing, with a
// search text of its own rather than the one every other list shares.
#include <QDialog>

#include "ui/logic/type_ahead.h"
#include "ui/owner_list_ctrl.h"

namespace tallowmere {
class CFiItem;
class CFiList;
}  // namespace tallowmere

namespace tallowmere::ui {

class CBankListCtrl final : public COwnerListCtrl {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CBankListCtrl)

  public:
    CBankListCtrl(CFiList& list, QWidget* parent = nullptr);
    ~CBankListCtrl() override;

    void DrawCell(QPainter& painter, const QRect& cell, std::uint16_t columnId, void* object,
                  int row) const override;
    ListStyle GetCreateStyle() const override;
    void* GetItemObject(int row) const override;
    QString GetItemText(void* object, std::uint16_t columnId) const override;
    void OnItemDoubleClicked(int row) override;

  signals:
    void rowDoubleClicked();

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    CFiList& list_;
    TypeAheadSearch search_;
};

class CSelectBankDlg final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CSelectBankDlg)

  public:
    CSelectBankDlg(CFiList& list, CFiItem* current, QWidget* parent = nullptr);
    ~CSelectBankDlg() override;

    // The bank taken by OK.
    CFiItem* Chosen() const { return chosen_; }
    CBankListCtrl& List() const { return *banks_; }

    void accept() override;
    void reject() override;

  private:
    CFiList& list_;
    CBankListCtrl* banks_;
    CFiItem* chosen_ = nullptr;
};

}  // namespace tallowmere::ui
