#pragma once
// Progress of long work over many records (imports, exports, purges): the
// caller learns how far the work got, to keep its window alive. No answer
// stops the work.
#include <cstddef>
#include <functional>
#include <utility>

namespace tallowmere {

// Told how many records are done, after every kRecordProgressStep of them.
using RecordProgress = std::function<void(std::size_t done)>;
inline constexpr std::size_t kRecordProgressStep = 1000;

// Counts records and tells progress (if any) at every step.
class RecordProgressCounter {
  public:
    RecordProgressCounter() = default;
    explicit RecordProgressCounter(RecordProgress progress) : progress_(std::move(progress)) {}
    void Count() {
        ++done_;
        if (progress_ && done_ % kRecordProgressStep == 0)
            progress_(done_);
    }
    std::size_t Done() const { return done_; }
    const RecordProgress& Callback() const { return progress_; }
    void Reset() { done_ = 0; }

  private:
    RecordProgress progress_;
    std::size_t done_ = 0;
};

}  // namespace tallowmere
