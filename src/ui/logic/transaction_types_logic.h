#pragma once
// "Edit Transaction Types" (dialog 1595) apart from its widgets: the types
// in the order they were made, New, Edit and Delete through "Edit
// Transaction Type". The built-in types cannot be edited or deleted; they
// are known by their fixed ids, wherever a file has them.
#include "model/accounts.h"
#include "ui/logic/edit_transaction_type_logic.h"
#include "ui/logic/list_editor.h"

namespace tallowmere::ui {

inline constexpr int kTypeListId = 1086;
inline constexpr int kStringEditBuiltInType = 135;
inline constexpr int kStringDeleteBuiltInType = 136;

class TransactionTypesLogic final : public ListEditorLogic {
  public:
    TransactionTypesLogic(CAccounts& data, Messages& messages,
                          RunRecordDialog<EditTransactionTypeLogic> run);

    // Null outside the live rows.
    CTransactionType* ItemAt(int row) const;

    int Count() const override;
    // Appended behind the other types with its direction.
    ListStep New() override;
    // 135 for a built-in type; the name changes, the place and the
    // direction stay.
    ListStep Edit(int row) override;
    // 136 for a built-in type; otherwise asks 514.
    ListStep Delete(int row) override;

  private:
    CAccounts& data_;
    Messages& messages_;
    RunRecordDialog<EditTransactionTypeLogic> run_;
};

}  // namespace tallowmere::ui
