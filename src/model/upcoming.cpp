#include "model/upcoming.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "model/scheduled.h"

namespace tallowmere {

CUpcomingTrans::CUpcomingTrans(PalmTime dueDate, CScheduledItem* item)
    : CTransaction(ForLoad{}), dueDate_(dueDate), item_(item) {}

bool CUpcomingTrans::IsNextDue() const {
    return item_ != nullptr && item_->GetNextDue() == dueDate_;
}

namespace {
bool EarlierDue(const std::unique_ptr<CUpcomingTrans>& a,
                const std::unique_ptr<CUpcomingTrans>& b) {
    return a->GetDueDate() < b->GetDueDate();
}
}  // namespace

std::size_t CUpcomingList::InsertByDate(std::unique_ptr<CUpcomingTrans> entry) {
    if (!entry)
        return entries_.size();
    auto at = std::lower_bound(entries_.begin(), entries_.end(), entry, EarlierDue);
    const auto index = static_cast<std::size_t>(at - entries_.begin());
    entries_.insert(at, std::move(entry));
    return index;
}

void CUpcomingList::InsertAllByDate(std::vector<std::unique_ptr<CUpcomingTrans>> entries) {
    std::erase(entries, nullptr);
    // One by one, each entry would stand before every earlier one of its date:
    // newest first within a date, and new entries before the list's own.
    std::reverse(entries.begin(), entries.end());
    std::stable_sort(entries.begin(), entries.end(), EarlierDue);
    std::vector<std::unique_ptr<CUpcomingTrans>> merged;
    merged.reserve(entries.size() + entries_.size());
    std::merge(std::make_move_iterator(entries.begin()), std::make_move_iterator(entries.end()),
               std::make_move_iterator(entries_.begin()), std::make_move_iterator(entries_.end()),
               std::back_inserter(merged), EarlierDue);
    entries_ = std::move(merged);
}

CUpcomingTrans* CUpcomingList::GetAt(std::size_t n) const {
    return n < entries_.size() ? entries_[n].get() : nullptr;
}

}  // namespace tallowmere
