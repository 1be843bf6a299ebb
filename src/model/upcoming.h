#pragma once
// Upcoming occurrences of scheduled transactions, as the upcoming dialog and
// the automatic entry see them: one entry per occurrence, ordered by due date.
#include <cstddef>
#include <memory>
#include <vector>

#include "model/palm_time.h"
#include "model/transaction.h"

namespace tallowmere {

class CScheduledItem;

class CUpcomingTrans : public CTransaction {
  public:
    // A zeroed transaction: a catch-up can make thousands of entries, and
    // none of them should use up record ids.
    CUpcomingTrans(PalmTime dueDate, CScheduledItem* item);

    PalmTime GetDueDate() const { return dueDate_; }
    // The item stays owned by its list.
    CScheduledItem* GetItem() const { return item_; }
    // Whether this is the occurrence that the item expects next.
    bool IsNextDue() const;

  private:
    PalmTime dueDate_;
    CScheduledItem* item_;
};

class CUpcomingList {
  public:
    // By binary search on the due date; an entry goes before entries of the
    // same date. Returns its index.
    std::size_t InsertByDate(std::unique_ptr<CUpcomingTrans> entry);
    // Puts entries, taken in insertion order, where InsertByDate would have
    // put them one by one, without its quadratic moves.
    void InsertAllByDate(std::vector<std::unique_ptr<CUpcomingTrans>> entries);

    void Clear() { entries_.clear(); }
    std::size_t GetCount() const { return entries_.size(); }
    // nullptr out of range.
    CUpcomingTrans* GetAt(std::size_t n) const;

  private:
    std::vector<std::unique_ptr<CUpcomingTrans>> entries_;
};

}  // namespace tallowmere
