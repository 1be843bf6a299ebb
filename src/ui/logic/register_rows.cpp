#include "ui/logic/register_rows.h"

#include <cstdint>

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
    Clear();
    if (account == nullptr)
        return;
    for (const auto& t : account->Transactions()) {
        if (t->MatchesStatus(filter))
            rows_.push_back(t.get());
    }
    balances_.resize(rows_.size());
    // The filters that can hold every entry since the opening start from it.
    Cents sum =
        (filter == 0 || filter == 1 || filter == 3) ? account->Header().GetOpeningBalance() : 0;
    const auto take = [&](std::size_t i) {
        if (!IsVoid(*rows_[i]))
            sum = Add(sum, rows_[i]->GetSignedAmount());
        balances_[i] = sum;
    };
    if (account->GetSortAscending()) {
        for (std::size_t i = 0; i < rows_.size(); ++i)
            take(i);
    } else {
        // Newest on top: a row's balance sums from the bottom row up to it.
        for (std::size_t i = rows_.size(); i-- > 0;)
            take(i);
    }
}

void RegisterRows::Clear() {
    rows_.clear();
    balances_.clear();
    rows_.shrink_to_fit();
    balances_.shrink_to_fit();
}

const CTransaction* RegisterRows::At(std::size_t row) const {
    return row < rows_.size() ? rows_[row] : nullptr;
}

Cents RegisterRows::BalanceAt(std::size_t row) const {
    return row < balances_.size() ? balances_[row] : 0;
}

}  // namespace tallowmere::ui
