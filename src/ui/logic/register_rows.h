#pragma once
// The rows of one register as a list shows them: which transactions pass
// the filter, in register order, and the running balance at each. Counting
// the rows builds both at once, so painting a row, finding it and walking
// every row for a printout or a column width cost one step per row instead
// of a walk of the register each. Only positions and sums are kept, never
// copies of the records.
//
// Whoever changes the register (an edit, a sort, a status) counts the rows
// again before they are shown; until then a row whose position the register
// no longer has reads as none.
#include <cstdint>
#include <vector>

#include "model/account.h"
#include "model/money.h"
#include "model/record_id.h"

namespace tallowmere::ui {

class RegisterRows {
  public:
    // The account's rows under a status filter (as CTransaction::MatchesStatus,
    // 0 all); a null account has none.
    void Build(const CAccount* account, int filter);
    void Clear() { Build(nullptr, 0); }

    int Count() const { return static_cast<int>(positions_.size()); }
    const CAccount* Account() const { return account_; }
    int Filter() const { return filter_; }

    // The transaction of a row; null out of range.
    CTransaction* At(int row) const;
    // The running balance at a row, equal to the account's
    // GetRunningBalance(filter, row) when the rows were counted; 0 out of
    // range.
    Cents RunningBalance(int row) const;
    // The row of the transaction with this id; -1 when none.
    int IndexOfId(const RecordId& id) const;

  private:
    const CAccount* account_ = nullptr;
    int filter_ = 0;
    std::vector<std::uint32_t> positions_;
    std::vector<Cents> balances_;
};

}  // namespace tallowmere::ui
