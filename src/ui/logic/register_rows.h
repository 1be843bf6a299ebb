#pragma once
// The rows of one register under a status filter, each with its running
// balance, found in one pass over the account. A list or a printout asks for
// rows by index many times; the account's own look-ups walk the register on
// every call. The rows point into the account: rebuild after it changes.
#include <cstddef>
#include <vector>

#include "model/money.h"

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

    std::size_t Count() const { return rows_.size(); }
    // Null for a row outside the count.
    const CTransaction* At(std::size_t row) const;
    // 0 for a row outside the count.
    Cents BalanceAt(std::size_t row) const;

  private:
    std::vector<const CTransaction*> rows_;
    std::vector<Cents> balances_;
};

}  // namespace tallowmere::ui
