#include "ui/logic/named_list_logic.h"

#include <memory>
#include <utility>

#include "platform/text_1252.h"
#include "ui/logic/file_error_message.h"

namespace tallowmere::ui {

NamedListLogic::NamedListLogic(CAccounts& data, NameRule kind, Messages& messages,
                               RunRecordDialog<EditNameLogic> run, MListEditorView* view)
    : data_(data), kind_(kind), messages_(messages), run_(std::move(run)), view_(view) {}

CCommonList& NamedListLogic::List() const {
    if (kind_ == NameRule::kClass)
        return data_.Classes();
    return data_.Payees();
}

CCommonListItem* NamedListLogic::ItemAt(int row) const {
    if (row < 0)
        return nullptr;
    return dynamic_cast<CCommonListItem*>(List().GetAt(static_cast<std::size_t>(row), false));
}

int NamedListLogic::Count() const {
    return static_cast<int>(List().GetCount(false));
}

ListStep NamedListLogic::New() {
    EditNameLogic edit(kind_, {}, messages_);
    if (!run_ || !run_(edit))
        return ListStep::Nothing();
    std::unique_ptr<CCommonListItem> item;
    if (kind_ == NameRule::kClass)
        item = std::make_unique<CClassItem>(edit.Name());
    else
        item = std::make_unique<CPayeeItem>(edit.Name());
    const CCommonListItem* added = item.get();
    CCommonList& list = List();
    list.AddSorted(std::move(item));  // a failed save reports itself
    return ListStep::Select(list.IndexOf(added));
}

ListStep NamedListLogic::Edit(int row) {
    CCommonListItem* item = ItemAt(row);
    if (item == nullptr)
        return ListStep::Nothing();
    EditNameLogic edit(kind_, item->GetName(), messages_);
    if (!run_ || !run_(edit))
        return ListStep::Nothing();
    const bool renamed = edit.Name() != item->GetName();
    item->SetName(edit.Name());
    const int at = List().MoveItem(static_cast<std::size_t>(row), item);
    if (renamed && kind_ == NameRule::kClass) {
        const int r = data_.ResortRegistersByName();
        if (r != 0)
            ShowFileErrorMessage(messages_, r);
    }
    if (renamed && kind_ == NameRule::kClass && view_ != nullptr)
        view_->RepaintRegister();
    return ListStep::Select(at);
}

ListStep NamedListLogic::Delete(int row) {
    if (!AskYesNo(messages_, kStringDeleteItem))
        return ListStep::Nothing();
    CCommonListItem* item = ItemAt(row);
    if (item == nullptr)
        return ListStep::Nothing();
    List().DeleteItem(item);  // a failed save reports itself
    return ListStep::ClearSelection();
}

std::string NamedListLogic::ChosenName(int row) const {
    const CCommonListItem* item = ItemAt(row);
    return item != nullptr ? platform::Cp1252ToUtf8(item->GetName()) : "";
}

}  // namespace tallowmere::ui
