#pragma once
// The list editors as the transaction dialog's buttons reach them: payees,
// categories, classes and, through the conversion dialog, currencies. The
// register's commands, the report details and the upcoming transactions
// hand these to the transaction dialog.
#include "ui/transaction_dlg.h"

namespace tallowmere::ui {

class CIconResourceList;
class IconPainter;
class MListEditorView;

// Editors over data, which must outlive them. view repaints the register
// and the accounts pane after a change; the icon set and painter draw the
// category rows (without them the data folder's icon database is read for
// each run).
TransactionEditors ListEditorHooks(CAccounts& data, MListEditorView* view = nullptr,
                                   const CIconResourceList* iconSet = nullptr,
                                   const IconPainter* icons = nullptr);

}  // namespace tallowmere::ui
