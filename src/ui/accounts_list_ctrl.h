#pragma once
// CAccountsListCtrl: the accounts pane. One row per account of the data
// set, with its icon, its name and its balance of the pane's kind (red when
// negative), recomputed whenever the row is drawn. No header, one selected
// row at most, and no alternating colours.
#include <QPoint>

#include "ui/owner_list_ctrl.h"

namespace tallowmere {
class CAccounts;
}

namespace tallowmere::ui {

class IconPainter;

class CAccountsListCtrl final : public COwnerListCtrl {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CAccountsListCtrl)

  public:
    class MOwnerView {
      public:
        virtual ~MOwnerView() = default;
        // The accounts pane's pop-up menu at a screen point.
        virtual void ShowAccountPopupMenu(const QPoint& globalPos) = 0;
    };

    // The data set is not owned; it may be null until one is loaded.
    explicit CAccountsListCtrl(CAccounts* data, QWidget* parent = nullptr);
    ~CAccountsListCtrl() override;

    void SetDataSet(CAccounts* data);
    CAccounts* GetDataSet() const { return data_; }
    void SetOwnerView(MOwnerView* view) { ownerView_ = view; }
    void SetIconPainter(const IconPainter* icons);
    void SetShowDecimals(bool show);
    // 0 balance, 1 cleared, 2 online balance (CAccount::GetBalance).
    void SetBalanceKind(int kind);
    int GetBalanceKind() const { return balanceKind_; }
    // The count becomes the data set's number of accounts.
    void ResetItemCount();

    double GetRowHeight(int fontHeight) const override;
    void DrawCell(QPainter& painter, const QRect& cell, std::uint16_t columnId, void* object,
                  int row) const override;
    ListStyle GetCreateStyle() const override;
    void* GetItemObject(int row) const override;
    void OnContextMenu(const QPoint& globalPos) override;

  protected:
    // The one column stays as wide as the pane, whenever the viewport's
    // width settles (the first show, a scroll bar coming or going).
    bool viewportEvent(QEvent* event) override;

  private:
    CAccounts* data_;
    MOwnerView* ownerView_ = nullptr;
    const IconPainter* icons_ = nullptr;
    bool showDecimals_ = true;
    int balanceKind_ = 0;
};

}  // namespace tallowmere::ui
