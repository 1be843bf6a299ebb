#pragma once
// "Edit Classes" (dialog 1594) and "Edit Payees" (dialog 1592) apart from
// their widgets: the names in name order, New, Edit and Delete through "Edit
// Class" or "Edit Payee", and the chosen name for the caller. Names may
// repeat; records that transactions use are not looked at.
#include "model/accounts.h"
#include "ui/logic/edit_name_logic.h"
#include "ui/logic/list_editor.h"

namespace tallowmere::ui {

inline constexpr int kClassListId = 1085;
inline constexpr int kPayeeListId = 1083;

class NamedListLogic final : public ListEditorLogic {
  public:
    // kClass edits the classes, kPayee the payees. view may be null.
    NamedListLogic(CAccounts& data, NameRule kind, Messages& messages,
                   RunRecordDialog<EditNameLogic> run, MListEditorView* view = nullptr);

    NameRule Kind() const { return kind_; }
    // Null outside the live rows.
    CCommonListItem* ItemAt(int row) const;

    int Count() const override;
    ListStep New() override;
    // The record moves to its place in name order; a renamed class puts
    // registers ordered by class names back in order.
    ListStep Edit(int row) override;
    // Asks 514, then deletes the selected record.
    ListStep Delete(int row) override;
    std::string ChosenName(int row) const override;

  private:
    CCommonList& List() const;

    CAccounts& data_;
    NameRule kind_;
    Messages& messages_;
    RunRecordDialog<EditNameLogic> run_;
    MListEditorView* view_;
};

}  // namespace tallowmere::ui
