#include "ui/logic/register_rows.h"

#include <cstddef>

namespace tallowmere::ui {

namespace {

// The register's own sums wrap rather than overflow; so do these, so that
// a balance here is always the one the account computes.
Cents Wrapped(Cents a, Cents b) {
    return static_cast<Cents>(static_cast<std::uint64_t>(a) + static_cast<std::uint64_t>(b));
}

}  // namespace

void RegisterRows::Build(const CAccount* account, int filter) {
    account_ = account;
    filter_ = filter;
    positions_.clear();
    balances_.clear();
    if (account == nullptr)
        return;
    const TransactionArray& all = account->Transactions();
    positions_.reserve(all.size());
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (all[i]->MatchesStatus(filter))
            positions_.push_back(static_cast<std::uint32_t>(i));
    }
    // The register stands in display order: ascending sums from the top row
    // down, descending (newest on top) from the bottom row up. Void rows
    // take a place but add nothing.
    const Cents start =
        (filter == 0 || filter == 1 || filter == 3) ? account->Header().GetOpeningBalance() : 0;
    balances_.resize(positions_.size());
    Cents sum = start;
    const auto add = [&](std::size_t row) {
        const CTransaction& t = *all[positions_[row]];
        if (t.GetStatus() < kStatusVoid)
            sum = Wrapped(sum, t.GetSignedAmount());
        balances_[row] = sum;
    };
    if (account->GetSortAscending()) {
        for (std::size_t row = 0; row < positions_.size(); ++row)
            add(row);
    } else {
        for (std::size_t row = positions_.size(); row-- > 0;)
            add(row);
    }
}

CTransaction* RegisterRows::At(int row) const {
    if (account_ == nullptr || row < 0 || row >= Count())
        return nullptr;
    const TransactionArray& all = account_->Transactions();
    const std::uint32_t position = positions_[static_cast<std::size_t>(row)];
    return position < all.size() ? all[position].get() : nullptr;
}

Cents RegisterRows::RunningBalance(int row) const {
    if (row < 0 || row >= Count())
        return 0;
    return balances_[static_cast<std::size_t>(row)];
}

int RegisterRows::IndexOfId(const RecordId& id) const {
    for (int row = 0; row < Count(); ++row) {
        const CTransaction* t = At(row);
        if (t != nullptr && t->GetId() == id)
            return row;
    }
    return -1;
}

}  // namespace tallowmere::ui
