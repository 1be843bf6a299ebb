#include "model/scheduled.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "model/archive.h"
#include "model/byte_order.h"
#include "model/upcoming.h"
#include "platform/text_1252.h"

namespace tallowmere {

namespace {

constexpr std::int64_t kWeek = 7 * std::int64_t{kSecondsPerDay};
// Weekly over the whole date range is about 7,100 steps; the cap only guards
// against an item that would not advance.
constexpr int kMaxOccurrencesPerItem = 10000;

constexpr std::int16_t kFirstYear = 1904;
constexpr std::int16_t kLastYear = 2040;

// The date of fields, kNoDueDate outside the range.
PalmTime Checked(const DateFields& fields) {
    const std::optional<PalmTime> t = fields.TryToPalmTime();
    return t ? *t : kNoDueDate;
}

PalmTime CheckedSum(PalmTime date, std::int64_t seconds) {
    const std::int64_t sum = std::int64_t{date} + seconds;
    return sum < 0 || sum >= std::int64_t{kNoDueDate} ? kNoDueDate : static_cast<PalmTime>(sum);
}

// Day day of the month (clamped to its length) with the time of day of
// fields.
PalmTime DayOfMonth(DateFields fields, int year, int month, int day) {
    if (year < kFirstYear || year > kLastYear)
        return kNoDueDate;
    fields.year = static_cast<std::int16_t>(year);
    fields.month = static_cast<std::int16_t>(month);
    fields.day = static_cast<std::int16_t>(std::min(day, DaysInMonth(month, year)));
    return Checked(fields);
}

void StepMonth(int& year, int& month) {
    if (++month > 12) {
        month = 1;
        ++year;
    }
}

}  // namespace

PalmTime AddMonths(PalmTime date, int n) {
    const DateFields fields = DateFields::FromPalmTime(date);
    const std::int64_t months = std::int64_t{fields.year} * 12 + (fields.month - 1) + n;
    // Floor division, so that months before a year's start borrow from it.
    std::int64_t year = months / 12;
    std::int64_t month = months % 12;
    if (month < 0) {
        month += 12;
        --year;
    }
    if (year < kFirstYear || year > kLastYear)
        return kNoDueDate;
    return DayOfMonth(fields, static_cast<int>(year), static_cast<int>(month) + 1, fields.day);
}

// --- CScheduledItem ---

CScheduledItem::CScheduledItem(ForLoad tag)
    : CPalmListItem(tag), template_(CTransaction::ForLoad{}) {
    template_.SetRecord(TransactionRecord{});
}

CScheduledItem::CScheduledItem() : CScheduledItem(ForLoad{}) {
    template_.SetId(NewRecordId());
    Touch();
}

void CScheduledItem::Serialize(CArchive& ar) {
    CPalmListItem::Serialize(ar);
    if (ar.IsStoring()) {
        const TransactionRecord& record = template_.Record();
        ar.WriteBytes(record.data(), record.size());
        ar.WriteBytes(accountId_.bytes.data(), accountId_.bytes.size());
        ar.WriteUInt32(nextDue_);
        ar.WriteByte(frequency_);
        ar.WriteByte(reserved_);
        ar.WriteWord(repeatCount_);
        ar.WriteByte(enterMode_);
        ar.WriteBytes(editor_.data(), editor_.size());
        return;
    }
    TransactionRecord record;
    ar.ReadBytes(record.data(), record.size());
    template_.SetRecord(record);
    ar.ReadBytes(accountId_.bytes.data(), accountId_.bytes.size());
    nextDue_ = ar.ReadUInt32();
    frequency_ = ar.ReadByte();
    reserved_ = ar.ReadByte();
    repeatCount_ = ar.ReadWord();
    enterMode_ = ar.ReadByte();
    ar.ReadBytes(editor_.data(), editor_.size());
    ar.SerializeItemEndZero();
}

CTransaction& CScheduledItem::EditTemplate() {
    Touch();
    return template_;
}

void CScheduledItem::SetPayee(std::string_view text) {
    template_.SetPayeeName(text);
    Touch();
}

void CScheduledItem::SetMemo(std::string_view text) {
    template_.SetMemo(text);
    Touch();
}

void CScheduledItem::SetAccountId(const RecordId& id) {
    accountId_ = id;
    Touch();
}

void CScheduledItem::SetNextDue(PalmTime date) {
    nextDue_ = date;
    Touch();
}

void CScheduledItem::SetFrequency(int frequency) {
    frequency_ = static_cast<std::uint8_t>(frequency);
    Touch();
}

void CScheduledItem::SetRepeatCount(std::uint16_t count) {
    repeatCount_ = count;
    Touch();
}

void CScheduledItem::SetEnterMode(std::uint8_t mode) {
    enterMode_ = mode;
    Touch();
}

std::uint16_t CScheduledItem::GetDaysInAdvance() const {
    return LoadLE16(editor_.data());
}

void CScheduledItem::SetDaysInAdvance(std::uint16_t days) {
    StoreLE16(editor_.data(), days);
    Touch();
}

std::unique_ptr<CTransaction> MakeOccurrence(const CScheduledItem& item, PalmTime date) {
    return std::make_unique<CTransaction>(item.Template().Record(), date);
}

// --- CScheduledList ---

bool CScheduledList::AcceptsItem(const CObject& obj) const {
    return dynamic_cast<const CScheduledItem*>(&obj) != nullptr;
}

std::size_t CScheduledList::LiveInsertIndex(const CPalmListItem& item) const {
    const auto* scheduled = dynamic_cast<const CScheduledItem*>(&item);
    const std::string payee = scheduled ? scheduled->GetPayee() : std::string();
    const std::size_t live = FirstDeletedIndex();
    for (std::size_t i = 0; i < live; ++i) {
        const auto* other = dynamic_cast<const CScheduledItem*>(items_[i].get());
        const std::string otherPayee = other ? other->GetPayee() : std::string();
        if (platform::CompareBytes(otherPayee, payee) >= 0)
            return i;
    }
    return live;
}

int CScheduledList::InsertSorted(std::unique_ptr<CScheduledItem> item) {
    if (item) {
        const std::size_t at = item->IsDeleted() ? items_.size() : LiveInsertIndex(*item);
        InsertAt(at, std::move(item));
    }
    return Save();
}

CScheduledItem* CScheduledList::GetItemAt(std::size_t n, bool all) const {
    return dynamic_cast<CScheduledItem*>(GetAt(n, all));
}

PalmTime CScheduledList::NextOccurrence(PalmTime date, int frequency, PalmTime startDate) {
    if (date == kNoDueDate)
        return kNoDueDate;
    PalmTime next = kNoDueDate;
    switch (frequency) {
        case kFrequencyWeekly:
            next = CheckedSum(date, kWeek);
            break;
        case kFrequencyTwoWeeks:
            next = CheckedSum(date, 2 * kWeek);
            break;
        case kFrequencyTwiceAMonth:
            next = TwiceAMonthNext(date, startDate);
            break;
        case kFrequencyFourWeeks:
            next = CheckedSum(date, 4 * kWeek);
            break;
        case kFrequencyMonthly:
            next = AddMonths(date, 1);
            break;
        case kFrequencyTwoMonths:
            next = AddMonths(date, 2);
            break;
        case kFrequencyQuarterly:
            next = AddMonths(date, 3);
            break;
        case kFrequencyTwiceAYear:
            next = AddMonths(date, 6);
            break;
        case kFrequencyAnnually:
            next = AddMonths(date, 12);
            break;
        default:
            return kNoDueDate;
    }
    // A step that does not move forward would post the same date again.
    return next > date ? next : kNoDueDate;
}

PalmTime CScheduledList::TwiceAMonthNext(PalmTime d, PalmTime start) {
    const DateFields fields = DateFields::FromPalmTime(d);
    const int ds = DateFields::FromPalmTime(start).day;
    const int dd = fields.day;
    const int year = fields.year;
    const int month = fields.month;
    if (dd - 4 < ds && ds < dd + 4) {
        // d is the first date of the pair.
        if (ds == 15)
            return DayOfMonth(fields, year, month, DaysInMonth(month, year));
        int days = 15;
        if (ds == 14 && month == 2 && DaysInMonth(2, year) == 28) {
            days = 14;
        } else if (ds == 16 && DaysInMonth(month, year) == 31) {
            days = 16;
        }
        return CheckedSum(d, std::int64_t{days} * kSecondsPerDay);
    }
    // d is the second date: day ds of the next month, or of this month when
    // d lies in its first half.
    int nextYear = year;
    int nextMonth = month;
    if (dd > 15)
        StepMonth(nextYear, nextMonth);
    PalmTime next = DayOfMonth(fields, nextYear, nextMonth, ds);
    if (next <= d && dd <= 15) {
        // Start day and next date written apart (by the handheld) can put day
        // ds before d; the following month's day ds is the next one after d.
        StepMonth(nextYear, nextMonth);
        next = DayOfMonth(fields, nextYear, nextMonth, ds);
    }
    return next;
}

PalmTime CScheduledList::WindowEnd(int kind) {
    const PalmTime start = TodayBound(1);
    switch (kind) {
        case 0:
            return CheckedSum(start, kSecondsPerDay);
        case 1:
            return CheckedSum(start, kWeek);
        case 2:
            return CheckedSum(start, 2 * kWeek);
        case 3:
            return CheckedSum(start, 3 * kWeek);
        case 4:
            return AddMonths(start, 1);
        case 5:
            return AddMonths(start, 2);
        case 6:
            return AddMonths(start, 3);
        case 7:
            return AddMonths(start, 6);
        case 8:
            return CheckedSum(start, 365 * std::int64_t{kSecondsPerDay});
        default:
            return start;
    }
}

bool CScheduledList::IsOccurrenceDue(const CScheduledItem& item, PalmTime& date, PalmTime limit,
                                     int n) {
    const std::uint16_t count = item.GetRepeatCount();
    if (count != kRepeatIndefinitely && count < n)
        return false;
    if (date == 0)
        date = item.GetNextDue();
    // A window that reaches the end of the range must not take "none" for a
    // date.
    if (date == kNoDueDate || date > limit)
        return false;
    date = NextOccurrence(date, item.GetFrequency(), item.GetStartDate());
    return true;
}

std::size_t CScheduledList::BuildUpcoming(const RecordId& account, int kind,
                                          CUpcomingList& list) const {
    list.Clear();
    const PalmTime limit = WindowEnd(kind);
    std::vector<std::unique_ptr<CUpcomingTrans>> entries;
    const std::size_t live = FirstDeletedIndex();
    for (std::size_t i = 0; i < live; ++i) {
        auto* item = dynamic_cast<CScheduledItem*>(items_[i].get());
        if (item == nullptr || (account != kAllAccountsId && item->GetAccountId() != account))
            continue;
        // Each step moves the date strictly forward, so the walk ends.
        PalmTime date = 0;
        for (int n = 1;; ++n) {
            const PalmTime occurrence = date == 0 ? item->GetNextDue() : date;
            if (!IsOccurrenceDue(*item, date, limit, n))
                break;
            entries.push_back(std::make_unique<CUpcomingTrans>(occurrence, item));
        }
    }
    list.InsertAllByDate(std::move(entries));
    return list.GetCount();
}

bool CScheduledList::HasDueItems() const {
    const PalmTime end = TodayBound(2);
    const std::size_t live = FirstDeletedIndex();
    for (std::size_t i = 0; i < live; ++i) {
        const auto* item = dynamic_cast<const CScheduledItem*>(items_[i].get());
        if (item == nullptr || !item->HasRepeatsLeft())
            continue;
        const PalmTime due = item->GetNextDue();
        if (due != kNoDueDate && due <= end)
            return true;
    }
    return false;
}

int CScheduledList::EnterDueTransactions(MPoster& poster) {
    const PalmTime end = TodayBound(2);
    // Items used up move behind the live ones, so the walk runs over a copy.
    std::vector<CScheduledItem*> automatic;
    const std::size_t live = FirstDeletedIndex();
    for (std::size_t i = 0; i < live; ++i) {
        auto* item = dynamic_cast<CScheduledItem*>(items_[i].get());
        if (item != nullptr && item->GetEnterMode() == kEnterAutomatically)
            automatic.push_back(item);
    }
    int firstError = 0;
    bool posted = false;
    for (CScheduledItem* item : automatic) {
        if (!poster.HasAccount(item->GetAccountId()))
            continue;
        for (int guard = 0; guard < kMaxOccurrencesPerItem; ++guard) {
            const PalmTime due = item->GetNextDue();
            if (item->IsDeleted() || !item->HasRepeatsLeft() || due == kNoDueDate || due > end)
                break;
            const CUpcomingTrans occurrence(due, item);
            const int r = poster.PostOccurrence(occurrence);
            if (r != 0) {
                // Only this item stops; it stays due for the next try.
                if (firstError == 0)
                    firstError = r;
                break;
            }
            posted = true;
            Advance(*item);
        }
    }
    if (!posted)
        return firstError;
    // Accounts first: should a save fail, the schedule on disk still holds
    // the occurrences, which then come again rather than go missing.
    const int accounts = poster.SaveAccounts();
    if (accounts != 0)
        return firstError != 0 ? firstError : accounts;
    const int saved = Save();
    return firstError != 0 ? firstError : saved;
}

void CScheduledList::MarkDeleted(CScheduledItem& item) {
    const int index = IndexOf(&item);
    if (index < 0 || item.IsDeleted())
        return;
    std::unique_ptr<CPalmListItem> owned = TakeAt(static_cast<std::size_t>(index));
    owned->SetAttribute(owned->GetAttribute() | CPalmListItem::kDeleted | CPalmListItem::kModified);
    items_.push_back(std::move(owned));
}

void CScheduledList::Advance(CScheduledItem& item) {
    item.SetNextDue(NextOccurrence(item.GetNextDue(), item.GetFrequency(), item.GetStartDate()));
    const std::uint16_t count = item.GetRepeatCount();
    if (count != kRepeatIndefinitely) {
        if (count < 2) {
            item.SetNextDue(kNoDueDate);
            MarkDeleted(item);
        }
        if (count > 0)
            item.SetRepeatCount(static_cast<std::uint16_t>(count - 1));
    }
    if (item.GetFrequency() == kFrequencyOnce)
        item.SetNextDue(kNoDueDate);
}

int CScheduledList::EnterOccurrence(const CUpcomingTrans& entry) {
    CScheduledItem* item = entry.GetItem();
    // An entry of another list (or a stale one) must not advance anything.
    if (item == nullptr || IndexOf(item) < 0)
        return -1;
    Advance(*item);
    return Save();
}

int CScheduledList::DeleteById(const RecordId& account) {
    std::vector<CScheduledItem*> doomed;
    const std::size_t live = FirstDeletedIndex();
    for (std::size_t i = 0; i < live; ++i) {
        auto* item = dynamic_cast<CScheduledItem*>(items_[i].get());
        if (item != nullptr && item->GetAccountId() == account)
            doomed.push_back(item);
    }
    for (CScheduledItem* item : doomed)
        MarkDeleted(*item);
    return Save();
}

}  // namespace tallowmere
