#pragma once
// The lists of the five list editors: each row draws one live record of its
// list, fetched when the row is painted. One row is selected at most; a
// double click hands the row to the dialog; typing finds a row by its name.
#include <functional>

#include "ui/owner_list_ctrl.h"

namespace tallowmere {
class CAccounts;
}

namespace tallowmere::ui {

class IconPainter;

class CRecordListCtrl : public COwnerListCtrl {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CRecordListCtrl)

  public:
    CRecordListCtrl(CAccounts& data, QWidget* parent);
    ~CRecordListCtrl() override;

    void SetDoubleClickHandler(std::function<void(int row)> handler) {
        doubleClicked_ = std::move(handler);
    }

    ListStyle GetCreateStyle() const override;
    void OnItemDoubleClicked(int row) override;
    std::uint16_t GetSortColumn() const override;

  protected:
    CAccounts& data_;

  private:
    std::function<void(int)> doubleClicked_;
};

// Categories in tree order: the icon, then the name; subcategories indented.
class CCategoryListCtrl final : public CRecordListCtrl {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CCategoryListCtrl)

  public:
    CCategoryListCtrl(CAccounts& data, const IconPainter& icons, QWidget* parent);
    ~CCategoryListCtrl() override;
    double GetRowHeight(int fontHeight) const override;
    void* GetItemObject(int row) const override;
    QString GetItemText(void* object, std::uint16_t columnId) const override;
    void DrawCell(QPainter& painter, const QRect& cell, std::uint16_t columnId, void* object,
                  int row) const override;

  private:
    const IconPainter& icons_;
};

class CClassListCtrl final : public CRecordListCtrl {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CClassListCtrl)

  public:
    using CRecordListCtrl::CRecordListCtrl;
    ~CClassListCtrl() override;
    void* GetItemObject(int row) const override;
    QString GetItemText(void* object, std::uint16_t columnId) const override;
    void DrawCell(QPainter& painter, const QRect& cell, std::uint16_t columnId, void* object,
                  int row) const override;
};

class CPayeeListCtrl final : public CRecordListCtrl {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CPayeeListCtrl)

  public:
    using CRecordListCtrl::CRecordListCtrl;
    ~CPayeeListCtrl() override;
    void* GetItemObject(int row) const override;
    QString GetItemText(void* object, std::uint16_t columnId) const override;
    void DrawCell(QPainter& painter, const QRect& cell, std::uint16_t columnId, void* object,
                  int row) const override;
};

// Symbol, rate ("%.10f") and "Base" in the home currency's row.
class CCurrencyListCtrl final : public CRecordListCtrl {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CCurrencyListCtrl)

  public:
    using CRecordListCtrl::CRecordListCtrl;
    ~CCurrencyListCtrl() override;
    void* GetItemObject(int row) const override;
    QString GetItemText(void* object, std::uint16_t columnId) const override;
    void DrawCell(QPainter& painter, const QRect& cell, std::uint16_t columnId, void* object,
                  int row) const override;
};

// Name, and "Withdrawal" for a type whose money leaves the account, else
// "Deposit".
class CTransTypesListCtrl final : public CRecordListCtrl {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CTransTypesListCtrl)

  public:
    using CRecordListCtrl::CRecordListCtrl;
    ~CTransTypesListCtrl() override;
    void* GetItemObject(int row) const override;
    QString GetItemText(void* object, std::uint16_t columnId) const override;
    void DrawCell(QPainter& painter, const QRect& cell, std::uint16_t columnId, void* object,
                  int row) const override;
};

// Column ids: the string id of each title.
inline constexpr std::uint16_t kListColumnCategory = 203;
inline constexpr std::uint16_t kListColumnClass = 207;
inline constexpr std::uint16_t kListColumnPayee = 202;
inline constexpr std::uint16_t kListColumnSymbol = 330;
inline constexpr std::uint16_t kListColumnConversion = 331;
inline constexpr std::uint16_t kListColumnBase = 332;
inline constexpr std::uint16_t kListColumnTypeName = 242;
inline constexpr std::uint16_t kListColumnTypeDirection = 201;

}  // namespace tallowmere::ui
