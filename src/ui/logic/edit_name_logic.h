#pragma once
// "Edit Class" (dialog 176) and "Edit Payee" (dialog 131) apart from their
// widgets: one name of at most 32 characters.
#include <string>
#include <string_view>

#include "ui/logic/dialog_step.h"
#include "ui/logic/messages.h"

namespace tallowmere::ui {

inline constexpr int kNameChars = 32;

enum class NameRule {
    kClass,  // also no ':' or '/', which the class field could never name
    kPayee,
};

class EditNameLogic {
  public:
    // stored: the record's name in Windows-1252; empty for a new record.
    EditNameLogic(NameRule rule, std::string_view stored, Messages& messages);

    NameRule Rule() const { return rule_; }
    // UTF-8, as typed.
    std::string& NameText() { return text_; }
    const std::string& NameText() const { return text_; }

    // An empty name: 509; a class name the class field refuses: 199.
    DialogStep Ok();
    // After OK: the name in Windows-1252, blanks at either end dropped.
    const std::string& Name() const { return name_; }

  private:
    NameRule rule_;
    Messages& messages_;
    std::string text_;
    std::string name_;
};

}  // namespace tallowmere::ui
