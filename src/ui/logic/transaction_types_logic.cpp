#include "ui/logic/transaction_types_logic.h"

#include <memory>
#include <utility>

namespace tallowmere::ui {

TransactionTypesLogic::TransactionTypesLogic(CAccounts& data, Messages& messages,
                                             RunRecordDialog<EditTransactionTypeLogic> run)
    : data_(data), messages_(messages), run_(std::move(run)) {}

CTransactionType* TransactionTypesLogic::ItemAt(int row) const {
    if (row < 0)
        return nullptr;
    return dynamic_cast<CTransactionType*>(
        data_.TransactionTypes().GetAt(static_cast<std::size_t>(row), false));
}

int TransactionTypesLogic::Count() const {
    return static_cast<int>(data_.TransactionTypes().GetCount(false));
}

ListStep TransactionTypesLogic::New() {
    EditTransactionTypeLogic edit(nullptr, messages_);
    if (!run_ || !run_(edit))
        return ListStep::Nothing();
    auto item = std::make_unique<CTransactionType>(edit.Name(), edit.Debit());
    const CTransactionType* added = item.get();
    CTransactionTypesList& list = data_.TransactionTypes();
    list.AddSorted(std::move(item));  // a failed save reports itself
    return ListStep::Select(list.IndexOf(added));
}

ListStep TransactionTypesLogic::Edit(int row) {
    CTransactionType* item = ItemAt(row);
    if (item == nullptr)
        return ListStep::Nothing();
    if (item->IsBuiltIn()) {
        messages_.Show(StringMessage(kStringEditBuiltInType));
        return ListStep::Nothing();
    }
    EditTransactionTypeLogic edit(item, messages_);
    if (!run_ || !run_(edit))
        return ListStep::Nothing();
    item->SetName(edit.Name());
    const int at = data_.TransactionTypes().MoveItem(static_cast<std::size_t>(row), item);
    return ListStep::Select(at);
}

ListStep TransactionTypesLogic::Delete(int row) {
    CTransactionType* item = ItemAt(row);
    if (item == nullptr)
        return ListStep::Nothing();
    if (item->IsBuiltIn()) {
        messages_.Show(StringMessage(kStringDeleteBuiltInType));
        return ListStep::Nothing();
    }
    if (!AskYesNo(messages_, kStringDeleteItem))
        return ListStep::Nothing();
    data_.TransactionTypes().DeleteItem(item);  // a failed save reports itself
    return ListStep::ClearSelection();
}

}  // namespace tallowmere::ui
