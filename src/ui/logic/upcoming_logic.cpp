#include "ui/logic/upcoming_logic.h"

#include "model/accounts.h"
#include "model/preferences.h"
#include "model/scheduled.h"
#include "model/transaction_type.h"
#include "platform/text_1252.h"
#include "ui/logic/file_error_message.h"

namespace tallowmere::ui {

UpcomingLogic::UpcomingLogic(DataSetSource data, Messages& messages,
                             TransactionDialogRunner& runner, UpcomingViewHost* host)
    : data_(std::move(data)), messages_(messages), runner_(runner), host_(host) {}

void UpcomingLogic::Open() {
    const std::uint32_t stored = GetPrefUpcomingThroughMode();
    mode_ = stored < kThruEntries.size() ? static_cast<int>(stored) : kDefaultThroughMode;
    Rebuild();
}

void UpcomingLogic::ChooseThroughMode(int mode) {
    if (mode < 0 || static_cast<std::size_t>(mode) >= kThruEntries.size())
        return;
    mode_ = mode;
    Rebuild();
}

void UpcomingLogic::Done() const {
    SetPrefUpcomingThroughMode(static_cast<std::uint32_t>(mode_));
}

std::size_t UpcomingLogic::Build(CUpcomingList& list) const {
    list.Clear();
    CAccounts* data = data_ ? data_() : nullptr;
    if (data == nullptr)
        return 0;
    return data->Scheduled().BuildUpcoming(kAllAccountsId, mode_, list);
}

std::size_t UpcomingLogic::Rebuild() {
    rows_.clear();
    CUpcomingList list;
    Build(list);
    const CAccounts* data = data_ ? data_() : nullptr;
    for (std::size_t n = 0; n < list.GetCount(); ++n) {
        const CUpcomingTrans& entry = *list.GetAt(n);
        const CScheduledItem& item = *entry.GetItem();
        const CTransaction& t = item.Template();
        const Cents amount = IsOutflowTypeId(t.GetTypeId()) ? -t.GetAmount() : t.GetAmount();
        const CAccount* account = data->FindAccountById(item.GetAccountId());
        const std::string symbol =
            account != nullptr ? account->GetCurrencySymbol() : data->GetHomeCurrencySymbol();
        rows_.push_back(
            {item.GetId(), entry.GetDueDate(),
             platform::Cp1252ToUtf8(FormatLocaleDate(entry.GetDueDate(), kDateShortDate)),
             platform::Cp1252ToUtf8(item.GetPayee()), MoneyCellText(symbol, amount, true)});
    }
    return rows_.size();
}

CellText UpcomingLogic::CellAt(std::size_t row, int columnId) const {
    if (row >= rows_.size())
        return {};
    const Row& r = rows_[row];
    switch (columnId) {
        case kUpcomingColumnDate:
            return {r.date};
        case kUpcomingColumnPayee:
            return {r.payee};
        case kUpcomingColumnAmount:
            return r.amount;
        default:
            return {};
    }
}

PalmTime UpcomingLogic::DueDateAt(std::size_t row) const {
    return row < rows_.size() ? rows_[row].due : 0;
}

RecordId UpcomingLogic::ScheduleAt(std::size_t row) const {
    return row < rows_.size() ? rows_[row].item : kNoneId;
}

const CUpcomingTrans* UpcomingLogic::Find(CUpcomingList& list, std::size_t row) const {
    if (row >= rows_.size())
        return nullptr;
    const Row& wanted = rows_[row];
    Build(list);
    for (std::size_t n = 0; n < list.GetCount(); ++n) {
        const CUpcomingTrans* entry = list.GetAt(n);
        if (entry->GetDueDate() == wanted.due && entry->GetItem()->GetId() == wanted.item)
            return entry;
    }
    return nullptr;
}

bool UpcomingLogic::RefusedOutOfOrder(const CUpcomingTrans& entry) {
    if (entry.IsNextDue())
        return false;
    messages_.Show(StringMessage(kStringOutOfOrder));
    return true;
}

void UpcomingLogic::Refresh(const RecordId& account) {
    // Also after a failure: a posting whose schedule could not be saved
    // stays in the register.
    CAccounts* data = data_ ? data_() : nullptr;
    if (host_ != nullptr && data != nullptr && data->FindAccountById(account) != nullptr)
        host_->RefreshForAccount(account);
}

void UpcomingLogic::Record(std::size_t row) {
    CUpcomingList list;
    const CUpcomingTrans* entry = Find(list, row);
    if (entry != nullptr && !RefusedOutOfOrder(*entry)) {
        const RecordId account = entry->GetItem()->GetAccountId();
        // -1 when the item's account is gone; a failed save takes the
        // posting back, so the occurrence stays listed.
        const int r = data_()->PostScheduledTransaction(*entry);
        if (r != 0)
            ShowFileErrorMessage(messages_, r);
        Refresh(account);
    }
    Rebuild();
}

void UpcomingLogic::RecordAll() {
    CUpcomingList list;
    if (Build(list) > 0) {
        CAccounts& data = *data_();
        for (std::size_t n = 0; n < list.GetCount(); ++n) {
            const CUpcomingTrans& entry = *list.GetAt(n);
            const RecordId account = entry.GetItem()->GetAccountId();
            const int r = data.PostScheduledTransaction(entry);
            if (r != 0) {
                ShowFileErrorMessage(messages_, r);
                Refresh(account);
                break;
            }
            Refresh(account);
        }
    }
    Rebuild();
}

void UpcomingLogic::Edit(std::size_t row) {
    CUpcomingList list;
    const CUpcomingTrans* entry = Find(list, row);
    if (entry == nullptr || RefusedOutOfOrder(*entry)) {
        Rebuild();
        return;
    }
    const RecordId accountId = entry->GetItem()->GetAccountId();
    CAccount* account = data_()->FindAccountById(accountId);
    if (account == nullptr) {
        // The schedule's account is gone: nothing to record into.
        ShowFileErrorMessage(messages_, -1);
        Rebuild();
        return;
    }
    const std::unique_ptr<CTransaction> occurrence =
        MakeOccurrence(*entry->GetItem(), entry->GetDueDate());
    const TransactionDialogOutcome outcome = runner_.RecordTransaction(*account, *occurrence);
    // Advanced only once the entered transaction is in its file: otherwise
    // the occurrence stays offered.
    if (outcome.code == 1 && outcome.saved) {
        // Found again: the schedule may have changed while the dialog was open.
        CUpcomingList again;
        if (const CUpcomingTrans* still = Find(again, row)) {
            const int r = data_()->AdvanceScheduled(*still);
            if (r != 0)
                ShowFileErrorMessage(messages_, r);
        }
    }
    if (outcome.code == 1)
        Refresh(accountId);
    Rebuild();
}

void UpcomingLogic::Skip(std::size_t row) {
    CUpcomingList list;
    const CUpcomingTrans* entry = Find(list, row);
    if (entry != nullptr && !RefusedOutOfOrder(*entry)) {
        const int r = data_()->AdvanceScheduled(*entry);
        if (r != 0)
            ShowFileErrorMessage(messages_, r);
    }
    Rebuild();
}

}  // namespace tallowmere::ui
