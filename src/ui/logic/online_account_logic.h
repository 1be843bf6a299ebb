#pragma once
// Choosing the bank account of an online setup: the account types offered
// for online use, the choice among the accounts the bank reported (dialog
// 155) and the manual entry when it reported none (dialog 158, "Edit
// Account"). Texts are Windows-1252, as the account header keeps them.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "ui/logic/messages.h"
#include "ui/logic/ok_result.h"

namespace tallowmere {
class CAccounts;
class CFiAccountsList;
}  // namespace tallowmere

namespace tallowmere::ui {

inline constexpr int kOnlineAccountType = 1020;
inline constexpr int kOnlineAccountNumber = 1106;
inline constexpr int kOnlineRoutingNumber = 1107;
inline constexpr int kSelectAccountList = 1100;

// The header holds at most this much of each.
inline constexpr int kAccountNumberMaxChars = 20;
inline constexpr int kRoutingNumberMaxChars = 9;

// The account types (string id, type, offered for online use).
struct AccountTypeEntry {
    int stringId;
    std::uint8_t type;
    bool online;
};
inline constexpr std::array<AccountTypeEntry, 8> kAccountTypeTable = {{
    {213, 0, true},
    {214, 1, true},
    {215, 2, false},
    {216, 3, true},
    {217, 4, false},
    {218, 5, false},
    {219, 6, true},
    {220, 7, true},
}};

// The types offered for online use, in table order.
std::vector<std::uint8_t> OnlineAccountTypes();
// The type's name from the table (UTF-8); empty for a type not in it.
std::string AccountTypeName(std::uint8_t type);

// An account as its bank knows it.
struct BankAccountIds {
    std::uint8_t type = 0;
    std::string accountNumber;
    std::string routingNumber;
    bool operator==(const BankAccountIds&) const = default;
};

struct OnlineAccountForm {
    int typeIndex = 0;  // into OnlineAccountTypes(); -1: none
    std::string accountNumber;
    std::string routingNumber;
};

// The form of the manual entry: the account's type selected (the first
// online type when its own is not one).
OnlineAccountForm OpenOnlineAccountInfo(const BankAccountIds& ids);

// OK of the manual entry: an account number (155); a routing number of 9
// digits, which a credit card, whose requests never send it, may leave
// empty (156); a pair other than the one it opened with that no account
// of the data set has already (191). Fills *out when it closes.
OkResult AcceptOnlineAccountInfo(const CAccounts& data, const BankAccountIds& opened,
                                 const OnlineAccountForm& form, Messages& messages,
                                 BankAccountIds& out);

// The row of the bank's list whose number is the setup's account number;
// -1 for none.
int CurrentBankAccountRow(const CFiAccountsList& accounts, const std::string& accountNumber);

// OK of the choice among the bank's accounts: nothing happens without a
// selection; a number or routing id longer than the header holds is
// refused (3647, 3648); another entry than the current one that an account
// of the data set already has is refused (191). Fills *out when it closes.
OkResult AcceptSelectedBankAccount(const CAccounts& data, const CFiAccountsList& accounts,
                                   int selected, int current, Messages& messages,
                                   BankAccountIds& out);

}  // namespace tallowmere::ui
