#pragma once
// CTransactionListCtrl: the list of transactions, report rows or rows being
// reconciled, by its display mode. Its cells are drawn by column id: the
// status marks and the category icons, text cells, and money cells
// right-aligned and red when negative. The register of the main view and
// the report-detail list derive from it; they supply the rows.
#include <QPoint>
#include <cstdint>

#include "model/money.h"
#include "ui/icon_list.h"
#include "ui/logic/transaction_cells.h"
#include "ui/owner_list_ctrl.h"

namespace tallowmere {
class CAccount;
class CAccounts;
class CReport;
class CTransaction;
}  // namespace tallowmere

namespace tallowmere::ui {

class COwnerHeaderCtrl;
class IconPainter;

class CTransactionListCtrl : public COwnerListCtrl {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CTransactionListCtrl)

  public:
    // Display modes.
    static constexpr int kModeRegister = 0;
    static constexpr int kModeReport = 1;
    static constexpr int kModeBudget = 2;
    static constexpr int kModeReconcile = 3;

    // What the list asks of the window that owns it (the main view).
    class MOwnerView {
      public:
        virtual ~MOwnerView() = default;
        // A click on a row's status cell: true when the status (or the
        // reconcile mark) changed; the list then selects that row alone.
        virtual bool ToggleTransactionStatus(int mode, CTransaction& t) = 0;
        // The register pop-up menu at a screen point.
        virtual void ShowRegisterPopupMenu(const QPoint& globalPos) = 0;
        // The budget amount editor (command 5011).
        virtual void OnSetBudgetAmount() = 0;
    };

    // The data set is not owned; it may be null until one is loaded.
    explicit CTransactionListCtrl(CAccounts* data, QWidget* parent = nullptr);
    ~CTransactionListCtrl() override;

    // Changing what the rows come from forgets the rows counted so far
    // (they draw as nothing) until the owner counts them again.
    virtual void SetDataSet(CAccounts* data);
    CAccounts* GetDataSet() const { return data_; }
    virtual void SetMode(int mode);
    int GetMode() const { return mode_; }
    // The report of modes 1 and 2 (not owned).
    virtual void SetReport(CReport* report);
    CReport* GetReport() const { return report_; }

    void SetOwnerView(MOwnerView* view) { ownerView_ = view; }
    MOwnerView* GetOwnerView() const { return ownerView_; }
    // Draws the category and account icons; none draws none.
    void SetIconPainter(const IconPainter* icons);
    void SetShowDecimals(bool show);
    bool GetShowDecimals() const { return showDecimals_; }
    void SetShowYear(bool show);
    bool GetShowYear() const { return showYear_; }
    // The sorted column by id and the direction of its arrow (non-zero up).
    void SetSort(std::uint16_t columnId, std::uint8_t direction);
    std::uint16_t GetSortColumn() const override { return sortColumn_; }

    // The status strip and the owner-drawn header with the same strip for
    // its sort arrows (done by the constructor).
    void InitHeaderAndIcons();
    COwnerHeaderCtrl* GetHeaderCtrl() const { return header_; }
    const CIconList& StatusIcons() const { return statusIcons_; }

    // 24 for the icon columns; otherwise the widest GetCellText of all rows
    // plus 8, at least 24.
    int CalcColumnWidth(std::uint16_t columnId) const;

    // The text a column's width is measured on; empty in modes 1 and 2.
    virtual QString GetCellText(void* object, std::uint16_t columnId, int row) const;
    // One cell of a register or reconcile row.
    virtual void DrawRegisterCell(QPainter& painter, const QRect& cell, std::uint16_t columnId,
                                  void* object, int row) const;

    void DrawCell(QPainter& painter, const QRect& cell, std::uint16_t columnId, void* object,
                  int row) const override;
    ListStyle GetCreateStyle() const override;

  protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;

    // The account a register row belongs to and its running balance there.
    virtual const CAccount* RowAccount(int row) const;
    virtual Cents RowBalance(int row) const;
    RegisterCellContext CellContext(int row) const;
    bool IsRegisterMode() const { return mode_ == kModeRegister || mode_ == kModeReconcile; }

  private:
    void DrawReportCell(QPainter& painter, const QRect& cell, std::uint16_t columnId,
                        void* object) const;
    // A double-click on a divider fits the column to its texts.
    void FitSectionToTexts(int section);

    int mode_ = kModeRegister;
    MOwnerView* ownerView_ = nullptr;
    CAccounts* data_;
    CReport* report_ = nullptr;
    const IconPainter* icons_ = nullptr;
    CIconList statusIcons_;
    bool showDecimals_ = true;
    bool showYear_ = true;
    COwnerHeaderCtrl* header_ = nullptr;
    std::uint16_t sortColumn_ = 0;
};

}  // namespace tallowmere::ui
