#pragma once
// "Edit Categories" (dialog 1593) apart from its widgets: the category tree
// in list order, New, Edit and Delete through "Edit Category", and the
// chosen category's "Parent:Child" for the caller.
#include "model/accounts.h"
#include "ui/logic/edit_category_logic.h"
#include "ui/logic/list_editor.h"

namespace tallowmere::ui {

inline constexpr int kCategoryListId = 1084;
inline constexpr int kStringDeleteParent = 132;
inline constexpr int kStringDeleteCategory = 176;

class CategoryListLogic final : public ListEditorLogic {
  public:
    // view may be null.
    CategoryListLogic(CAccounts& data, Messages& messages, RunRecordDialog<EditCategoryLogic> run,
                      MListEditorView* view = nullptr);

    // Null outside the live rows.
    CCategoryItem* ItemAt(int row) const;

    int Count() const override;
    // A new category at its place in the tree; a subcategory's parent is
    // marked modified.
    ListStep New() override;
    // The record changes only when its name (any change of case counts),
    // parent or icon does; the tree is sorted again, and registers ordered
    // by category names are put back in order.
    ListStep Edit(int row) override;
    // 132 for a category with subcategories; otherwise asks 176.
    ListStep Delete(int row) override;
    std::string ChosenName(int row) const override;

  private:
    CAccounts& data_;
    Messages& messages_;
    RunRecordDialog<EditCategoryLogic> run_;
    MListEditorView* view_;
};

}  // namespace tallowmere::ui
