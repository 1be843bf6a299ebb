#include "ui/logic/category_list_logic.h"

#include <memory>
#include <utility>

#include "platform/text_1252.h"
#include "ui/logic/file_error_message.h"

namespace tallowmere::ui {

CategoryListLogic::CategoryListLogic(CAccounts& data, Messages& messages,
                                     RunRecordDialog<EditCategoryLogic> run, MListEditorView* view)
    : data_(data), messages_(messages), run_(std::move(run)), view_(view) {}

CCategoryItem* CategoryListLogic::ItemAt(int row) const {
    if (row < 0)
        return nullptr;
    return dynamic_cast<CCategoryItem*>(
        data_.Categories().GetAt(static_cast<std::size_t>(row), false));
}

int CategoryListLogic::Count() const {
    return static_cast<int>(data_.Categories().GetCount(false));
}

ListStep CategoryListLogic::New() {
    CCategoryList& list = data_.Categories();
    EditCategoryLogic edit(list, nullptr, messages_);
    if (!run_ || !run_(edit))
        return ListStep::Nothing();
    const RecordId parent = edit.ParentId();
    auto item = parent.IsNull() ? std::make_unique<CCategoryItem>(edit.Name())
                                : std::make_unique<CCategoryItem>(edit.Name(), parent);
    item->SetIcon(edit.Form().icon);
    const RecordId id = item->GetId();
    if (!parent.IsNull())
        list.FindAndMarkModified(parent);
    list.AddInTreeOrder(std::move(item));  // a failed save reports itself
    return ListStep::Select(list.IndexOfId(id));
}

ListStep CategoryListLogic::Edit(int row) {
    CCategoryItem* item = ItemAt(row);
    if (item == nullptr)
        return ListStep::Nothing();
    CCategoryList& list = data_.Categories();
    EditCategoryLogic edit(list, item, messages_);
    if (!run_ || !run_(edit))
        return ListStep::Nothing();
    const RecordId id = item->GetId();
    const RecordId oldParent = item->GetParentId();
    const RecordId newParent = edit.ParentId();
    const bool renamed = edit.Name() != item->GetName();
    const bool moved = newParent != oldParent;
    if (!renamed && !moved && edit.Form().icon == item->GetIcon())
        return ListStep::Select(row);
    if (moved) {
        if (!oldParent.IsNull())
            list.FindAndMarkModified(oldParent);
        if (!newParent.IsNull())
            list.FindAndMarkModified(newParent);
    }
    item->SetName(edit.Name());
    item->SetParentId(newParent);
    item->SetIcon(edit.Form().icon);
    list.Resort();  // a failed save reports itself
    if (renamed || moved) {
        // Registers ordered by category place new rows among the others,
        // which must then be in order by the new names.
        const int r = data_.ResortRegistersByName();
        if (r != 0)
            ShowFileErrorMessage(messages_, r);
    }
    if (view_ != nullptr)
        view_->RepaintRegister();
    return ListStep::Select(list.IndexOfId(id));
}

ListStep CategoryListLogic::Delete(int row) {
    CCategoryItem* item = ItemAt(row);
    if (item == nullptr)
        return ListStep::Nothing();
    CCategoryList& list = data_.Categories();
    if (list.HasChildren(item->GetId())) {
        messages_.Show(StringMessage(kStringDeleteParent));
        return ListStep::Nothing();
    }
    if (!AskYesNo(messages_, kStringDeleteCategory))
        return ListStep::Nothing();
    if (!item->IsTopLevel())
        list.FindAndMarkModified(item->GetParentId());
    list.DeleteItem(item);  // a failed save reports itself
    return ListStep::ClearSelection();
}

std::string CategoryListLogic::ChosenName(int row) const {
    const CCategoryItem* item = ItemAt(row);
    return item != nullptr ? platform::Cp1252ToUtf8(item->GetFullName(data_.Categories())) : "";
}

}  // namespace tallowmere::ui
