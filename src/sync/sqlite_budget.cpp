#include "sync/sqlite_budget.h"

#include <algorithm>

#include "sync/sqlite_wrapper.h"

namespace tallowmere {

void CSqliteBudget::Start(std::chrono::milliseconds limit) {
    end_ = Clock::now() + limit;
}

void CSqliteBudget::Cancel() {
    cancelled_ = true;
    std::lock_guard lock(mutex_);
    for (CSQLiteDBWrapper* db : attached_)
        db->Interrupt();
}

bool CSqliteBudget::Spent() const {
    return cancelled_ || (end_.has_value() && Clock::now() >= *end_);
}

void CSqliteBudget::Attach(CSQLiteDBWrapper* db) {
    std::lock_guard lock(mutex_);
    attached_.push_back(db);
}

void CSqliteBudget::Detach(CSQLiteDBWrapper* db) {
    std::lock_guard lock(mutex_);
    attached_.erase(std::remove(attached_.begin(), attached_.end(), db), attached_.end());
}

}  // namespace tallowmere
