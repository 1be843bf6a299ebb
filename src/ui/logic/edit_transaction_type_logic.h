#pragma once
// "Edit Transaction Type" (dialog 180) apart from its widgets: the name (15
// characters can be typed; a longer stored name is kept) and, for a new type only, whether money
// leaves the account. The direction of an existing type is part of the id that its transactions
// store, so it is shown but cannot change.
#include <string>

#include "model/transaction_type.h"
#include "ui/logic/dialog_step.h"
#include "ui/logic/messages.h"

namespace tallowmere::ui {

inline constexpr int kTypeName = 1000;
inline constexpr int kTypeDirection = 1020;
inline constexpr int kTypeNameChars = 15;

// The entries of the Type combo, in resource order: index 1 is the debit.
inline constexpr int kTypeDirectionEntries[] = {3466, 3467};  // "Deposit", "Withdrawal"
inline constexpr int kDirectionDebit = 1;

struct EditTypeForm {
    std::string name;  // UTF-8, as typed
    int direction = 0;
    bool directionEnabled = true;
};

class EditTransactionTypeLogic {
  public:
    // record: the type edited; null for a new one.
    EditTransactionTypeLogic(const CTransactionType* record, Messages& messages);

    EditTypeForm& Form() { return form_; }
    const EditTypeForm& Form() const { return form_; }

    // An empty name: 509; otherwise close.
    DialogStep Ok();
    // After OK: the name in Windows-1252, blanks at either end dropped.
    const std::string& Name() const { return name_; }
    bool Debit() const { return form_.direction == kDirectionDebit; }

  private:
    Messages& messages_;
    EditTypeForm form_;
    std::string name_;
};

}  // namespace tallowmere::ui
