#pragma once
// "Account Info" (dialog 134) apart from its widgets: a new account or the
// properties of an existing one, its icon and, through the online setup
// dialog, its online-banking fields. OK checks what was typed, renames the
// file or makes the new account's path, writes each field through the
// header's setters (each change bit set only when the value changes),
// records the client UID and saves. A new account exists only inside the
// controller until its first save succeeded; the caller then takes it.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/account.h"
#include "ui/logic/convert_currency_logic.h"
#include "ui/logic/dialog_step.h"
#include "ui/logic/messages.h"

namespace tallowmere {
class CAccounts;
}

namespace tallowmere::ui {

inline constexpr int kAccountName = 1000;
inline constexpr int kAccountNumber = 1002;
inline constexpr int kAccountType = 1004;
inline constexpr int kAccountCurrency = 1005;
inline constexpr int kAccountBalance = 1015;
inline constexpr int kAccountIncludeInTotals = 1016;
inline constexpr int kAccountIconFrame = 1017;
inline constexpr int kAccountTransactionCount = 1211;
inline constexpr int kAccountOnlineBalance = 1215;
inline constexpr int kAccountBank = 1654;
inline constexpr int kAccountOnlineSetup = 3;
inline constexpr int kAccountIcon = 4;

// The stored widths of the header's text fields, in characters.
inline constexpr std::size_t kAccountNameWidth = 25;
inline constexpr std::size_t kAccountNumberWidth = 20;
inline constexpr std::size_t kBankNameWidth = 32;
inline constexpr std::size_t kCustomerIdWidth = 32;
inline constexpr std::size_t kRoutingNumberWidth = 9;

inline constexpr int kStringBadAccountNameLength = 167;
inline constexpr int kStringCreditBalanceQuestion = 180;
inline constexpr int kStringAccountSaveFailed = 510;
inline constexpr int kStringAccountExists = 511;
inline constexpr int kStringBadBeginningBalance = 512;
inline constexpr int kStringTooManyCharacters = 3720;
inline constexpr int kStringBankAccountNumberTooLong = 3721;
inline constexpr int kStringBankRoutingNumberTooLong = 3722;

// The type combo's entries: code n is entry n, its text string 213 + n.
inline constexpr int kAccountTypeCount = 8;
inline constexpr int kAccountTypeStringBase = 213;

// What the online setup dialog is given and, on OK, gives back. Texts are
// UTF-8, as the dialogs show them.
struct OnlineSetupValues {
    bool enabled = false;
    std::uint8_t type = 0;  // account type code
    std::string accountNumber;
    std::string customerId;
    std::string password;
    std::string bankText;
    std::string routingNumber;
    std::uint32_t fiId = 0;
    std::string clientUid;
};

// The dialogs the account dialog opens; tests script them.
class AccountInfoSubDialogs {
  public:
    virtual ~AccountInfoSubDialogs() = default;
    // The icon chooser on the current icon; the chosen index, or nothing.
    virtual std::optional<int> ChooseIcon(int currentIcon) = 0;
    // The online setup dialog on values; true on OK with values replaced.
    virtual bool RunOnlineSetup(OnlineSetupValues& values) = 0;
};

// The DDX members. Texts are UTF-8 as the widgets hold them.
struct AccountInfoForm {
    std::string name;
    std::size_t nameLimit = 0;  // characters the name edit takes; 0: no limit
    int typeIndex = -1;         // -1: nothing chosen
    std::string bank;
    std::string accountNumber;
    std::string balanceText;
    std::vector<CurrencyEntry> currencies;
    int currencyIndex = -1;
    bool includeInTotals = true;
    std::uint16_t iconIndex = 2;
    std::string transactionCount;  // "%d"
    std::string onlineBalance;     // "%.02f" of whole units
    // Online banking, shown in no control.
    bool onlineEnabled = false;
    std::string customerId;
    std::string password;
    std::string routingNumber;
    std::uint32_t fiId = 0;
    std::string clientUid;
    // While online banking is on, number, bank and type cannot be edited.
    bool FieldsEditable() const { return !onlineEnabled; }
};

class AccountInfoLogic {
  public:
    // account: null for a new one, whose file goes into folder.
    AccountInfoLogic(CAccounts& data, CAccount* account, std::string folder, Messages& messages,
                     AccountInfoSubDialogs& dialogs);
    ~AccountInfoLogic();
    AccountInfoLogic(const AccountInfoLogic&) = delete;
    AccountInfoLogic& operator=(const AccountInfoLogic&) = delete;

    // The opening values; *focus gets the control to focus (the balance,
    // its text selected, when the name is not empty, else the name).
    AccountInfoForm Open(DialogStep* focus = nullptr);

    // The user chose another type: that type's default icon.
    void OnTypeChosen(AccountInfoForm& form) const;
    // "&Icon...": the chooser on the form's icon.
    void OnChooseIcon(AccountInfoForm& form);
    // "&Online Setup...": the setup dialog on the form's values; on OK they
    // come back unless a text is wider than its field (then a message, and
    // the form stays as it was). True when the form changed.
    bool OnOnlineSetup(AccountInfoForm& form);

    // OK with the pulled form.
    DialogStep Ok(const AccountInfoForm& form);

    // After OK of a new account: the account, saved, not yet in the data
    // set (the caller inserts it). Null otherwise.
    std::unique_ptr<CAccount> TakeNewAccount() { return std::move(newAccount_); }

  private:
    DialogStep Refuse(const MessageRequest& request, int focusId, bool selectAll);
    void ShowSaveFailure(int code);
    void WriteClientUid(const std::string& accountNumber, const std::string& clientUid);

    CAccounts& data_;
    CAccount* account_;
    std::string folder_;
    Messages& messages_;
    AccountInfoSubDialogs& dialogs_;
    std::string openedName_;
    std::string openedClientUid_;
    // The online setup ran to OK and returned the client UID the form holds.
    bool uidFromSetup_ = false;
    std::unique_ptr<CAccount> newAccount_;
};

// Every live currency's symbol and id, in list order.
std::vector<CurrencyEntry> CurrencyEntries(const CAccounts& data);

}  // namespace tallowmere::ui
