#pragma once
// Scheduled transactions: a template transaction for one account with a
// frequency, the date of its next occurrence and a remaining repeat count,
// kept in "ScheduledTransList.lst" in order of the template's payee. The list
// computes upcoming occurrences, tells whether anything is due and enters the
// automatic ones through the data set.
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "model/palm_file_list.h"
#include "model/palm_list_item.h"
#include "model/palm_time.h"
#include "model/record_id.h"
#include "model/transaction.h"

namespace tallowmere {

class CUpcomingTrans;
class CUpcomingList;

// The item's block after the base part: template record, account id, next
// due date, frequency, reserved byte, repeat count, enter mode, editor bytes.
inline constexpr std::size_t kScheduledBlockSize = 2550;
inline constexpr std::size_t kScheduledEditorBytes = 17;

// Next due date of an item that has none; NextOccurrence's "no more".
inline constexpr PalmTime kNoDueDate = 0xFFFFFFFF;
inline constexpr std::uint16_t kRepeatIndefinitely = 0xFFFF;
// The enter mode of items entered automatically when due.
inline constexpr std::uint8_t kEnterAutomatically = 1;

// Frequencies; their names are strings 380 + frequency.
inline constexpr int kFrequencyOnce = 0;
inline constexpr int kFrequencyWeekly = 1;
inline constexpr int kFrequencyTwoWeeks = 2;
inline constexpr int kFrequencyTwiceAMonth = 3;
inline constexpr int kFrequencyFourWeeks = 4;
inline constexpr int kFrequencyMonthly = 5;
inline constexpr int kFrequencyTwoMonths = 6;
inline constexpr int kFrequencyQuarterly = 7;
inline constexpr int kFrequencyTwiceAYear = 8;
inline constexpr int kFrequencyAnnually = 9;

// Window kinds of WindowEnd, in the order of the upcoming dialog's choices.
inline constexpr int kWindowDue = 0;
inline constexpr int kWindowOneYear = 8;

// BuildUpcoming's account argument that selects every item.
inline constexpr RecordId kAllAccountsId = kNoneId;

// Month + n, wrapping into other years, the day clamped to the new month's
// length, the time of day kept. kNoDueDate when the result falls outside the
// date range.
PalmTime AddMonths(PalmTime date, int n);

class CScheduledItem : public CPalmListItem {
  public:
    // Block all zero, a new id for the template, modified set.
    CScheduledItem();
    // For the class factory: all zero, no id.
    explicit CScheduledItem(ForLoad tag);

    std::string_view GetClassName() const override { return "CScheduledItem"; }
    // Base part, then the block raw, field by field; no 32-bit zero after it
    // (one is read where a file has it).
    void Serialize(CArchive& ar) override;

    // The template's own id identifies the item.
    RecordId GetId() const override { return template_.GetId(); }

    // The template transaction; its date is the schedule's start date.
    const CTransaction& Template() const { return template_; }
    // For edits of the template; marks the item modified.
    CTransaction& EditTemplate();
    PalmTime GetStartDate() const { return template_.GetDate(); }

    std::string GetPayee() const { return template_.GetPayeeName(); }
    void SetPayee(std::string_view text);
    std::string GetMemo() const { return template_.GetMemo(); }
    void SetMemo(std::string_view text);

    RecordId GetAccountId() const { return accountId_; }
    void SetAccountId(const RecordId& id);
    PalmTime GetNextDue() const { return nextDue_; }
    void SetNextDue(PalmTime date);
    int GetFrequency() const { return frequency_; }
    void SetFrequency(int frequency);
    std::uint16_t GetRepeatCount() const { return repeatCount_; }
    void SetRepeatCount(std::uint16_t count);
    // True while occurrences remain (an indefinite count always has some).
    bool HasRepeatsLeft() const { return repeatCount_ >= 1; }
    std::uint8_t GetEnterMode() const { return enterMode_; }
    void SetEnterMode(std::uint8_t mode);
    // The editor's days in advance: the first two editor bytes, little-endian.
    std::uint16_t GetDaysInAdvance() const;
    void SetDaysInAdvance(std::uint16_t days);

  private:
    void Touch() { attribute_ |= kModified; }

    CTransaction template_;
    RecordId accountId_;
    PalmTime nextDue_ = 0;
    std::uint8_t frequency_ = 0;
    // Kept as read so that a file written elsewhere survives a save.
    std::uint8_t reserved_ = 0;
    std::uint16_t repeatCount_ = 0;
    std::uint8_t enterMode_ = 0;
    std::array<std::uint8_t, kScheduledEditorBytes> editor_{};
};

// The register transaction for one occurrence of the item on date: the
// template with a new id, the date with the current time of day, and nothing
// that ties it to another record.
std::unique_ptr<CTransaction> MakeOccurrence(const CScheduledItem& item, PalmTime date);

class CScheduledList : public CPalmFileList {
  public:
    // What entering due items needs from the data set, which owns the
    // accounts.
    class MPoster {
      public:
        virtual ~MPoster() = default;
        // Whether the account exists; items of a missing account are skipped.
        virtual bool HasAccount(const RecordId& accountId) const = 0;
        // Adds the occurrence to the item's account (check number, transfer
        // mirrors) without saving and without advancing the item. 0 or an
        // error code.
        virtual int PostOccurrence(const CUpcomingTrans& occurrence) = 0;
        // Saves every account that PostOccurrence changed; 0 or the first
        // failure (already reported).
        virtual int SaveAccounts() = 0;
    };

    // Inserts before the first live item whose payee compares greater than or
    // equal, then saves; the save result.
    int InsertSorted(std::unique_ptr<CScheduledItem> item);

    // The date after date for a frequency (start date: the template's date,
    // which the twice-a-month rule reads). kNoDueDate for "Once", an unknown
    // frequency, a date of kNoDueDate, and a result that would not lie after
    // date within the range.
    static PalmTime NextOccurrence(PalmTime date, int frequency, PalmTime startDate);
    // The twice-a-month step from d for a schedule started on start.
    static PalmTime TwiceAMonthNext(PalmTime d, PalmTime start);
    // The start of today plus the window's length; other kinds: the start of
    // today.
    static PalmTime WindowEnd(int kind);
    // Occurrence n (from 1) of item at or before limit: false when the count
    // is below n or date lies after limit. A date of 0 starts at the next due
    // date. On true, date moves to the following occurrence; the occurrence
    // itself is the value date had before.
    static bool IsOccurrenceDue(const CScheduledItem& item, PalmTime& date, PalmTime limit, int n);

    // Empties list and fills it, by due date, with the occurrences of the live
    // items of account (every item for kAllAccountsId) up to WindowEnd(kind).
    // Returns the number of entries.
    std::size_t BuildUpcoming(const RecordId& account, int kind, CUpcomingList& list) const;
    // Whether a live item with occurrences left is due by the end of today.
    bool HasDueItems() const;
    // Posts every occurrence of the automatic items due by the end of today
    // and advances them; items whose account is missing are skipped. The
    // accounts are saved before the list, so a failure repeats an occurrence
    // rather than loses one. 0, or the first failure.
    int EnterDueTransactions(MPoster& poster);
    // Advances the entry's item past one occurrence (using it up when no
    // repeats are left) and saves; the save result.
    int EnterOccurrence(const CUpcomingTrans& entry);
    // Deletes every live item of the account, then saves; the save result.
    int DeleteById(const RecordId& account);

    CScheduledItem* GetItemAt(std::size_t n, bool all) const;

  protected:
    bool AcceptsItem(const CObject& obj) const override;
    bool ItemsEndEitherWay() const override { return true; }
    // In payee order, as InsertSorted.
    std::size_t LiveInsertIndex(const CPalmListItem& item) const override;

  private:
    // EnterOccurrence without the save.
    void Advance(CScheduledItem& item);
    // Marks a live item deleted and moves it behind the live items.
    void MarkDeleted(CScheduledItem& item);
};

}  // namespace tallowmere
