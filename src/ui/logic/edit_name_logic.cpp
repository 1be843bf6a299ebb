#include "ui/logic/edit_name_logic.h"

#include "model/class_item.h"
#include "platform/text_1252.h"
#include "ui/logic/category_text.h"
#include "ui/logic/list_editor.h"

namespace tallowmere::ui {

EditNameLogic::EditNameLogic(NameRule rule, std::string_view stored, Messages& messages)
    : rule_(rule), messages_(messages), text_(platform::Cp1252ToUtf8(stored)) {}

DialogStep EditNameLogic::Ok() {
    const std::string name = platform::Utf8ToCp1252(TrimmedName(text_));
    int refusal = 0;
    if (name.empty())
        refusal = kStringNotValidName;
    else if (rule_ == NameRule::kClass && !IsValidClassName(name))
        refusal = kStringBadClassName;
    if (refusal != 0) {
        messages_.Show(StringMessage(refusal));
        return DialogStep::Stay(kRecordName, true);
    }
    name_ = name;
    return DialogStep::Close(1);
}

}  // namespace tallowmere::ui
