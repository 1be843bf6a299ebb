#include "ui/dialog_hooks.h"

#include "exchange/fi_list.h"
#include "model/accounts.h"
#include "ui/list_editor_dlgs.h"
#include "ui/online_setup_dlg.h"
#include "ui/tallowmere_view.h"
#include "ui/transaction_dlg.h"

namespace tallowmere::ui {

OnlineSetupRunner AccountOnlineSetup(CAccounts& data, const CAccount* account) {
    auto* list = dynamic_cast<CFiList*>(data.GetInstitutionList());
    if (list == nullptr)
        return {};
    return MakeOnlineSetupRunner(data, *list,
                                 account != nullptr ? account->Header().GetName() : std::string());
}

ListEditorRunner ScheduledListEditors(CAccounts& data) {
    return [&data](QWidget* parent, ListEditorKind kind,
                   const std::string&) -> std::optional<std::string> {
        ListEditorResult result;
        switch (kind) {
            case ListEditorKind::kPayees:
                result = RunPayeesListDialog(parent, data);
                break;
            case ListEditorKind::kCategories:
                result = RunCategoryListDialog(parent, data);
                break;
            case ListEditorKind::kClasses:
                result = RunClassListDialog(parent, data);
                break;
        }
        // Done without a row keeps what the field holds.
        if (result.code != 1 || result.chosenName.isEmpty())
            return std::nullopt;
        return result.chosenName.toStdString();
    };
}

bool CReviewTransactionEditor::EditTransaction(QWidget* parent, CAccount& account,
                                               CTransaction& t) {
    constexpr int kDeleted = 101;
    const int code = RunTransactionDialog(parent, data_, account, &t);
    return code == 1 || code == kDeleted;
}

void CViewReviewRegister::RefreshRegister() {
    if (CAccount* account = view_.CurrentAccount())
        view_.RefreshForAccount(account->Header().GetId());
    else
        view_.RefreshTotals();
}

}  // namespace tallowmere::ui
