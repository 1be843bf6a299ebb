#pragma once
// How long the SQLite work of one sync session may take. The received file
// comes from the network and can hold a query that never ends; every
// connection made with a budget has a progress handler that stops its
// statements once the budget is spent or cancelled, and Cancel also
// interrupts the statements running at that moment, from any thread.
#include <atomic>
#include <chrono>
#include <mutex>
#include <optional>
#include <vector>

namespace tallowmere {

class CSQLiteDBWrapper;

class CSqliteBudget {
  public:
    using Clock = std::chrono::steady_clock;

    CSqliteBudget() = default;
    CSqliteBudget(const CSqliteBudget&) = delete;
    CSqliteBudget& operator=(const CSqliteBudget&) = delete;

    // Work stops once limit has passed from now. Until started the budget
    // limits nothing (Cancel still holds). On the thread that runs the
    // statements.
    void Start(std::chrono::milliseconds limit);
    // Interrupts the running statements of every connection made with this
    // budget and stops every later one. Any thread, any number of times.
    void Cancel();
    // Cancelled, or started and past its end. On the thread that runs the
    // statements.
    bool Spent() const;

  private:
    friend class CSQLiteDBWrapper;
    // The wrappers whose connections Cancel interrupts; a wrapper leaves
    // before its connection closes.
    void Attach(CSQLiteDBWrapper* db);
    void Detach(CSQLiteDBWrapper* db);

    std::atomic<bool> cancelled_{false};
    std::optional<Clock::time_point> end_;
    std::mutex mutex_;
    std::vector<CSQLiteDBWrapper*> attached_;
};

}  // namespace tallowmere
