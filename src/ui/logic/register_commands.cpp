#include "ui/logic/register_commands.h"

#include <algorithm>

#include "model/accounts.h"
#include "model/category.h"
#include "model/class_item.h"
#include "model/payee.h"
#include "model/show_columns.h"
#include "model/transaction.h"
#include "ui/logic/command_id.h"

namespace tallowmere::ui {
namespace {

constexpr int kRegisterOnly[] = {32780, 32782, 32783, 32784, 32785, 32787, 32788,
                                 32773, 32789, 32790, 32791, 32792, 32793, 32809};

constexpr std::uint8_t kKeptBits = 0x3E;  // bits 1-5

int StatusOf(std::uint8_t byte) {
    return (byte & kStatusMask) >> 6;
}

}  // namespace

bool ViewCommandEnabled(int commandId, const RegisterCommandContext& c) {
    const bool registerOrReconcile = c.page == 0 || c.page == 3;
    switch (commandId) {
        case ToInt(CommandId::kDeleteTransaction):
            return registerOrReconcile && c.selectedRows > 0;
        case ToInt(CommandId::kDeleteAccount):
            return c.page == 0 && c.selectedAccounts == 1 && c.accountCount >= 2;
        case ToInt(CommandId::kSelectAll):
            return registerOrReconcile;
        case ToInt(CommandId::kEditCopy):
        case ToInt(CommandId::kEditCut):
        case ToInt(CommandId::kEditPaste):
            return false;
        default:
            break;
    }
    if (std::find(std::begin(kRegisterOnly), std::end(kRegisterOnly), commandId) !=
        std::end(kRegisterOnly))
        return c.page == 0;
    return true;
}

DeletePlan PlanDelete(const std::vector<const CTransaction*>& rows) {
    DeletePlan plan;
    if (rows.empty())
        return plan;
    if (rows.size() == 1 && rows.front()->IsSplitTransferCopy()) {
        plan.refusedStringId = kStringSplitTransferCopy;
        return plan;
    }
    for (const CTransaction* t : rows) {
        if (!t->IsSplitTransferCopy())
            plan.ids.push_back(t->GetId());
    }
    plan.questionStringId = rows.size() == 1 ? kStringDeleteOne : kStringDeleteMany;
    return plan;
}

int RowAfterDelete(int firstSelected, int rowCount) {
    if (rowCount <= 0)
        return -1;
    return std::clamp(firstSelected, 0, rowCount - 1);
}

std::optional<std::uint8_t> StatusAfterSet(std::uint8_t byte, int status) {
    if (status < 0 || status > 3 || StatusOf(byte) == status)
        return std::nullopt;
    return static_cast<std::uint8_t>((byte & kKeptBits) | (status << 6));
}

std::optional<std::uint8_t> StatusAfterClick(std::uint8_t byte, bool reconcilePage) {
    if (reconcilePage)
        return static_cast<std::uint8_t>(byte ^ kStatusMarked);
    switch (byte & kStatusMask) {
        case kStatusOpen:
            return static_cast<std::uint8_t>((byte & kKeptBits) | kStatusCleared);
        case kStatusCleared:
            return static_cast<std::uint8_t>((byte & kKeptBits) | kStatusOpen);
        default:
            return std::nullopt;
    }
}

RegisterPopup BuildRegisterPopup(const CAccounts& data,
                                 const std::vector<const CTransaction*>& selected) {
    RegisterPopup popup;
    const CTransaction* first = selected.empty() ? nullptr : selected.front();
    if (selected.size() == 1)
        popup.checkedStatus = StatusOf(first->GetStatus());
    const std::string payee = first != nullptr ? first->GetPayeeName() : std::string();
    const RecordId category = first != nullptr ? first->GetCategoryId() : kNoneId;
    const RecordId classId = first != nullptr ? first->GetClassId() : kNoneId;

    const CPayeesList& payees = data.Payees();
    for (std::size_t i = 0; i < payees.GetCount(false); ++i) {
        const auto* item = dynamic_cast<const CCommonListItem*>(payees.GetAt(i, false));
        if (item == nullptr)
            continue;
        PopupEntry e;
        e.text = item->GetName();
        e.payee = e.text;
        e.checked = !payee.empty() && e.payee == payee;
        popup.payees.push_back(std::move(e));
    }
    const CCategoryList& categories = data.Categories();
    for (std::size_t i = 0; i < categories.GetCount(false); ++i) {
        const auto* item = dynamic_cast<const CCategoryItem*>(categories.GetAt(i, false));
        if (item == nullptr)
            continue;
        PopupEntry e;
        e.text = item->GetFullName(categories);
        e.id = item->GetId();
        e.checked = !category.IsNull() && e.id == category;
        popup.categories.push_back(std::move(e));
    }
    const CClassList& classes = data.Classes();
    for (std::size_t i = 0; i < classes.GetCount(false); ++i) {
        const auto* item = dynamic_cast<const CCommonListItem*>(classes.GetAt(i, false));
        if (item == nullptr)
            continue;
        PopupEntry e;
        e.text = item->GetName();
        e.id = item->GetId();
        e.checked = !classId.IsNull() && e.id == classId;
        popup.classes.push_back(std::move(e));
    }
    return popup;
}

bool EntryStillLive(const CAccounts& data, SetField field, const PopupEntry& entry) {
    switch (field) {
        case SetField::kPayee:
            return !entry.payee.empty() && data.Payees().FindByName(entry.payee) != nullptr;
        case SetField::kCategory:
            return data.Categories().FindById(entry.id) != nullptr;
        case SetField::kClass:
            return data.Classes().FindById(entry.id, false) != nullptr;
    }
    return false;
}

void ApplyEntry(SetField field, const PopupEntry& entry, CTransaction& t) {
    switch (field) {
        case SetField::kPayee:
            t.SetPayeeName(entry.payee);
            break;
        case SetField::kCategory:
            t.SetCategoryId(entry.id);
            break;
        case SetField::kClass:
            t.SetClassId(entry.id);
            break;
    }
    t.SetAttributes(static_cast<std::uint8_t>(t.GetAttributes() | kAttrModified));
}

SortChoice SortAfterHeaderClick(std::uint16_t sortedColumn, bool ascending,
                                std::uint16_t clickedColumn) {
    SortChoice choice;
    if (clickedColumn >= 9) {
        choice.beep = clickedColumn == 9;
        choice.column = sortedColumn;
        choice.ascending = ascending;
        return choice;
    }
    choice.column = clickedColumn;
    choice.ascending = clickedColumn == sortedColumn ? !ascending : true;
    return choice;
}

bool StoreColumnWidths(CShowColumns& set, const std::vector<ShownColumnWidth>& shown) {
    constexpr int kMinWidth = 24;
    constexpr int kMaxWidth = 0xFFFE;  // 0xFFFF is the unset width
    bool changed = false;
    for (const ShownColumnWidth& c : shown) {
        const int index = set.IndexOfId(c.id);
        if (index < 0)
            continue;
        const auto width = static_cast<std::uint16_t>(std::clamp(c.width, kMinWidth, kMaxWidth));
        if (set.GetWidth(index) != width) {
            set.SetWidth(index, width);
            changed = true;
        }
    }
    return changed;
}

int BalanceTypeLabelId(int type) {
    switch (type) {
        case 1:
            return 283;
        case 2:
            return 293;
        default:
            return 206;
    }
}

int BalanceTypeCommand(int type) {
    switch (type) {
        case 1:
            return 32832;
        case 2:
            return 32842;
        default:
            return 32833;
    }
}

int BalanceTypeOfCommand(int commandId) {
    switch (commandId) {
        case 32833:
            return 0;
        case 32832:
            return 1;
        case 32842:
            return 2;
        default:
            return -1;
    }
}

bool ReadoutHasMarker(int which, int filter) {
    return which == 0 || filter == 0;
}

int ReadoutLabelId(int filter, int type) {
    return filter == 0 ? BalanceTypeLabelId(type) : 206;
}

}  // namespace tallowmere::ui
