#include "ui/logic/register_rows.h"

#include "model/account.h"
#include "model/transaction.h"

namespace tallowmere::ui {
namespace {

// The account's balances wrap rather than overflow; the same sums here.
Cents Add(Cents a, Cents b) {
    return static_cast<Cents>(static_cast<std::uint64_t>(a) + static_cast<std::uint64_t>(b));
}

bool IsVoid(const CTransaction& t) {
    return t.GetStatus() >= kStatusVoid;
}

}  // namespace

void RegisterRows::Build(const CAccount* account, int filter) {
    positions_.clear();
    balances_.clear();
    account_ = account;
    filter_ = filter;
    if (account == nullptr)
        return;
    const TransactionArray& all = account->Transactions();
    positions_.reserve(all.size());
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (all[i]->MatchesStatus(filter))
            positions_.push_back(static_cast<std::uint32_t>(i));
    }
    balances_.resize(positions_.size());
    // The filters that can hold every entry since the opening start from it.
    Cents sum =
        (filter == 0 || filter == 1 || filter == 3) ? account->Header().GetOpeningBalance() : 0;
    const auto take = [&](std::size_t row) {
        const CTransaction& t = *all[positions_[row]];
        if (!IsVoid(t))
            sum = Add(sum, t.GetSignedAmount());
        balances_[row] = sum;
    };
    if (account->GetSortAscending()) {
        for (std::size_t row = 0; row < positions_.size(); ++row)
            take(row);
    } else {
        // Newest on top: a row's balance sums from the bottom row up to it.
        for (std::size_t row = positions_.size(); row-- > 0;)
            take(row);
    }
}

void RegisterRows::Clear() {
    account_ = nullptr;
    filter_ = 0;
    positions_.clear();
    balances_.clear();
    positions_.shrink_to_fit();
    balances_.shrink_to_fit();
}

CTransaction* RegisterRows::At(std::size_t row) const {
    if (account_ == nullptr || row >= positions_.size())
        return nullptr;
    const TransactionArray& all = account_->Transactions();
    const std::uint32_t position = positions_[row];
    return position < all.size() ? all[position].get() : nullptr;
}

Cents RegisterRows::BalanceAt(std::size_t row) const {
    return row < balances_.size() ? balances_[row] : 0;
}

int RegisterRows::IndexOfId(const RecordId& id) const {
    for (std::size_t row = 0; row < positions_.size(); ++row) {
        const CTransaction* t = At(row);
        if (t != nullptr && t->GetId() == id)
            return static_cast<int>(row);
    }
    return -1;
}

}  // namespace tallowmere::ui
