#include "ui/list_editor_ctrls.h"

#include <QPainter>
#include <algorithm>

#include "model/accounts.h"
#include "model/string_table.h"
#include "platform/text_1252.h"
#include "ui/cell_painter.h"
#include "ui/icon_painter.h"
#include "ui/logic/convert_currency_logic.h"

namespace tallowmere::ui {
namespace {

constexpr int kSubcategoryIndent = 20;
constexpr int kCategoryIconSide = 23;
constexpr int kStringWithdrawal = 261;
constexpr int kStringDeposit = 262;

QString Shown(const std::string& cp1252) {
    return QString::fromStdString(platform::Cp1252ToUtf8(cp1252));
}

void* LiveAt(const CPalmFileList& list, int row) {
    return row < 0 ? nullptr : list.GetAt(static_cast<std::size_t>(row), false);
}

QString NameOf(void* object) {
    const auto* item = dynamic_cast<const CCommonListItem*>(static_cast<CPalmListItem*>(object));
    return item != nullptr ? Shown(item->GetName()) : QString();
}

}  // namespace

CRecordListCtrl::CRecordListCtrl(CAccounts& data, QWidget* parent)
    : COwnerListCtrl(parent), data_(data) {
    ApplyStyle(CRecordListCtrl::GetCreateStyle());
}

CRecordListCtrl::~CRecordListCtrl() = default;

ListStyle CRecordListCtrl::GetCreateStyle() const {
    return {true, true, true};
}

void CRecordListCtrl::OnItemDoubleClicked(int row) {
    if (doubleClicked_)
        doubleClicked_(row);
}

std::uint16_t CRecordListCtrl::GetSortColumn() const {
    return GetColumnId(0);
}

// ------------------------------------------------------------ categories

CCategoryListCtrl::CCategoryListCtrl(CAccounts& data, const IconPainter& icons, QWidget* parent)
    : CRecordListCtrl(data, parent), icons_(icons) {}

CCategoryListCtrl::~CCategoryListCtrl() = default;

double CCategoryListCtrl::GetRowHeight(int fontHeight) const {
    // Room for the icon's square.
    return std::max(CRecordListCtrl::GetRowHeight(fontHeight), double{kCategoryIconSide});
}

void* CCategoryListCtrl::GetItemObject(int row) const {
    return LiveAt(data_.Categories(), row);
}

QString CCategoryListCtrl::GetItemText(void* object, std::uint16_t) const {
    return object != nullptr ? NameOf(object) : QString();
}

void CCategoryListCtrl::DrawCell(QPainter& painter, const QRect& cell, std::uint16_t, void* object,
                                 int) const {
    const auto* item = dynamic_cast<const CCategoryItem*>(static_cast<CPalmListItem*>(object));
    if (item == nullptr)
        return;
    const int left = cell.left() + (item->IsTopLevel() ? 0 : kSubcategoryIndent);
    const QRect square(left, cell.top() + (cell.height() - kCategoryIconSide) / 2,
                       kCategoryIconSide, kCategoryIconSide);
    painter.save();
    painter.setClipRect(cell, Qt::IntersectClip);
    icons_.DrawIcon(painter, square, item->GetIcon());
    painter.restore();
    const QRect text(square.right() + 1, cell.top(), cell.right() - square.right(), cell.height());
    DrawTextCell(painter, text, Shown(item->GetName()));
}

// ------------------------------------------------------------ classes, payees

CClassListCtrl::~CClassListCtrl() = default;

void* CClassListCtrl::GetItemObject(int row) const {
    return LiveAt(data_.Classes(), row);
}

QString CClassListCtrl::GetItemText(void* object, std::uint16_t) const {
    return object != nullptr ? NameOf(object) : QString();
}

void CClassListCtrl::DrawCell(QPainter& painter, const QRect& cell, std::uint16_t, void* object,
                              int) const {
    if (object != nullptr)
        DrawTextCell(painter, cell, NameOf(object));
}

CPayeeListCtrl::~CPayeeListCtrl() = default;

void* CPayeeListCtrl::GetItemObject(int row) const {
    return LiveAt(data_.Payees(), row);
}

QString CPayeeListCtrl::GetItemText(void* object, std::uint16_t) const {
    return object != nullptr ? NameOf(object) : QString();
}

void CPayeeListCtrl::DrawCell(QPainter& painter, const QRect& cell, std::uint16_t, void* object,
                              int) const {
    if (object != nullptr)
        DrawTextCell(painter, cell, NameOf(object));
}

// ------------------------------------------------------------ currencies

CCurrencyListCtrl::~CCurrencyListCtrl() = default;

void* CCurrencyListCtrl::GetItemObject(int row) const {
    return LiveAt(data_.Currencies(), row);
}

QString CCurrencyListCtrl::GetItemText(void* object, std::uint16_t) const {
    const auto* item = dynamic_cast<const CCurrencyItem*>(static_cast<CPalmListItem*>(object));
    return item != nullptr ? Shown(item->GetSymbol()) : QString();
}

void CCurrencyListCtrl::DrawCell(QPainter& painter, const QRect& cell, std::uint16_t columnId,
                                 void* object, int) const {
    const auto* item = dynamic_cast<const CCurrencyItem*>(static_cast<CPalmListItem*>(object));
    if (item == nullptr)
        return;
    switch (columnId) {
        case kListColumnSymbol:
            DrawTextCell(painter, cell, Shown(item->GetSymbol()));
            break;
        case kListColumnConversion:
            DrawTextCell(painter, cell, QString::fromStdString(FormatRateText(item->GetRate())));
            break;
        case kListColumnBase:
            if (data_.Currencies().IsHomeCurrency(item))
                DrawTextCell(painter, cell, QString::fromStdString(LoadString(kListColumnBase)));
            break;
        default:
            break;
    }
}

// ------------------------------------------------------------ transaction types

CTransTypesListCtrl::~CTransTypesListCtrl() = default;

void* CTransTypesListCtrl::GetItemObject(int row) const {
    return LiveAt(data_.TransactionTypes(), row);
}

QString CTransTypesListCtrl::GetItemText(void* object, std::uint16_t) const {
    return object != nullptr ? NameOf(object) : QString();
}

void CTransTypesListCtrl::DrawCell(QPainter& painter, const QRect& cell, std::uint16_t columnId,
                                   void* object, int) const {
    const auto* type = dynamic_cast<const CTransactionType*>(static_cast<CPalmListItem*>(object));
    if (type == nullptr)
        return;
    if (columnId == kListColumnTypeName)
        DrawTextCell(painter, cell, Shown(type->GetName()));
    else if (columnId == kListColumnTypeDirection)
        DrawTextCell(painter, cell,
                     QString::fromStdString(
                         LoadString(type->IsDebit() ? kStringWithdrawal : kStringDeposit)));
}

}  // namespace tallowmere::ui
