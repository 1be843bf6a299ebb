#include "ui/logic/online_setup_logic.h"

#include "exchange/fi_accounts_list.h"
#include "exchange/fi_list.h"
#include "exchange/fidb_client.h"
#include "exchange/http_errors.h"
#include "exchange/ofx_client.h"
#include "exchange/online_banking_error.h"
#include "model/paths.h"
#include "model/string_table.h"
#include "platform/text_1252.h"

namespace tallowmere::ui {
namespace {

constexpr int kStrSelectBank = 3605;
constexpr int kStrSelectAccount = 3609;
constexpr int kStrWillPrompt = 290;
constexpr int kStrAssigned = 291;
constexpr int kStrChooseBank = 169;
constexpr int kStrEnterCustomerId = 168;
constexpr int kStrAssignAccount = 170;

// Clears the list's or the bank's progress window on every path.
template <typename Owner>
class ProgressHandOver {
  public:
    ProgressHandOver(Owner& owner, COnlineProgressDlg* window) : owner_(owner) {
        owner_.SetProgressWindow(window);
    }
    ~ProgressHandOver() { owner_.SetProgressWindow(nullptr); }
    ProgressHandOver(const ProgressHandOver&) = delete;
    ProgressHandOver& operator=(const ProgressHandOver&) = delete;

  private:
    Owner& owner_;
};

bool IsCancel(std::int32_t code) {
    return code == exchange::kHttpErrorCancelled || code == exchange::kOfxErrorCancelled;
}

}  // namespace

std::string BankButtonCaption(const std::string& bankName1252, bool hasBank) {
    if (!hasBank)
        return LoadString(kStrSelectBank);
    // Windows-1252 has one byte per character.
    return platform::Cp1252ToUtf8(bankName1252.substr(0, kBankCaptionChars)) + "...";
}

OnlineSetupView ComputeOnlineSetupView(const OnlineSetupForm& values, bool hasBank) {
    OnlineSetupView view;
    view.bankEnabled = values.enabled;
    view.detailsShown = hasBank;
    view.detailsEnabled = values.enabled && hasBank;
    view.noteShown = values.enabled && hasBank;
    view.accountShown = hasBank && !values.customerId.empty();
    view.accountEnabled = values.enabled && view.accountShown;
    view.bankCaption = BankButtonCaption(values.bankName, hasBank);
    view.passwordCaption = LoadString(values.password.empty() ? kStrWillPrompt : kStrAssigned);
    view.accountCaption = values.account.accountNumber.empty()
                              ? LoadString(kStrSelectAccount)
                              : platform::Cp1252ToUtf8(values.account.accountNumber) + "...";
    return view;
}

CFiItem* ResolveSetupBank(CFiList& list, OnlineSetupForm& values) {
    if (values.fiId == 0)
        return nullptr;
    CFiItem* bank = list.FindByFiId(values.fiId);
    if (bank == nullptr)
        values.fiId = 0;
    return bank;
}

OkResult AcceptOnlineSetup(const OnlineSetupForm& values, bool hasBank, Messages& messages) {
    if (!values.enabled)
        return OkResult::Close();
    if (!hasBank) {
        messages.Show(StringMessage(kStrChooseBank));
        return OkResult::Stay(kSetupSelectBank);
    }
    if (values.customerId.empty()) {
        messages.Show(StringMessage(kStrEnterCustomerId));
        return OkResult::Stay(kSetupCustomerId);
    }
    if (values.account.accountNumber.empty()) {
        messages.Show(StringMessage(kStrAssignAccount));
        return OkResult::Stay(kSetupSelectAccount);
    }
    return OkResult::Close();
}

bool RunSelectBank(CFiList& list, OnlineSetupForm& values, MOnlineSetupHost& host) {
    exchange::CFidbClient client;
    bool ok = false;
    {
        const std::unique_ptr<MOnlineProgressWindow> progress =
            host.OpenProgress(kStrDownloadingBankData);
        const ProgressHandOver<CFiList> handOver(list, progress.get());
        ok = list.UpdateFiList(client);
    }
    if (!ok) {
        exchange::ShowOnlineBankingError(client.GetLastError(), {});
        return false;
    }
    CFiItem* chosen = nullptr;
    if (!host.ChooseBank(list, list.FindByFiId(values.fiId), chosen) || chosen == nullptr)
        return false;
    values.fiId = chosen->GetFiId();
    values.bankName = chosen->GetName();
    return true;
}

SelectAccountEnd RunSelectAccount(CFiItem& bank, OnlineSetupForm& values, MOnlineSetupHost& host) {
    std::string password = values.password;
    if (password.empty() && !host.AskPassword(password))
        return SelectAccountEnd::kNoPassword;

    CFiAccountsList accounts;
    bool ok = false;
    std::int32_t error = 0;
    std::string errorText;
    {
        const std::unique_ptr<MOnlineProgressWindow> progress =
            host.OpenProgress(kStrDownloadingBankData);
        const ProgressHandOver<CFiItem> handOver(bank, progress.get());
        if (bank.UpdateProfile(true) != 0)
            return SelectAccountEnd::kProfileFailed;
        if (progress)
            progress->SetStatus(kStrDownloadingAccountData);
        bool useClientUid = false;
        if (!values.clientUid.empty()) {
            useClientUid = true;
        } else if (bank.GetClientUidRequired() != 0) {
            values.clientUid = DigitsFromText(values.customerId);
            useClientUid = true;
        }
        const ProgressHandOver<CFiAccountsList> listHandOver(accounts, progress.get());
        ok = bank.GetAccountList(values.customerId, password, accounts, useClientUid,
                                 values.clientUid, &error, &errorText);
    }
    if (!ok && !IsCancel(error))
        exchange::ShowOnlineBankingError(error, errorText);

    BankAccountIds chosen = values.account;
    if (ok && accounts.GetCount() > 0) {
        const int current = CurrentBankAccountRow(accounts, values.account.accountNumber);
        if (!host.ChooseBankAccount(accounts, current, chosen))
            return SelectAccountEnd::kCancelled;
        values.account = chosen;
        return SelectAccountEnd::kChosen;
    }
    if (!host.EnterBankAccount(chosen))
        return SelectAccountEnd::kCancelled;
    values.account = chosen;
    return SelectAccountEnd::kEntered;
}

}  // namespace tallowmere::ui
