#include "ui/logic/online_account_logic.h"

#include <algorithm>

#include "exchange/fi_accounts_list.h"
#include "model/accounts.h"
#include "model/string_table.h"

namespace tallowmere::ui {
namespace {

constexpr int kStrNumberEmpty = 155;
constexpr int kStrRoutingNotNine = 156;
constexpr int kStrAccountInUse = 191;
constexpr int kStrBankNumberTooLong = 3647;
constexpr int kStrBankRoutingTooLong = 3648;
constexpr std::uint8_t kCreditCardType = 3;

bool IsNineDigits(const std::string& text) {
    return text.size() == static_cast<std::size_t>(kRoutingNumberMaxChars) &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

std::vector<std::uint8_t> OnlineAccountTypes() {
    std::vector<std::uint8_t> types;
    for (const AccountTypeEntry& e : kAccountTypeTable) {
        if (e.online)
            types.push_back(e.type);
    }
    return types;
}

std::string AccountTypeName(std::uint8_t type) {
    for (const AccountTypeEntry& e : kAccountTypeTable) {
        if (e.type == type)
            return LoadString(e.stringId);
    }
    return {};
}

OnlineAccountForm OpenOnlineAccountInfo(const BankAccountIds& ids) {
    OnlineAccountForm form;
    const std::vector<std::uint8_t> types = OnlineAccountTypes();
    const auto found = std::find(types.begin(), types.end(), ids.type);
    form.typeIndex = found != types.end() ? static_cast<int>(found - types.begin()) : 0;
    form.accountNumber = ids.accountNumber;
    form.routingNumber = ids.routingNumber;
    return form;
}

OkResult AcceptOnlineAccountInfo(const CAccounts& data, const BankAccountIds& opened,
                                 const OnlineAccountForm& form, Messages& messages,
                                 BankAccountIds& out) {
    const std::vector<std::uint8_t> types = OnlineAccountTypes();
    const bool typeChosen =
        form.typeIndex >= 0 && static_cast<std::size_t>(form.typeIndex) < types.size();
    const std::uint8_t type =
        typeChosen ? types[static_cast<std::size_t>(form.typeIndex)] : opened.type;
    if (form.accountNumber.empty()) {
        messages.Show(StringMessage(kStrNumberEmpty));
        return OkResult::Stay(kOnlineAccountNumber);
    }
    const bool card = type == kCreditCardType;
    if (!(card && form.routingNumber.empty()) && !IsNineDigits(form.routingNumber)) {
        messages.Show(StringMessage(kStrRoutingNotNine));
        return OkResult::Stay(kOnlineRoutingNumber);
    }
    const bool samePair =
        form.accountNumber == opened.accountNumber && form.routingNumber == opened.routingNumber;
    if (!samePair && data.HasAccountWithBankIds(form.routingNumber, form.accountNumber)) {
        messages.Show(StringMessage(kStrAccountInUse));
        return OkResult::Stay(kOnlineAccountNumber);
    }
    out = {type, form.accountNumber, form.routingNumber};
    return OkResult::Close();
}

int CurrentBankAccountRow(const CFiAccountsList& accounts, const std::string& accountNumber) {
    return accounts.IndexOf(accounts.FindByNumber(accountNumber));
}

OkResult AcceptSelectedBankAccount(const CAccounts& data, const CFiAccountsList& accounts,
                                   int selected, int current, Messages& messages,
                                   BankAccountIds& out) {
    const CFiAccountInfo* info =
        selected >= 0 ? accounts.GetAt(static_cast<std::size_t>(selected)) : nullptr;
    if (info == nullptr)
        return OkResult::Stay(kSelectAccountList);
    if (info->GetAccountNumber().size() > static_cast<std::size_t>(kAccountNumberMaxChars)) {
        messages.Show(StringMessage(kStrBankNumberTooLong));
        return OkResult::Stay(kSelectAccountList);
    }
    if (info->GetRoutingId().size() > static_cast<std::size_t>(kRoutingNumberMaxChars)) {
        messages.Show(StringMessage(kStrBankRoutingTooLong));
        return OkResult::Stay(kSelectAccountList);
    }
    if (selected != current &&
        data.HasAccountWithBankIds(info->GetRoutingId(), info->GetAccountNumber())) {
        messages.Show(StringMessage(kStrAccountInUse));
        return OkResult::Stay(kSelectAccountList);
    }
    out = {info->GetType(), info->GetAccountNumber(), info->GetRoutingId()};
    return OkResult::Close();
}

}  // namespace tallowmere::ui
