#include "ui/logic/edit_category_logic.h"

#include <cstddef>

#include "model/string_table.h"
#include "platform/text_1252.h"
#include "ui/logic/category_text.h"
#include "ui/logic/list_editor.h"

namespace tallowmere::ui {
namespace {

bool SameName(std::string_view a, std::string_view b) {
    return platform::CompareNoCase1252(a, b) == 0;
}

const CCategoryItem* LiveCategoryAt(const CCategoryList& list, std::size_t i) {
    return dynamic_cast<const CCategoryItem*>(list.GetAt(i, false));
}

}  // namespace

EditCategoryLogic::EditCategoryLogic(const CCategoryList& list, const CCategoryItem* record,
                                     Messages& messages)
    : list_(list), record_(record), messages_(messages) {
    parents_.push_back({LoadString(kStringNoParent), kNoneId});
    const RecordId ownParent = record_ != nullptr ? record_->GetParentId() : kNoneId;
    for (std::size_t i = 0; i < list_.GetCount(false); ++i) {
        const CCategoryItem* c = LiveCategoryAt(list_, i);
        if (c == nullptr || !c->IsTopLevel() || c == record_)
            continue;
        if (!ownParent.IsNull() && c->GetId() == ownParent)
            form_.parentIndex = static_cast<int>(parents_.size());
        parents_.push_back({platform::Cp1252ToUtf8(c->GetName()), c->GetId()});
    }
    if (record_ != nullptr) {
        form_.name = platform::Cp1252ToUtf8(record_->GetName());
        form_.icon = record_->GetIcon();
    }
}

RecordId EditCategoryLogic::ParentId() const {
    if (form_.parentIndex < 0 || static_cast<std::size_t>(form_.parentIndex) >= parents_.size())
        return kNoneId;
    return parents_[static_cast<std::size_t>(form_.parentIndex)].id;
}

void EditCategoryLogic::OnParentChosen(int index) {
    form_.parentIndex = index;
    const RecordId parent = ParentId();
    const CCategoryItem* item = parent.IsNull() ? nullptr : list_.FindById(parent);
    form_.icon = item != nullptr ? item->GetIcon() : 0;
}

bool EditCategoryLogic::SiblingNamed(const RecordId& parent, const std::string& name) const {
    for (std::size_t i = 0; i < list_.GetCount(false); ++i) {
        const CCategoryItem* c = LiveCategoryAt(list_, i);
        if (c != nullptr && c != record_ && c->GetParentId() == parent &&
            SameName(c->NameView(), name))
            return true;
    }
    return false;
}

DialogStep EditCategoryLogic::Ok() {
    const auto refuse = [this](int stringId, int focusId) {
        messages_.Show(StringMessage(stringId));
        return DialogStep::Stay(focusId, true);
    };
    const std::string name = platform::Utf8ToCp1252(TrimmedName(form_.name));
    if (name.empty())
        return refuse(kStringNotValidName, kCategoryName);
    // The category field reads ':' as the level separator and '[' as the
    // start of an account, so such an own name could never be typed there.
    if (!IsValidCategoryName(name) || name.find(':') != std::string::npos || name.front() == '[')
        return refuse(kStringBadCategoryName, kCategoryName);

    const RecordId parent = ParentId();
    const RecordId oldParent = record_ != nullptr ? record_->GetParentId() : kNoneId;
    const bool nameChanged = record_ == nullptr || !SameName(name, record_->NameView());
    const bool parentChanged = record_ == nullptr || parent != oldParent;
    // A move is checked as a rename is: two categories of one path would
    // make every look-up by path find only the first.
    if ((nameChanged || parentChanged) && SiblingNamed(parent, name))
        return refuse(kStringCategoryExists, kCategoryName);
    if (record_ != nullptr && parentChanged && !parent.IsNull() &&
        list_.HasChildren(record_->GetId()))
        return refuse(kStringParentHasChildren, kCategoryParent);
    name_ = name;
    return DialogStep::Close(1);
}

}  // namespace tallowmere::ui
