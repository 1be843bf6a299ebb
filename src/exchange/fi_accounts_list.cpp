#include "exchange/fi_accounts_list.h"

#include <array>
#include <new>
#include <string>
#include <utility>

#include "model/account_header.h"

namespace tallowmere {
namespace {

struct TypeName {
    std::uint8_t type;
    std::string_view keyword;
};

constexpr std::array<TypeName, 4> kTypeNames = {{
    {kChecking, "CHECKING"},
    {kSavings, "SAVINGS"},
    {kMoneyMarket, "MONEYMRKT"},
    {kLineOfCredit, "CREDITLINE"},
}};

// Out of memory, as the account list answers it.
constexpr std::int32_t kNoMemory = 8;

}  // namespace

std::string_view OfxAccountTypeName(std::uint8_t type) {
    for (const TypeName& t : kTypeNames) {
        if (t.type == type)
            return t.keyword;
    }
    return {};
}

std::int32_t CFiAccountsList::Append(std::uint8_t type, std::string_view number,
                                     std::string_view routingId) {
    try {
        items_.push_back(std::make_unique<CFiAccountInfo>(type, number, routingId));
    } catch (const std::bad_alloc&) {
        return kNoMemory;
    }
    return 0;
}

std::int32_t CFiAccountsList::OnBankAccount(std::string_view bankId, std::string_view accountId,
                                            std::string_view accountType) {
    for (const TypeName& t : kTypeNames) {
        if (t.keyword == accountType)
            return Append(t.type, accountId, bankId);
    }
    return exchange::kOfxErrorMalformed;
}

std::int32_t CFiAccountsList::OnCreditCardAccount(std::string_view accountId) {
    return Append(kCreditCard, accountId, {});
}

const CFiAccountInfo* CFiAccountsList::FindByNumber(std::string_view number) const {
    for (const auto& item : items_) {
        if (item->GetAccountNumber() == number)
            return item.get();
    }
    return nullptr;
}

int CFiAccountsList::IndexOf(const CFiAccountInfo* info) const {
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (items_[i].get() == info)
            return static_cast<int>(i);
    }
    return -1;
}

}  // namespace tallowmere
