#pragma once
// What the five list editors (categories, classes, currencies, payees and
// transaction types) share: the control ids, the answer of each button as
// the list shows it afterwards, and the view's repaints. Every change goes
// into the list at once and the list file is saved; a failed list save
// reports itself (the file-error text with its code) and the change stays in
// memory, as the register's edits do. A failed account save is shown here.
#include <functional>
#include <string>

#include "ui/logic/messages.h"

namespace tallowmere::ui {

// Controls of every list dialog.
inline constexpr int kListDone = 1;
inline constexpr int kListNew = 1003;
inline constexpr int kListEdit = 1004;
inline constexpr int kListDelete = 101;
inline constexpr int kListSetAsBase = 102;

// The name edit of the record dialogs.
inline constexpr int kRecordName = 1000;

inline constexpr int kStringNotValidName = 509;
inline constexpr int kStringDeleteItem = 514;
// The prompt of a number edit whose text is no number.
inline constexpr int kStringEnterNumber = 3459;

// The main view, where an editor's change shows beyond its own list.
class MListEditorView {
  public:
    virtual ~MListEditorView() = default;
    // Names in the register changed.
    virtual void RepaintRegister() = 0;
    // Accounts changed currency, or the home currency changed: the accounts
    // pane and the register.
    virtual void RefreshAccounts() = 0;
};

// What the list shows after a button.
struct ListStep {
    static constexpr int kKeepSelection = -2;
    static constexpr int kNoSelection = -1;

    bool changed = false;         // rows changed: take the count again and repaint
    int select = kKeepSelection;  // a row to select alone and bring into view

    static ListStep Nothing() { return {}; }
    static ListStep Select(int row) { return {true, row < 0 ? kNoSelection : row}; }
    // After a delete the selected row would name the next record, which a
    // second Delete would remove unasked for: nothing stays selected.
    static ListStep ClearSelection() { return {true, kNoSelection}; }
    static ListStep Repaint() { return {true, kKeepSelection}; }
    bool operator==(const ListStep&) const = default;
};

// The buttons of a list dialog; rows are the list's live records in order.
class ListEditorLogic {
  public:
    virtual ~ListEditorLogic() = default;
    virtual int Count() const = 0;
    // Each runs its record dialog or question; nothing happens for a row
    // outside the list.
    virtual ListStep New() = 0;
    virtual ListStep Edit(int row) = 0;
    virtual ListStep Delete(int row) = 0;
    // Only the currencies have it.
    virtual ListStep SetAsBase(int /*row*/) { return {}; }
    // What Done hands the caller for the selected row (-1 for none), UTF-8;
    // empty for none and for the lists that give nothing.
    virtual std::string ChosenName(int /*row*/) const { return {}; }
};

// A record dialog run over its logic: true when it closed with OK.
template <typename Logic>
using RunRecordDialog = std::function<bool(Logic&)>;

// Yes/No with the question icon, No as the default; true for Yes.
bool AskYesNo(Messages& messages, int stringId);

// Blanks at either end are dropped from a typed name: the dialogs that look
// names up trim what is typed, so such a name could never be found.
std::string TrimmedName(const std::string& utf8);

}  // namespace tallowmere::ui
