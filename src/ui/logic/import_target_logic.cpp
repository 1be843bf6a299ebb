#include "ui/logic/import_target_logic.h"

#include <memory>

#include "model/accounts.h"
#include "model/paths.h"
#include "platform/text_1252.h"
#include "ui/logic/file_error_message.h"

namespace tallowmere::ui {

ImportTargetForm OpenImportTarget(const CAccounts& data, std::string_view presetName,
                                  const CAccount* preselect, int choice) {
    ImportTargetForm form;
    form.choice = choice;
    form.name = platform::Cp1252ToUtf8(presetName);
    for (std::size_t n = 0; n < data.GetAccountCount(); ++n) {
        const CAccount* account = data.GetAccountAt(n);
        form.entries.push_back(platform::Cp1252ToUtf8(account->GetName()));
        form.ids.push_back(account->Header().GetId());
    }
    if (preselect != nullptr)
        form.listIndex = data.IndexOfAccount(preselect);
    return form;
}

namespace {

OkResult ChooseExisting(CAccounts& data, const ImportTargetForm& form, CAccount*& chosen) {
    if (form.listIndex < 0 || static_cast<std::size_t>(form.listIndex) >= form.ids.size())
        return OkResult::Stay(kImportList);
    CAccount* account = data.FindAccountById(form.ids[static_cast<std::size_t>(form.listIndex)]);
    if (account == nullptr)
        return OkResult::Stay(kImportList);
    chosen = account;
    return OkResult::Close();
}

}  // namespace

OkResult AcceptImportTarget(CAccounts& data, const ImportTargetForm& form, Messages& messages,
                            ImportTargetHost* host, CAccount*& chosen) {
    if (form.choice == kImportSelectExisting)
        return ChooseExisting(data, form, chosen);
    if (form.choice != kImportCreateNew)
        return OkResult::Stay(0);

    const std::string name = platform::Utf8ToCp1252(form.name);
    if (name.empty() || name.size() > kImportAccountNameLimit || !IsValidFileName(name)) {
        messages.Show(StringMessage(kStringInvalidAccountName));
        return OkResult::Stay(kImportName);
    }
    if (data.FindAccountByName(name) != nullptr) {
        messages.Show(StringMessage(kStringAccountNameTaken));
        return OkResult::Stay(kImportName);
    }
    auto account = std::make_unique<CAccount>();
    const int r = account->MakeFilePath(data.GetFolder(), name);
    if (r != 0) {
        ShowFileErrorMessage(messages, r);
        return OkResult::Stay(kImportName);
    }
    account->Header().SetName(name);
    chosen = data.InsertAccount(std::move(account));
    if (host != nullptr)
        host->AccountsChanged();
    return OkResult::Close();
}

}  // namespace tallowmere::ui
