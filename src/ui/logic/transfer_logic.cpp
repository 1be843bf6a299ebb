#include "ui/logic/transfer_logic.h"

#include <cstddef>

#include "model/accounts.h"
#include "platform/text_1252.h"
#include "ui/logic/amount_range.h"
#include "ui/logic/file_error_message.h"

namespace tallowmere::ui {
namespace {

constexpr int kStringSameAccount = 145;
constexpr int kStringBadAmount = 146;
constexpr int kStringChooseAccounts = 3410;

// The account of a combo entry, if the entry is one and its account is
// still in the data set.
CAccount* AccountAt(CAccounts& data, const TransferForm& form, int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= form.accountIds.size())
        return nullptr;
    return data.FindAccountById(form.accountIds[static_cast<std::size_t>(index)]);
}

}  // namespace

TransferForm OpenTransfer(const CAccounts& data, const CAccount* current) {
    TransferForm form;
    form.day = TodayBound(1);
    for (std::size_t i = 0; i < data.GetAccountCount(); ++i) {
        const CAccount* account = data.GetAccountAt(i);
        form.accountNames.push_back(platform::Cp1252ToUtf8(account->GetName()));
        form.accountIds.push_back(account->Header().GetId());
        const int index = static_cast<int>(i);
        if (account == current)
            form.fromIndex = index;
        else if (form.toIndex < 0)
            form.toIndex = index;
    }
    // With one account both combos show it, and OK says why it cannot be.
    if (form.toIndex < 0 && !form.accountIds.empty())
        form.toIndex = 0;
    return form;
}

OkResult AcceptTransfer(CAccounts& data, const TransferForm& form, Messages& messages,
                        TransferValues& values) {
    CAccount* from = AccountAt(data, form, form.fromIndex);
    CAccount* to = AccountAt(data, form, form.toIndex);
    if (from == nullptr || to == nullptr) {
        messages.Show(StringMessage(kStringChooseAccounts));
        return OkResult::Stay(from == nullptr ? kTransferFrom : kTransferTo);
    }
    if (from == to) {
        messages.Show(StringMessage(kStringSameAccount));
        return OkResult::Stay(kTransferTo);
    }
    const Cents amount = ParseMoney(form.amountText);
    if (!InAmountRange(amount)) {
        messages.Show(StringMessage(kStringBadAmount));
        return OkResult::Stay(kTransferAmount);
    }
    values.date = PalmTimeDayBound(form.day, 1);
    values.from = from;
    values.to = to;
    values.amount = amount;
    values.cleared = form.cleared;
    return OkResult::Close();
}

int BookTransfer(CAccounts& data, const TransferValues& values, const CAccount* current,
                 Messages& messages, CTransaction** created) {
    if (created != nullptr)
        *created = nullptr;
    if (values.from == nullptr || values.to == nullptr)
        return -1;
    const int r = data.CreateTransfer(values.date, *values.from, *values.to, values.amount,
                                      values.cleared, current, created);
    if (r != 0)
        ShowFileErrorMessage(messages, r);
    return r;
}

}  // namespace tallowmere::ui
