#pragma once
// The rows of one register under a status filter, each with its running
// balance, found in one pass over the account. A list or a printout asks for
// rows by index many times; the account's own look-ups walk the register on
// every call. Only positions and sums are kept, never copies of the records.
//
// Whoever changes the register (an edit, a sort, a status) builds the rows
// again before they are used; until then a row whose position the register
// no longer has reads as none.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/money.h"
#include "model/record_id.h"

namespace tallowmere {
class CAccount;
class CTransaction;
}  // namespace tallowmere

namespace tallowmere::ui {

class RegisterRows {
  public:
    // The account's transactions that pass filter (as CAccount's
    // CountTransactions), in register order, with the balance that
    // CAccount::GetRunningBalance gives each. A null account has no rows.
    void Build(const CAccount* account, int filter);
    void Clear();

    std::size_t Count() const { return positions_.size(); }
    const CAccount* Account() const { return account_; }
    int Filter() const { return filter_; }
    // Null for a row outside the count.
    CTransaction* At(std::size_t row) const;
    // 0 for a row outside the count.
    Cents BalanceAt(std::size_t row) const;
    // The row of the transaction with this id; -1 when none.
    int IndexOfId(const RecordId& id) const;

  private:
    const CAccount* account_ = nullptr;
    int filter_ = 0;
    std::vector<std::uint32_t> positions_;
    std::vector<Cents> balances_;
};

}  // namespace tallowmere::ui
