#include "ui/logic/scheduled_list_logic.h"

#include "model/accounts.h"
#include "model/transaction_type.h"
#include "platform/text_1252.h"
#include "ui/logic/scheduled_item_logic.h"

namespace tallowmere::ui {

ScheduledListLogic::ScheduledListLogic(CAccounts& data, Messages& messages,
                                       ScheduledItemEditor& editor)
    : data_(data), messages_(messages), editor_(editor) {}

int ScheduledListLogic::Count() const {
    return static_cast<int>(data_.Scheduled().GetCount(false));
}

CScheduledItem* ScheduledListLogic::ItemAt(int row) const {
    if (row < 0 || row >= Count())
        return nullptr;
    return data_.Scheduled().GetItemAt(static_cast<std::size_t>(row), false);
}

int ScheduledListLogic::RowOf(const CScheduledItem* item) const {
    for (int row = 0; row < Count(); ++row) {
        if (ItemAt(row) == item)
            return row;
    }
    return -1;
}

int ScheduledListLogic::New() {
    // A scheduled transaction belongs to an account.
    if (data_.GetAccountCount() == 0) {
        messages_.Show(StringMessage(kStringNoScheduleAccount));
        return -1;
    }
    std::unique_ptr<CScheduledItem> created;
    if (!editor_.Edit(nullptr, &created) || created == nullptr)
        return -1;
    const CScheduledItem* item = created.get();
    data_.Scheduled().InsertSorted(std::move(created));
    return RowOf(item);
}

int ScheduledListLogic::Edit(int row) {
    CScheduledItem* item = ItemAt(row);
    if (item == nullptr || !editor_.Edit(item, nullptr))
        return -1;
    // A new payee belongs elsewhere in the list's order.
    data_.Scheduled().ReplaceItem(item);
    return RowOf(item);
}

bool ScheduledListLogic::Delete(int row) {
    CScheduledItem* item = ItemAt(row);
    if (item == nullptr)
        return false;
    const Answer answer = messages_.Show(
        StringMessage(kStringDeleteScheduled, {}, Buttons::kYesNo, Icon::kQuestion, Answer::kNo));
    if (answer != Answer::kYes)
        return false;
    data_.Scheduled().DeleteItem(item);
    return true;
}

CellText ScheduledCellText(const CAccounts& data, const CScheduledItem& item, int columnId,
                           bool decimals) {
    switch (columnId) {
        case kScheduledColumnPayee:
            return {platform::Cp1252ToUtf8(item.GetPayee())};
        case kScheduledColumnFrequency: {
            const int frequency = item.GetFrequency();
            if (frequency < 0 || frequency >= kFrequencyCount)
                return {};
            return {platform::Cp1252ToUtf8(LoadString1252(kStringFrequencyBase + frequency))};
        }
        case kScheduledColumnAmount: {
            const CTransaction& t = item.Template();
            const Cents amount =
                IsOutflowTypeId(t.GetTypeId()) ? SaturatingNegate(t.GetAmount()) : t.GetAmount();
            const CAccount* account = data.FindAccountById(item.GetAccountId());
            const std::string symbol =
                account != nullptr ? account->GetCurrencySymbol() : data.GetHomeCurrencySymbol();
            return MoneyCellText(symbol, amount, decimals);
        }
        default:
            return {};
    }
}

}  // namespace tallowmere::ui
