// First byte even: the rest is a scheduled list file. What loads must write
// back to the same bytes; its upcoming list (window kind from the first byte)
// must be in date order with at most the remaining count per item, starting
// at each item's next due date; entering due items must end with every
// automatic item of a known account no longer due, and keep the deleted items
// behind the live ones.
// First byte odd: a date (u32), a frequency (byte), a start date (u32) and a
// month count (signed byte) for the date steps, which must move forward and
// keep the time of day.
#include <cstdint>
#include <cstdlib>
#include <map>
#include <span>
#include <vector>

#include "model/archive.h"
#include "model/byte_order.h"
#include "model/scheduled.h"
#include "model/upcoming.h"
#include "platform/clock.h"

namespace tallowmere {
namespace {

class FixedClock : public platform::Clock {
  public:
    platform::LocalTime LocalNow() const override {
        platform::LocalTime now;
        now.year = 2024;
        now.month = 2;
        now.day = 10;
        now.hour = 12;
        return now;
    }
    std::uint32_t TickCount() const override { return 1; }
};

// Accounts whose id ends in an odd byte are missing. Saving the accounts
// fails, so the list is never written.
class Poster : public CScheduledList::MPoster {
  public:
    bool HasAccount(const RecordId& id) const override { return (id.bytes[7] & 1) == 0; }
    int PostOccurrence(const CUpcomingTrans& occurrence) override {
        const CScheduledItem* item = occurrence.GetItem();
        if (item->GetNextDue() != occurrence.GetDueDate())
            std::abort();
        ++posted[item];
        return 0;
    }
    int SaveAccounts() override { return 1; }

    std::map<const CScheduledItem*, int> posted;
};

void CheckDeletedTail(const CScheduledList& list) {
    const std::size_t live = list.GetCount(false);
    for (std::size_t i = 0; i < list.GetCount(true); ++i) {
        if (list.GetItemAt(i, true)->IsDeleted() != (i >= live))
            std::abort();
    }
}

void CheckList(std::span<const std::uint8_t> file, int kind) {
    CScheduledList list;
    if (list.LoadData(file) != 0)
        return;
    CArchive out;
    list.Serialize(out);
    CScheduledList again;
    if (again.LoadData(out.Data()) != 0)
        std::abort();
    CArchive twice;
    again.Serialize(twice);
    if (twice.Data() != out.Data())
        std::abort();
    CheckDeletedTail(list);

    CUpcomingList upcoming;
    const std::size_t count = list.BuildUpcoming(kAllAccountsId, kind, upcoming);
    if (count != upcoming.GetCount())
        std::abort();
    const PalmTime limit = CScheduledList::WindowEnd(kind);
    std::map<const CScheduledItem*, int> entries;
    for (std::size_t i = 0; i < count; ++i) {
        const CUpcomingTrans* e = upcoming.GetAt(i);
        const CScheduledItem* item = e->GetItem();
        if (item == nullptr || item->IsDeleted() || e->GetDueDate() > limit ||
            e->GetDueDate() == kNoDueDate || !e->GetId().IsNull())
            std::abort();
        if (i > 0 && upcoming.GetAt(i - 1)->GetDueDate() > e->GetDueDate())
            std::abort();
        if (entries[item]++ == 0 && !e->IsNextDue())
            std::abort();
    }
    for (const auto& [item, n] : entries) {
        if (item->GetRepeatCount() != kRepeatIndefinitely && n > item->GetRepeatCount())
            std::abort();
    }

    Poster poster;
    const bool due = list.HasDueItems();
    list.EnterDueTransactions(poster);
    if (!poster.posted.empty() && !due)
        std::abort();
    CheckDeletedTail(list);
    const PalmTime end = TodayBound(2);
    for (std::size_t i = 0; i < list.GetCount(false); ++i) {
        const CScheduledItem* item = list.GetItemAt(i, false);
        if (item->GetEnterMode() != kEnterAutomatically || !poster.HasAccount(item->GetAccountId()))
            continue;
        const bool stillDue =
            item->HasRepeatsLeft() && item->GetNextDue() != kNoDueDate && item->GetNextDue() <= end;
        if (stillDue && poster.posted[item] < 10000)
            std::abort();
    }
}

void CheckSteps(std::span<const std::uint8_t> data) {
    if (data.size() < 10)
        return;
    const PalmTime date = LoadLE32(data.data());
    const int frequency = data[4];
    const PalmTime start = LoadLE32(data.data() + 5);
    const int months = static_cast<std::int8_t>(data[9]);
    const PalmTime next = CScheduledList::NextOccurrence(date, frequency, start);
    if (next != kNoDueDate && (next <= date || next % kSecondsPerDay != date % kSecondsPerDay))
        std::abort();
    const PalmTime moved = AddMonths(date, months);
    if (moved != kNoDueDate && moved % kSecondsPerDay != date % kSecondsPerDay)
        std::abort();
    if (moved != kNoDueDate && months > 0 && moved <= date)
        std::abort();
}

}  // namespace
}  // namespace tallowmere

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tallowmere;
    static const FixedClock clock;
    platform::SetClock(&clock);
    if (size == 0)
        return 0;
    const std::span<const std::uint8_t> rest(data + 1, size - 1);
    if ((data[0] & 1) == 0) {
        CheckList(rest, (data[0] >> 1) % 10);
    } else {
        CheckSteps(rest);
    }
    return 0;
}
