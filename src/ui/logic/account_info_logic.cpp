#include "ui/logic/account_info_logic.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "exchange/fi_list.h"
#include "model/accounts.h"
#include "model/client_uid_list.h"
#include "model/currency.h"
#include "model/money.h"
#include "platform/text_1252.h"
#include "ui/logic/amount_range.h"

namespace tallowmere::ui {
namespace {

constexpr int kResultAlreadyExists = 183;
constexpr std::uint16_t kNewAccountIcon = 2;

std::string To1252(const std::string& utf8) {
    return platform::Utf8ToCp1252(utf8);
}
std::string ToUtf8(const std::string& ansi) {
    return platform::Cp1252ToUtf8(ansi);
}
// Stored characters: one byte each in Windows-1252.
std::size_t Width(const std::string& utf8) {
    return To1252(utf8).size();
}

// "%.02f" of the value in whole units, always with '.'.
std::string WholeUnitsText(Cents cents) {
    const bool negative = cents < 0;
    const unsigned long long magnitude = negative ? 0ULL - static_cast<unsigned long long>(cents)
                                                  : static_cast<unsigned long long>(cents);
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%s%llu.%02llu", negative ? "-" : "", magnitude / 100,
                  magnitude % 100);
    return buffer;
}

std::uint8_t TypeOfIndex(int index, std::uint8_t fallback) {
    return index >= 0 && index < kAccountTypeCount ? static_cast<std::uint8_t>(index) : fallback;
}

bool IsCreditStyle(std::uint8_t type) {
    return type == kCreditCard || type == kLiability || type == kLineOfCredit;
}

MessageRequest TooManyCharacters(std::size_t limit) {
    return StringMessage(kStringTooManyCharacters, {static_cast<std::int64_t>(limit)});
}

}  // namespace

std::vector<CurrencyEntry> CurrencyEntries(const CAccounts& data) {
    std::vector<CurrencyEntry> entries;
    const CCurrencyList& currencies = data.Currencies();
    auto pos = currencies.GetHeadPosition(false);
    while (pos != CPalmFileList::kNoPosition) {
        const auto* item = dynamic_cast<const CCurrencyItem*>(currencies.GetNextLive(pos, false));
        if (item != nullptr)
            entries.push_back({item->GetCurrencyId(), ToUtf8(item->GetSymbol())});
    }
    return entries;
}

AccountInfoLogic::AccountInfoLogic(CAccounts& data, CAccount* account, std::string folder,
                                   Messages& messages, AccountInfoSubDialogs& dialogs)
    : data_(data),
      account_(account),
      folder_(std::move(folder)),
      messages_(messages),
      dialogs_(dialogs) {}

AccountInfoLogic::~AccountInfoLogic() = default;

AccountInfoForm AccountInfoLogic::Open(DialogStep* focus) {
    AccountInfoForm form;
    form.currencies = CurrencyEntries(data_);
    std::uint8_t type = kChecking;
    std::uint8_t currency = 1;
    if (account_ != nullptr) {
        const AccountHeader& h = account_->Header();
        const std::string headerName = h.GetName();
        form.name = ToUtf8(headerName.empty() ? account_->GetName() : headerName);
        form.nameLimit = kAccountNameWidth;
        type = h.GetType();
        currency = h.GetCurrencyId();
        form.accountNumber = ToUtf8(h.GetAccountNumber());
        form.balanceText = FormatMoney(h.GetOpeningBalance(), kMoneyFull);
        form.includeInTotals = h.GetIncludeInTotals();
        form.iconIndex = h.GetIconIndex();
        form.onlineEnabled = h.GetOnlineEnabled();
        form.customerId = ToUtf8(h.GetCustomerId());
        form.password = ToUtf8(h.GetOnlinePassword());
        form.routingNumber = ToUtf8(h.GetRoutingNumber());
        form.fiId = h.GetFiId();
        // A look-up remembers the number it asked for; an empty one would end
        // up in the file as a pair of nothing.
        if (!h.GetAccountNumber().empty())
            form.clientUid = ToUtf8(ClientUid::Lookup(h.GetAccountNumber()));
        form.bank = ToUtf8(h.GetBankName());
        if (const auto* institutions = dynamic_cast<const CFiList*>(data_.GetInstitutionList())) {
            if (const CFiItem* fi = institutions->FindByFiId(static_cast<std::int32_t>(form.fiId)))
                form.bank = ToUtf8(fi->GetName());
        }
        form.transactionCount = std::to_string(account_->CountTransactions(0));
        form.onlineBalance = WholeUnitsText(account_->GetOnlineBalance());
    } else {
        form.iconIndex = kNewAccountIcon;
        form.includeInTotals = true;
        form.balanceText = "0";
        form.transactionCount = "0";
        form.onlineBalance = WholeUnitsText(0);
    }
    // A type the table does not list (a handheld's, a damaged file's)
    // selects nothing, and OK then keeps it.
    form.typeIndex = type < kAccountTypeCount ? type : -1;
    form.currencyIndex = form.currencies.empty() ? -1 : 0;
    for (std::size_t i = 0; i < form.currencies.size(); ++i) {
        if (form.currencies[i].id == currency) {
            form.currencyIndex = static_cast<int>(i);
            break;
        }
    }
    openedName_ = form.name;
    openedClientUid_ = form.clientUid;
    uidFromSetup_ = false;
    if (focus != nullptr)
        *focus = form.name.empty() ? DialogStep::Stay(kAccountName, false)
                                   : DialogStep::Stay(kAccountBalance, true);
    return form;
}

void AccountInfoLogic::OnTypeChosen(AccountInfoForm& form) const {
    if (form.typeIndex >= 0 && form.typeIndex < kAccountTypeCount)
        form.iconIndex = AccountTypeDefaultIcon(static_cast<std::uint8_t>(form.typeIndex));
}

void AccountInfoLogic::OnChooseIcon(AccountInfoForm& form) {
    if (const std::optional<int> chosen = dialogs_.ChooseIcon(form.iconIndex);
        chosen && *chosen >= 0 && *chosen <= 0xFFFF)
        form.iconIndex = static_cast<std::uint16_t>(*chosen);
}

bool AccountInfoLogic::OnOnlineSetup(AccountInfoForm& form) {
    const std::uint8_t fallbackType =
        account_ != nullptr ? account_->Header().GetType() : static_cast<std::uint8_t>(kChecking);
    OnlineSetupValues values;
    values.enabled = form.onlineEnabled;
    values.type = TypeOfIndex(form.typeIndex, fallbackType);
    values.accountNumber = form.accountNumber;
    values.customerId = form.customerId;
    values.password = form.password;
    values.bankText = form.bank;
    values.routingNumber = form.routingNumber;
    values.fiId = form.fiId;
    values.clientUid = form.clientUid;
    if (!dialogs_.RunOnlineSetup(values))
        return false;
    // The header would cut a longer text without a word, and the bank's
    // requests would then carry another number.
    if (Width(values.accountNumber) > kAccountNumberWidth) {
        messages_.Show(StringMessage(kStringBankAccountNumberTooLong));
        return false;
    }
    if (Width(values.routingNumber) > kRoutingNumberWidth) {
        messages_.Show(StringMessage(kStringBankRoutingNumberTooLong));
        return false;
    }
    if (Width(values.customerId) > kCustomerIdWidth) {
        messages_.Show(TooManyCharacters(kCustomerIdWidth));
        return false;
    }
    form.onlineEnabled = values.enabled;
    if (values.type < kAccountTypeCount)
        form.typeIndex = values.type;
    form.accountNumber = values.accountNumber;
    form.customerId = values.customerId;
    form.password = values.password;
    form.bank = values.bankText;
    form.routingNumber = values.routingNumber;
    form.fiId = values.fiId;
    form.clientUid = values.clientUid;
    uidFromSetup_ = true;
    return true;
}

DialogStep AccountInfoLogic::Refuse(const MessageRequest& request, int focusId, bool selectAll) {
    messages_.Show(request);
    return DialogStep::Stay(focusId, selectAll);
}

void AccountInfoLogic::ShowSaveFailure(int code) {
    messages_.Show(StringMessage(code == kResultAlreadyExists ? kStringAccountExists
                                                              : kStringAccountSaveFailed));
}

void AccountInfoLogic::WriteClientUid(const std::string& accountNumber,
                                      const std::string& clientUid) {
    // An empty UID never replaces a stored one, unless the setup itself
    // emptied the UID this account had.
    if (clientUid.empty() && !(uidFromSetup_ && !openedClientUid_.empty()))
        return;
    ClientUid::Set(accountNumber, clientUid);
    if (const int r = ClientUid::Save(); r != 0)
        ShowSaveFailure(r);
}

DialogStep AccountInfoLogic::Ok(const AccountInfoForm& form) {
    // What the framework checks as it takes the values, in control order.
    if (form.FieldsEditable() && Width(form.bank) > kBankNameWidth)
        return Refuse(TooManyCharacters(kBankNameWidth), kAccountBank, true);
    if (Width(form.accountNumber) > kAccountNumberWidth)
        return Refuse(TooManyCharacters(kAccountNumberWidth), kAccountNumber, true);

    const std::string balanceText = To1252(form.balanceText);
    const Cents balance = ParseMoney(balanceText);
    if (!IsNumericText(balanceText) || !InAmountRange(balance))
        return Refuse(StringMessage(kStringBadBeginningBalance), kAccountBalance, true);
    const std::string name = To1252(form.name);
    if (name.empty() || name.size() > kAccountNameWidth)
        return Refuse(StringMessage(kStringBadAccountNameLength), kAccountName, true);

    const std::uint8_t type =
        TypeOfIndex(form.typeIndex, account_ != nullptr ? account_->Header().GetType()
                                                        : static_cast<std::uint8_t>(kChecking));
    if (IsCreditStyle(type) && balance > 0) {
        const Answer answer = messages_.Show(StringMessage(
            kStringCreditBalanceQuestion, {}, Buttons::kYesNo, Icon::kQuestion, Answer::kYes));
        if (answer != Answer::kYes)
            return DialogStep::Stay(kAccountBalance, true);
    }

    CAccount* account = account_;
    bool created = false;
    if (account != nullptr) {
        if (form.name != openedName_) {
            if (const int r = account->Rename(name); r != 0) {
                ShowSaveFailure(r);
                return DialogStep::Stay(kAccountName, true);
            }
            openedName_ = form.name;
        }
    } else {
        auto fresh = std::make_unique<CAccount>(&data_);
        fresh->ResetHeader();
        fresh->SetCipher(data_.GetCipher());
        if (const int r = fresh->MakeFilePath(folder_, name); r != 0) {
            ShowSaveFailure(r);
            return DialogStep::Stay(kAccountName, true);
        }
        fresh->SetDefaultColorForType(type);
        newAccount_ = std::move(fresh);
        account = newAccount_.get();
        created = true;
    }

    AccountHeader& h = account->Header();
    const bool wasOnline = h.GetOnlineEnabled();
    h.SetType(type);
    if (form.currencyIndex >= 0 &&
        static_cast<std::size_t>(form.currencyIndex) < form.currencies.size())
        h.SetCurrencyId(form.currencies[static_cast<std::size_t>(form.currencyIndex)].id);
    else if (created)
        h.SetCurrencyId(1);
    if (!form.onlineEnabled)
        h.SetBankName(To1252(form.bank));
    h.SetOpeningBalance(balance);
    h.SetIconIndex(form.iconIndex);
    h.SetIncludeInTotals(form.includeInTotals);
    h.SetName(name);
    account->RecalcBalances();

    const std::string number = To1252(form.accountNumber);
    if (!wasOnline || form.onlineEnabled) {
        h.SetOnlineEnabled(form.onlineEnabled);
        h.SetAccountNumber(number);
        h.SetCustomerId(To1252(form.customerId));
        h.SetOnlinePassword(To1252(form.password));
        h.SetRoutingNumber(To1252(form.routingNumber));
        h.SetFiId(form.fiId);
        WriteClientUid(number, To1252(form.clientUid));
    } else {
        // Its own save is repeated below, which reports a failure.
        account->DisableOnlineBanking();
        // The number stays an ordinary offline field the user may keep.
        h.SetAccountNumber(number);
    }

    if (const int r = account->Save(); r != 0) {
        ShowSaveFailure(r);
        if (created) {
            // Nothing of the new account may stay behind: the folder had no
            // file of that name when its path was made.
            std::error_code ec;
            std::filesystem::remove(account->GetPath(), ec);
            newAccount_.reset();
        }
        return DialogStep::Stay(kAccountName, false);
    }
    return DialogStep::Close(1);
}

}  // namespace tallowmere::ui
