#include "ui/list_editor_hooks.h"

#include "ui/list_editor_dlgs.h"

namespace tallowmere::ui {

TransactionEditors ListEditorHooks(CAccounts& data, MListEditorView* view,
                                   const CIconResourceList* iconSet, const IconPainter* icons) {
    TransactionEditors editors;
    editors.payees = [&data](QWidget* parent) {
        return RunPayeesListDialog(parent, data).chosenName.toStdString();
    };
    editors.categories = [&data, view, iconSet, icons](QWidget* parent) {
        return RunCategoryListDialog(parent, data, view, iconSet, icons).chosenName.toStdString();
    };
    editors.classes = [&data, view](QWidget* parent) {
        return RunClassListDialog(parent, data, view).chosenName.toStdString();
    };
    editors.currencies = [&data, view](QWidget* parent) {
        RunCurrencyListDialog(parent, data, view);
    };
    return editors;
}

}  // namespace tallowmere::ui
