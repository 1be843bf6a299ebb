#pragma once
// "Edit Category" (dialog 177) apart from its widgets: the category's own
// name, the top-level category it belongs under ("<None>" for none) and its
// icon. Choosing another parent gives the category that parent's icon.
#include <cstdint>
#include <string>
#include <vector>

#include "model/category.h"
#include "model/record_id.h"
#include "ui/logic/dialog_step.h"
#include "ui/logic/messages.h"

namespace tallowmere::ui {

inline constexpr int kCategoryName = 1000;
inline constexpr int kCategoryParent = 1019;
inline constexpr int kCategoryIconButton = 4;
inline constexpr int kCategoryIconFrame = 1017;
inline constexpr int kCategoryNameChars = 32;

inline constexpr int kStringNoParent = 130;
inline constexpr int kStringParentHasChildren = 131;
inline constexpr int kStringCategoryExists = 179;

struct EditCategoryForm {
    std::string name;     // UTF-8, as typed
    int parentIndex = 0;  // into ParentEntries(); 0 is "<None>"
    std::uint16_t icon = 0;
};

struct ParentEntry {
    std::string text;  // UTF-8
    RecordId id;       // none for "<None>"
};

class EditCategoryLogic {
  public:
    // record: the category edited; null for a new one. The list and the
    // record outlive the logic.
    EditCategoryLogic(const CCategoryList& list, const CCategoryItem* record, Messages& messages);

    // "<None>", then every live top-level category by name but the edited
    // one, which cannot be its own parent.
    const std::vector<ParentEntry>& ParentEntries() const { return parents_; }
    EditCategoryForm& Form() { return form_; }
    const EditCategoryForm& Form() const { return form_; }

    // The user chose a parent: the icon becomes that parent's (0 for none).
    void OnParentChosen(int index);
    // The icon chooser closed with OK.
    void OnIconChosen(int icon) { form_.icon = static_cast<std::uint16_t>(icon); }

    // An empty name: 509. A name that the category field could never name
    // (':', '/', "-SPLIT-", a leading '[', too long): 137. A new name or
    // place already taken by another category at that level: 179. A
    // category with subcategories put under a parent: 131. Otherwise close.
    DialogStep Ok();

    // After OK: the name in Windows-1252, blanks at either end dropped.
    const std::string& Name() const { return name_; }
    RecordId ParentId() const;

  private:
    bool SiblingNamed(const RecordId& parent, const std::string& name) const;

    const CCategoryList& list_;
    const CCategoryItem* record_;
    Messages& messages_;
    std::vector<ParentEntry> parents_;
    EditCategoryForm form_;
    std::string name_;
};

}  // namespace tallowmere::ui
