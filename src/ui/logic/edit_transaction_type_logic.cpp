#include "ui/logic/edit_transaction_type_logic.h"

#include "platform/text_1252.h"
#include "ui/logic/list_editor.h"

namespace tallowmere::ui {

EditTransactionTypeLogic::EditTransactionTypeLogic(const CTransactionType* record,
                                                   Messages& messages)
    : messages_(messages) {
    if (record != nullptr) {
        form_.name = platform::Cp1252ToUtf8(record->GetName());
        form_.direction = record->IsDebit() ? kDirectionDebit : 0;
        form_.directionEnabled = false;
    }
}

DialogStep EditTransactionTypeLogic::Ok() {
    const std::string name = platform::Utf8ToCp1252(TrimmedName(form_.name));
    if (name.empty()) {
        messages_.Show(StringMessage(kStringNotValidName));
        return DialogStep::Stay(kTypeName, true);
    }
    name_ = name;
    return DialogStep::Close(1);
}

}  // namespace tallowmere::ui
