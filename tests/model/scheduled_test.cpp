// Scheduled transactions: the item's file block, payee order, next
// occurrences (month ends, leap years, twice a month, the end of the date
// range), windows, upcoming lists, due checks and the automatic entry of due
// occurrences through a fake data set.
#include "model/scheduled.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "list_test_items.h"
#include "model/byte_order.h"
#include "model/list_file_names.h"
#include "model/upcoming.h"
#include "platform/clock.h"
#include "support/test_env.h"

namespace tallowmere {
namespace {

PalmTime At(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    DateFields f;
    f.year = static_cast<std::int16_t>(year);
    f.month = static_cast<std::int16_t>(month);
    f.day = static_cast<std::int16_t>(day);
    f.hour = static_cast<std::int16_t>(hour);
    f.minute = static_cast<std::int16_t>(minute);
    f.second = static_cast<std::int16_t>(second);
    const auto t = f.TryToPalmTime();
    EXPECT_TRUE(t.has_value()) << year << "-" << month << "-" << day;
    return t.value_or(0);
}

std::string Text(PalmTime t) {
    if (t == kNoDueDate)
        return "none";
    const DateFields f = DateFields::FromPalmTime(t);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", f.year, f.month, f.day,
                  f.hour, f.minute, f.second);
    return buffer;
}

class FixedClock : public platform::Clock {
  public:
    explicit FixedClock(PalmTime t) { Set(t); }
    void Set(PalmTime t) { fields_ = DateFields::FromPalmTime(t); }
    platform::LocalTime LocalNow() const override {
        platform::LocalTime now;
        now.year = fields_.year;
        now.month = fields_.month;
        now.day = fields_.day;
        now.hour = fields_.hour;
        now.minute = fields_.minute;
        now.second = fields_.second;
        return now;
    }
    std::uint32_t TickCount() const override { return 1; }

  private:
    DateFields fields_;
};

const RecordId kChecking = RecordId::Fixed(5);
const RecordId kSavings = RecordId::Fixed(6);
const RecordId kGone = RecordId::Fixed(0x77);

struct ItemSetup {
    std::string payee = "Item";
    RecordId account = kChecking;
    PalmTime nextDue = 0;
    int frequency = kFrequencyWeekly;
    std::uint16_t count = kRepeatIndefinitely;
    std::uint8_t mode = kEnterAutomatically;
    PalmTime start = 0;  // 0: the next due date
};

std::unique_ptr<CScheduledItem> MakeItem(const ItemSetup& setup) {
    auto item = std::make_unique<CScheduledItem>();
    item->SetPayee(setup.payee);
    item->SetAccountId(setup.account);
    item->SetNextDue(setup.nextDue);
    item->SetFrequency(setup.frequency);
    item->SetRepeatCount(setup.count);
    item->SetEnterMode(setup.mode);
    item->EditTemplate().SetDate(setup.start != 0 ? setup.start : setup.nextDue);
    item->EditTemplate().SetAmount(1250);
    return item;
}

std::vector<std::string> Payees(const CScheduledList& list, bool all = true) {
    std::vector<std::string> payees;
    for (std::size_t i = 0; i < list.GetCount(all); ++i)
        payees.push_back(list.GetItemAt(i, all)->GetPayee());
    return payees;
}

// Today is Saturday 2024-02-10 at noon (a leap year).
const PalmTime kNow = At(2024, 2, 10, 12, 0, 0);

class ScheduledTest : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::SetClock(&clock_);
        dir_ = test::MakeTempDir("sched");
        path_ = dir_ + "/" + kScheduledTransListFile;
        list_.SetPath(path_);
    }
    void TearDown() override { platform::SetClock(nullptr); }

    CScheduledItem* Add(const ItemSetup& setup) {
        auto item = MakeItem(setup);
        CScheduledItem* raw = item.get();
        EXPECT_EQ(list_.InsertSorted(std::move(item)), 0);
        return raw;
    }

    FixedClock clock_{kNow};
    std::string dir_;
    std::string path_;
    CScheduledList list_;
    test::CapturingSink sink_;
};

// --- the item and its file ---

TEST_F(ScheduledTest, NewItemIsZeroApartFromItsNewId) {
    CScheduledItem a;
    CScheduledItem b;
    EXPECT_FALSE(a.GetId().IsNull());
    EXPECT_NE(a.GetId(), b.GetId());
    EXPECT_EQ(a.GetId(), a.Template().GetId());
    TransactionRecord expected{};
    a.GetId().ToBytes(expected.data());
    EXPECT_EQ(a.Template().Record(), expected);
    EXPECT_EQ(a.GetAccountId(), kNoneId);
    EXPECT_EQ(a.GetNextDue(), 0u);
    EXPECT_EQ(a.GetFrequency(), 0);
    EXPECT_EQ(a.GetRepeatCount(), 0);
    EXPECT_EQ(a.GetEnterMode(), 0);
    EXPECT_EQ(a.GetDaysInAdvance(), 0);
    EXPECT_NE(a.GetAttribute() & CPalmListItem::kModified, 0);

    CScheduledItem loaded{CObject::ForLoad{}};
    EXPECT_TRUE(loaded.GetId().IsNull());
    EXPECT_EQ(loaded.Template().Record(), TransactionRecord{});
}

TEST_F(ScheduledTest, BlockIsWrittenFieldByFieldAndReadBack) {
    auto item = MakeItem({.payee = "Rent",
                          .account = RecordId::Fixed(0x0102),
                          .nextDue = 0x11223344,
                          .frequency = kFrequencyQuarterly,
                          .count = 0x0A0B,
                          .mode = 2});
    item->SetMemo("flat 4");
    item->SetDaysInAdvance(0x0304);
    item->SetRecordNumber(0x01020304);
    item->SetAttribute(0x40);
    const TransactionRecord templateRecord = item->Template().Record();
    ASSERT_EQ(list_.InsertSorted(std::move(item)), 0);

    const std::string file = test::ReadFileBytes(path_);
    // count, new class "CScheduledItem", record number, attribute, block
    test::Bytes head;
    head.W(1).NewClass("CScheduledItem").D(0x01020304).B(0x40);
    ASSERT_EQ(file.size(), head.size() + kScheduledBlockSize);
    EXPECT_EQ(file.substr(0, head.size()), head.str());
    const auto* block = reinterpret_cast<const std::uint8_t*>(file.data() + head.size());
    EXPECT_TRUE(std::equal(templateRecord.begin(), templateRecord.end(), block));
    EXPECT_EQ(RecordId::FromBytes(block + 2516), RecordId::Fixed(0x0102));
    EXPECT_EQ(LoadLE32(block + 2524), 0x11223344u);
    EXPECT_EQ(block[2528], kFrequencyQuarterly);
    EXPECT_EQ(block[2529], 0);
    EXPECT_EQ(LoadLE16(block + 2530), 0x0A0B);
    EXPECT_EQ(block[2532], 2);
    EXPECT_EQ(LoadLE16(block + 2533), 0x0304);
    for (std::size_t i = 2535; i < kScheduledBlockSize; ++i)
        EXPECT_EQ(block[i], 0) << i;

    CScheduledList again;
    ASSERT_EQ(again.Load(path_), 0);
    ASSERT_EQ(again.GetCount(true), 1u);
    const CScheduledItem* read = again.GetItemAt(0, true);
    EXPECT_EQ(read->Template().Record(), templateRecord);
    EXPECT_EQ(read->GetPayee(), "Rent");
    EXPECT_EQ(read->GetMemo(), "flat 4");
    EXPECT_EQ(read->GetNextDue(), 0x11223344u);
    EXPECT_EQ(read->GetRepeatCount(), 0x0A0B);
    EXPECT_EQ(read->GetDaysInAdvance(), 0x0304);
    EXPECT_EQ(read->GetRecordNumber(), 0x01020304);
}

TEST_F(ScheduledTest, BytesKeptForOthersSurviveALoadAndSave) {
    ASSERT_EQ(list_.InsertSorted(MakeItem({.payee = "Gym"})), 0);
    std::string file = test::ReadFileBytes(path_);
    const std::size_t block = file.size() - kScheduledBlockSize;
    file[block + 2476] = 0x5A;  // the template's reserved bytes
    file[block + 2529] = 0x7E;  // the reserved byte
    file[block + 2549] = 0x33;  // the last editor byte
    test::WriteFileBytes(path_, file);
    CScheduledList again;
    ASSERT_EQ(again.Load(path_), 0);
    ASSERT_EQ(again.Save(), 0);
    EXPECT_EQ(test::ReadFileBytes(path_), file);
}

TEST_F(ScheduledTest, FilesOfOtherRecordsOrShortBlocksDoNotLoad) {
    ASSERT_EQ(list_.InsertSorted(MakeItem({.payee = "Gym"})), 0);
    const std::string file = test::ReadFileBytes(path_);
    test::WriteFileBytes(path_, file.substr(0, file.size() - 1));
    EXPECT_NE(list_.Load(path_), 0);
    EXPECT_EQ(list_.GetCount(true), 0u);

    // A transaction where a scheduled item belongs.
    test::Bytes other;
    other.W(1).NewClass("CTransaction").D(0).B(0).Raw(std::string(84, '\0'));
    other.Str("").Str("").Str("");
    for (int line = 0; line < 10; ++line)
        other.Raw(std::string(32, '\0')).Str("");
    other.D(0);
    test::WriteFileBytes(path_, other.str());
    EXPECT_NE(list_.Load(path_), 0);
}

// The file of n items with a 32-bit word inserted after each record.
std::string WithEndWords(const std::string& file, std::size_t n, std::uint32_t value = 0) {
    std::string out = file.substr(0, 2);
    std::size_t at = 2;
    for (std::size_t i = 0; i < n; ++i) {
        // The first item's tag names the class, the others refer to it.
        const std::size_t tag = i == 0 ? test::Bytes().NewClass("CScheduledItem").size() : 2;
        const std::size_t length = tag + 5 + kScheduledBlockSize;
        out += file.substr(at, length);
        out += test::Bytes().D(value).str();
        at += length;
    }
    EXPECT_EQ(at, file.size());
    return out;
}

// Files are found with a zero after each record and without; both load whole
// and the list is written back without it.
TEST_F(ScheduledTest, RecordsWithOrWithoutAnEndZeroLoadWhole) {
    const std::vector<std::string> payees = {"Gym", "Rent", "Water"};
    for (const std::size_t n : {std::size_t{1}, std::size_t{3}}) {
        CScheduledList made;
        made.SetPath(path_);
        for (std::size_t i = 0; i < n; ++i) {
            auto item = MakeItem({.payee = payees[i], .nextDue = kNow, .count = 3});
            item->SetDaysInAdvance(static_cast<std::uint16_t>(i + 1));
            ASSERT_EQ(made.InsertSorted(std::move(item)), 0);
        }
        const std::string today = test::ReadFileBytes(path_);
        for (const bool endZero : {false, true}) {
            SCOPED_TRACE(testing::Message() << n << " items, end zero " << endZero);
            test::WriteFileBytes(path_, endZero ? WithEndWords(today, n) : today);
            sink_.reports.clear();
            CScheduledList list;
            ASSERT_EQ(list.Load(path_), 0);
            EXPECT_EQ(Payees(list), std::vector<std::string>(payees.begin(), payees.begin() + n));
            for (std::size_t i = 0; i < n; ++i) {
                EXPECT_EQ(list.GetItemAt(i, true)->Template().Record(),
                          made.GetItemAt(i, true)->Template().Record());
                EXPECT_EQ(list.GetItemAt(i, true)->GetDaysInAdvance(), i + 1);
            }
            EXPECT_TRUE(sink_.reports.empty());
            ASSERT_EQ(list.Save(), 0);
            EXPECT_EQ(test::ReadFileBytes(path_), today);
        }
    }
}

TEST_F(ScheduledTest, FilesFittingNeitherRecordFormAreRefused) {
    ASSERT_EQ(list_.InsertSorted(MakeItem({.payee = "Gym"})), 0);
    ASSERT_EQ(list_.InsertSorted(MakeItem({.payee = "Rent"})), 0);
    const std::string today = test::ReadFileBytes(path_);
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"an end word that is not zero", WithEndWords(today, 2, 0x100)},
        {"a zero after the last record only", today + std::string(4, '\0')},
        {"stray bytes after the last record", today + "\x01\x02"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::WriteFileBytes(path_, c.bytes);
        sink_.reports.clear();
        CScheduledList list;
        EXPECT_EQ(list.Load(path_), kErrorBadFile);
        EXPECT_EQ(list.GetCount(true), 0u);
        ASSERT_EQ(sink_.reports.size(), 1u);
        EXPECT_NE(sink_.reports[0].text.find(path_), std::string::npos);
    }
}

TEST_F(ScheduledTest, LiveItemsStandInPayeeOrder) {
    Add({.payee = "Rent"});
    CScheduledItem* firstCar = Add({.payee = "Car"});
    CScheduledItem* secondCar = Add({.payee = "Car"});
    Add({.payee = "Bank"});
    Add({.payee = "car"});  // byte order: lower case after upper
    EXPECT_EQ(Payees(list_), (std::vector<std::string>{"Bank", "Car", "Car", "Rent", "car"}));
    // An equal payee goes before the one already there.
    EXPECT_EQ(list_.GetItemAt(1, true), secondCar);
    EXPECT_EQ(list_.GetItemAt(2, true), firstCar);

    ASSERT_EQ(list_.DeleteItem(list_.GetItemAt(0, true)), 0);
    Add({.payee = "Zoo"});
    Add({.payee = "Alarm"});
    EXPECT_EQ(Payees(list_),
              (std::vector<std::string>{"Alarm", "Car", "Car", "Rent", "Zoo", "car", "Bank"}));

    // An edited payee is re-filed by ReplaceItem.
    CScheduledItem* rent = list_.GetItemAt(3, false);
    rent->SetPayee("Aardvark");
    ASSERT_EQ(list_.ReplaceItem(rent), 0);
    EXPECT_EQ(list_.GetItemAt(0, false), rent);

    CScheduledList again;
    ASSERT_EQ(again.Load(path_), 0);
    EXPECT_EQ(Payees(again), Payees(list_));
}

TEST_F(ScheduledTest, OccurrenceIsANewTransactionFromTheTemplate) {
    auto item = MakeItem({.payee = "Power", .nextDue = At(2024, 3, 1, 8)});
    CTransaction& t = item->EditTemplate();
    t.SetLinkedId(RecordId::Fixed(9));
    t.SetSplitIndex(3);
    t.SetMatchId(RecordId::Fixed(10));
    t.SetOnlineId("FIT-1");
    t.SetReviewState(1);
    t.SetSplitLinkedId(2, RecordId::Fixed(11));
    t.SetSplitAmount(2, 500);
    t.SetMemo("bill");
    auto occurrence = MakeOccurrence(*item, At(2024, 3, 1, 8));
    ASSERT_TRUE(occurrence);
    EXPECT_FALSE(occurrence->GetId().IsNull());
    EXPECT_NE(occurrence->GetId(), item->GetId());
    EXPECT_EQ(occurrence->GetDate(), At(2024, 3, 1, 12));  // the time of day of now
    EXPECT_EQ(occurrence->GetPayeeName(), "Power");
    EXPECT_EQ(occurrence->GetMemo(), "bill");
    EXPECT_EQ(occurrence->GetAmount(), 1250);
    EXPECT_EQ(occurrence->GetSplitAmount(2), 500);
    EXPECT_EQ(occurrence->GetLinkedId(), kNoneId);
    EXPECT_EQ(occurrence->GetSplitIndex(), kNoSplitIndex);
    EXPECT_EQ(occurrence->GetMatchId(), kNoneId);
    EXPECT_EQ(occurrence->GetOnlineId(), "");
    EXPECT_EQ(occurrence->GetReviewState(), 0);
    EXPECT_EQ(occurrence->GetSplitLinkedId(2), kNoneId);
}

// --- dates ---

struct Chain {
    const char* name;
    int frequency;
    PalmTime start;               // the template's date
    std::vector<PalmTime> dates;  // the first, then each next occurrence
};

TEST(NextOccurrence, ChainsOfDates) {
    const Chain chains[] = {
        {"weekly keeps the time of day",
         kFrequencyWeekly,
         At(2024, 2, 26, 9, 30),
         {At(2024, 2, 26, 9, 30), At(2024, 3, 4, 9, 30), At(2024, 3, 11, 9, 30)}},
        {"every two weeks",
         kFrequencyTwoWeeks,
         At(2023, 12, 25),
         {At(2023, 12, 25), At(2024, 1, 8)}},
        {"every four weeks",
         kFrequencyFourWeeks,
         At(2024, 2, 1),
         {At(2024, 2, 1), At(2024, 2, 29)}},
        {"monthly from 31 Jan, leap year",
         kFrequencyMonthly,
         At(2024, 1, 31, 7),
         {At(2024, 1, 31, 7), At(2024, 2, 29, 7), At(2024, 3, 29, 7)}},
        {"monthly from 31 Jan",
         kFrequencyMonthly,
         At(2023, 1, 31),
         {At(2023, 1, 31), At(2023, 2, 28), At(2023, 3, 28)}},
        {"monthly over the year's end",
         kFrequencyMonthly,
         At(2023, 12, 15),
         {At(2023, 12, 15), At(2024, 1, 15)}},
        {"every two months",
         kFrequencyTwoMonths,
         At(2023, 12, 31),
         {At(2023, 12, 31), At(2024, 2, 29)}},
        {"quarterly from 30 Nov, leap",
         kFrequencyQuarterly,
         At(2023, 11, 30),
         {At(2023, 11, 30), At(2024, 2, 29), At(2024, 5, 29)}},
        {"quarterly from 30 Nov",
         kFrequencyQuarterly,
         At(2022, 11, 30),
         {At(2022, 11, 30), At(2023, 2, 28)}},
        {"twice a year", kFrequencyTwiceAYear, At(2023, 8, 31), {At(2023, 8, 31), At(2024, 2, 29)}},
        {"annually from 29 Feb",
         kFrequencyAnnually,
         At(2024, 2, 29),
         {At(2024, 2, 29), At(2025, 2, 28), At(2026, 2, 28)}},
        {"twice a month from the 1st",
         kFrequencyTwiceAMonth,
         At(2024, 3, 1, 10),
         {At(2024, 3, 1, 10), At(2024, 3, 16, 10), At(2024, 4, 1, 10), At(2024, 4, 16, 10)}},
        {"twice a month from the 15th",
         kFrequencyTwiceAMonth,
         At(2024, 4, 15),
         {At(2024, 4, 15), At(2024, 4, 30), At(2024, 5, 15), At(2024, 5, 31), At(2024, 6, 15)}},
        {"twice a month from the 14th, 28-day February",
         kFrequencyTwiceAMonth,
         At(2023, 2, 14),
         {At(2023, 2, 14), At(2023, 2, 28), At(2023, 3, 14), At(2023, 3, 29)}},
        {"twice a month from the 14th, leap February",
         kFrequencyTwiceAMonth,
         At(2024, 2, 14),
         {At(2024, 2, 14), At(2024, 2, 29), At(2024, 3, 14)}},
        {"twice a month from the 16th",
         kFrequencyTwiceAMonth,
         At(2023, 1, 16),
         {At(2023, 1, 16), At(2023, 2, 1), At(2023, 2, 16), At(2023, 3, 3), At(2023, 3, 16),
          At(2023, 4, 1)}},
        {"twice a month from the 30th",
         kFrequencyTwiceAMonth,
         At(2023, 1, 30),
         {At(2023, 1, 30), At(2023, 2, 14), At(2023, 2, 28), At(2023, 3, 15), At(2023, 3, 30)}},
        {"twice a month from the 31st",
         kFrequencyTwiceAMonth,
         At(2023, 12, 31),
         {At(2023, 12, 31), At(2024, 1, 15), At(2024, 1, 31), At(2024, 2, 15), At(2024, 2, 29),
          At(2024, 3, 15), At(2024, 3, 31)}},
        {"twice a month with start and next date apart never steps back",
         kFrequencyTwiceAMonth,
         At(2024, 3, 5),
         {At(2024, 3, 10), At(2024, 4, 5), At(2024, 4, 20)}},
    };
    for (const Chain& chain : chains) {
        SCOPED_TRACE(chain.name);
        for (std::size_t i = 1; i < chain.dates.size(); ++i) {
            EXPECT_EQ(Text(CScheduledList::NextOccurrence(chain.dates[i - 1], chain.frequency,
                                                          chain.start)),
                      Text(chain.dates[i]))
                << "step " << i;
        }
    }
}

TEST(NextOccurrence, NoneWhenThereIsNoFurtherDate) {
    struct Row {
        const char* name;
        PalmTime date;
        int frequency;
    };
    const Row rows[] = {
        {"once", At(2024, 1, 1), kFrequencyOnce},
        {"frequency 10", At(2024, 1, 1), 10},
        {"frequency 255", At(2024, 1, 1), 255},
        {"negative frequency", At(2024, 1, 1), -1},
        {"no date", kNoDueDate, kFrequencyWeekly},
        {"weekly past the range", At(2040, 2, 1), kFrequencyWeekly},
        {"four weeks past the range", At(2040, 1, 20), kFrequencyFourWeeks},
        {"monthly past the range", At(2040, 1, 15), kFrequencyMonthly},
        {"annually past the range", At(2039, 6, 1), kFrequencyAnnually},
        {"twice a month past the range", At(2040, 2, 1), kFrequencyTwiceAMonth},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(CScheduledList::NextOccurrence(row.date, row.frequency, row.date), kNoDueDate);
    }
    EXPECT_EQ(
        CScheduledList::NextOccurrence(At(2040, 1, 25), kFrequencyTwiceAMonth, At(2040, 1, 10)),
        kNoDueDate);
    // The last dates that still fit.
    EXPECT_EQ(CScheduledList::NextOccurrence(At(2040, 1, 30), kFrequencyWeekly, 0), At(2040, 2, 6));
    EXPECT_EQ(CScheduledList::NextOccurrence(At(2039, 2, 6, 6), kFrequencyAnnually, 0),
              At(2040, 2, 6, 6));
}

TEST(AddMonthsTest, WrapsYearsAndClampsDays) {
    struct Row {
        PalmTime date;
        int n;
        PalmTime expected;
    };
    const Row rows[] = {
        {At(2023, 12, 15, 18, 5, 9), 1, At(2024, 1, 15, 18, 5, 9)},
        {At(2024, 1, 31), 1, At(2024, 2, 29)},
        {At(2024, 3, 31), -1, At(2024, 2, 29)},
        {At(2024, 1, 10), -13, At(2022, 12, 10)},
        {At(2024, 5, 31), 25, At(2026, 6, 30)},
        {At(2024, 5, 31), 0, At(2024, 5, 31)},
        {At(1904, 1, 1), -1, kNoDueDate},
        {At(2040, 1, 7), 1, kNoDueDate},
        {At(2024, 1, 1), 1000000, kNoDueDate},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(Text(row.date) + " + " + std::to_string(row.n));
        EXPECT_EQ(Text(AddMonths(row.date, row.n)), Text(row.expected));
    }
}

TEST_F(ScheduledTest, WindowEndsCountFromTheStartOfToday) {
    const PalmTime expected[] = {At(2024, 2, 11), At(2024, 2, 17), At(2024, 2, 24),
                                 At(2024, 3, 2),  At(2024, 3, 10), At(2024, 4, 10),
                                 At(2024, 5, 10), At(2024, 8, 10), At(2025, 2, 9)};
    for (int kind = 0; kind <= 8; ++kind)
        EXPECT_EQ(Text(CScheduledList::WindowEnd(kind)), Text(expected[kind])) << kind;
    EXPECT_EQ(CScheduledList::WindowEnd(9), At(2024, 2, 10));
    EXPECT_EQ(CScheduledList::WindowEnd(-1), At(2024, 2, 10));

    // A month from 31 January ends on the last day of February.
    clock_.Set(At(2023, 1, 31, 23, 59, 59));
    EXPECT_EQ(CScheduledList::WindowEnd(4), At(2023, 2, 28));
    // A window past the end of the range stops there.
    clock_.Set(At(2040, 1, 1));
    EXPECT_EQ(CScheduledList::WindowEnd(kWindowOneYear), kNoDueDate);
}

// --- upcoming ---

TEST_F(ScheduledTest, OccurrencesAreCountedFromOne) {
    auto item = MakeItem({.nextDue = At(2024, 2, 1), .count = 2});
    PalmTime date = 0;
    EXPECT_TRUE(CScheduledList::IsOccurrenceDue(*item, date, At(2025, 1, 1), 1));
    EXPECT_EQ(date, At(2024, 2, 8));
    EXPECT_TRUE(CScheduledList::IsOccurrenceDue(*item, date, At(2025, 1, 1), 2));
    EXPECT_EQ(date, At(2024, 2, 15));
    EXPECT_FALSE(CScheduledList::IsOccurrenceDue(*item, date, At(2025, 1, 1), 3));
    date = 0;
    EXPECT_FALSE(CScheduledList::IsOccurrenceDue(*item, date, At(2024, 1, 31), 1));
}

struct Entry {
    std::string payee = "Item";
    PalmTime due;
    bool operator==(const Entry&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Entry& e) {
    return os << e.payee << "@" << Text(e.due);
}

std::vector<Entry> Entries(const CUpcomingList& list) {
    std::vector<Entry> entries;
    for (std::size_t i = 0; i < list.GetCount(); ++i)
        entries.push_back({list.GetAt(i)->GetItem()->GetPayee(), list.GetAt(i)->GetDueDate()});
    return entries;
}

TEST_F(ScheduledTest, UpcomingListsEveryOccurrenceOfTheWindowByDate) {
    Add({.payee = "Bills", .nextDue = At(2024, 2, 12, 9), .count = 3});
    Add({.payee = "Alpha", .nextDue = At(2024, 2, 19, 9), .frequency = kFrequencyMonthly});
    Add({.payee = "Once", .nextDue = At(2024, 2, 11), .frequency = kFrequencyOnce});
    Add({.payee = "Used up", .nextDue = At(2024, 2, 11), .count = 0});
    Add({.payee = "No date", .nextDue = kNoDueDate});
    Add({.payee = "Savings", .account = kSavings, .nextDue = At(2024, 2, 10)});
    CScheduledItem* gone = Add({.payee = "Deleted", .nextDue = At(2024, 2, 11)});
    ASSERT_EQ(list_.DeleteItem(gone), 0);

    CUpcomingList upcoming;
    // A year: count 3 gives three entries; ties keep the later item first.
    EXPECT_EQ(list_.BuildUpcoming(kChecking, kWindowOneYear, upcoming), 16u);
    const std::vector<Entry> all = Entries(upcoming);
    const std::vector<Entry> head(all.begin(), all.begin() + 6);
    EXPECT_EQ(head, (std::vector<Entry>{{"Once", At(2024, 2, 11)},
                                        {"Bills", At(2024, 2, 12, 9)},
                                        {"Bills", At(2024, 2, 19, 9)},
                                        {"Alpha", At(2024, 2, 19, 9)},
                                        {"Bills", At(2024, 2, 26, 9)},
                                        {"Alpha", At(2024, 3, 19, 9)}}));
    EXPECT_EQ(all.back(), (Entry{"Alpha", At(2025, 1, 19, 9)}));

    // Due reaches the start of tomorrow.
    EXPECT_EQ(list_.BuildUpcoming(kChecking, kWindowDue, upcoming), 1u);
    EXPECT_EQ(list_.BuildUpcoming(kSavings, kWindowDue, upcoming), 1u);
    EXPECT_EQ(list_.BuildUpcoming(kAllAccountsId, 1, upcoming), 4u);
    EXPECT_EQ(Entries(upcoming).front(), (Entry{"Savings", At(2024, 2, 10)}));

    // Entries make no record ids; only an item's first entry is next due.
    ASSERT_EQ(list_.BuildUpcoming(kChecking, kWindowOneYear, upcoming), 16u);
    std::map<const CScheduledItem*, int> nextDue;
    for (std::size_t i = 0; i < upcoming.GetCount(); ++i) {
        const CUpcomingTrans* entry = upcoming.GetAt(i);
        EXPECT_TRUE(entry->GetId().IsNull());
        if (entry->IsNextDue())
            ++nextDue[entry->GetItem()];
    }
    EXPECT_EQ(nextDue.size(), 3u);
    for (const auto& [item, n] : nextDue)
        EXPECT_EQ(n, 1) << item->GetPayee();
}

TEST_F(ScheduledTest, UpcomingOrderIsThatOfInsertingEachEntryByDate) {
    Add({.payee = "A", .nextDue = At(2024, 2, 10), .frequency = kFrequencyTwoWeeks});
    Add({.payee = "B", .nextDue = At(2024, 2, 10)});
    Add({.payee = "C", .nextDue = At(2024, 2, 17), .frequency = kFrequencyFourWeeks});
    Add({.payee = "D", .nextDue = At(2024, 1, 20)});
    CUpcomingList built;
    const std::size_t count = list_.BuildUpcoming(kAllAccountsId, 7, built);

    CUpcomingList oneByOne;
    const PalmTime limit = CScheduledList::WindowEnd(7);
    for (std::size_t i = 0; i < list_.GetCount(false); ++i) {
        CScheduledItem* item = list_.GetItemAt(i, false);
        PalmTime date = 0;
        for (int n = 1;; ++n) {
            const PalmTime due = date == 0 ? item->GetNextDue() : date;
            if (!CScheduledList::IsOccurrenceDue(*item, date, limit, n))
                break;
            oneByOne.InsertByDate(std::make_unique<CUpcomingTrans>(due, item));
        }
    }
    EXPECT_EQ(oneByOne.GetCount(), count);
    EXPECT_EQ(Entries(built), Entries(oneByOne));
}

TEST_F(ScheduledTest, DueMeansByTheEndOfToday) {
    struct Row {
        const char* name;
        PalmTime nextDue;
        std::uint16_t count;
        bool due;
    };
    const Row rows[] = {
        {"last second of today", At(2024, 2, 10, 23, 59, 59), kRepeatIndefinitely, true},
        {"first second of tomorrow", At(2024, 2, 11), kRepeatIndefinitely, false},
        {"long overdue, one left", At(2001, 5, 5), 1, true},
        {"overdue, used up", At(2024, 2, 1), 0, false},
        {"no date", kNoDueDate, kRepeatIndefinitely, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CScheduledList list;
        list.SetPath(path_);
        ASSERT_EQ(list.InsertSorted(MakeItem({.nextDue = row.nextDue, .count = row.count})), 0);
        EXPECT_EQ(list.HasDueItems(), row.due);
        ASSERT_EQ(list.DeleteItem(list.GetItemAt(0, true)), 0);
        EXPECT_FALSE(list.HasDueItems());
    }
    CScheduledList empty;
    EXPECT_FALSE(empty.HasDueItems());
    // At the end of the range a date of none is still not due.
    clock_.Set(At(2040, 2, 6, 1));
    CScheduledList late;
    late.SetPath(path_);
    ASSERT_EQ(late.InsertSorted(MakeItem({.nextDue = kNoDueDate})), 0);
    EXPECT_FALSE(late.HasDueItems());
    CUpcomingList upcoming;
    EXPECT_EQ(late.BuildUpcoming(kAllAccountsId, kWindowOneYear, upcoming), 0u);
}

// --- entering and advancing ---

TEST_F(ScheduledTest, EnteringAnOccurrenceAdvancesOrUsesUpTheItem) {
    struct Row {
        const char* name;
        int frequency;
        std::uint16_t count;
        std::uint16_t countAfter;
        PalmTime dueAfter;
        bool deleted;
    };
    const PalmTime due = At(2024, 2, 10, 9);
    const Row rows[] = {
        {"indefinitely", kFrequencyMonthly, kRepeatIndefinitely, kRepeatIndefinitely,
         At(2024, 3, 10, 9), false},
        {"two left", kFrequencyMonthly, 2, 1, At(2024, 3, 10, 9), false},
        {"last one", kFrequencyMonthly, 1, 0, kNoDueDate, true},
        {"none left", kFrequencyMonthly, 0, 0, kNoDueDate, true},
        {"once stays", kFrequencyOnce, kRepeatIndefinitely, kRepeatIndefinitely, kNoDueDate, false},
        {"once, last one", kFrequencyOnce, 1, 0, kNoDueDate, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CScheduledList list;
        list.SetPath(path_);
        ASSERT_EQ(list.InsertSorted(MakeItem({.payee = "A", .nextDue = due})), 0);
        CScheduledItem* item =
            MakeItem({.payee = "B", .nextDue = due, .frequency = row.frequency, .count = row.count})
                .release();
        ASSERT_EQ(list.InsertSorted(std::unique_ptr<CScheduledItem>(item)), 0);
        ASSERT_EQ(list.InsertSorted(MakeItem({.payee = "C", .nextDue = due})), 0);
        item->SetAttribute(0);

        EXPECT_EQ(list.EnterOccurrence(CUpcomingTrans(due, item)), 0);
        EXPECT_EQ(item->GetRepeatCount(), row.countAfter);
        EXPECT_EQ(Text(item->GetNextDue()), Text(row.dueAfter));
        EXPECT_EQ(item->IsDeleted(), row.deleted);
        EXPECT_NE(item->GetAttribute() & CPalmListItem::kModified, 0);
        EXPECT_EQ(Payees(list, false).size(), row.deleted ? 2u : 3u);
        EXPECT_EQ(list.GetItemAt(2, true) == item, row.deleted);

        // The file holds the new state.
        CScheduledList again;
        ASSERT_EQ(again.Load(path_), 0);
        EXPECT_EQ(again.GetItemAt(row.deleted ? 2 : 1, true)->GetNextDue(), item->GetNextDue());
    }
}

TEST_F(ScheduledTest, EnteringForAnItemOfAnotherListChangesNothing) {
    CScheduledItem stranger;
    stranger.SetNextDue(At(2024, 2, 1));
    stranger.SetFrequency(kFrequencyWeekly);
    EXPECT_EQ(list_.EnterOccurrence(CUpcomingTrans(At(2024, 2, 1), &stranger)), -1);
    EXPECT_EQ(list_.EnterOccurrence(CUpcomingTrans(At(2024, 2, 1), nullptr)), -1);
    EXPECT_EQ(stranger.GetNextDue(), At(2024, 2, 1));
}

TEST_F(ScheduledTest, DeletingAnAccountsItemsKeepsTheOthers) {
    Add({.payee = "A", .account = kSavings});
    Add({.payee = "B"});
    Add({.payee = "C", .account = kSavings});
    Add({.payee = "D"});
    EXPECT_EQ(list_.DeleteById(kSavings), 0);
    EXPECT_EQ(Payees(list_), (std::vector<std::string>{"B", "D", "A", "C"}));
    EXPECT_EQ(list_.GetCount(false), 2u);
    CScheduledList again;
    ASSERT_EQ(again.Load(path_), 0);
    EXPECT_EQ(Payees(again, false), (std::vector<std::string>{"B", "D"}));
    EXPECT_EQ(list_.DeleteById(kGone), 0);
    EXPECT_EQ(list_.GetCount(false), 2u);
}

// A data set that records what it is asked to post.
class FakePoster : public CScheduledList::MPoster {
  public:
    bool HasAccount(const RecordId& id) const override { return id != kGone; }
    int PostOccurrence(const CUpcomingTrans& occurrence) override {
        const std::string payee = occurrence.GetItem()->GetPayee();
        if (payee == failingPayee)
            return failure;
        posted.push_back({payee, occurrence.GetDueDate()});
        return 0;
    }
    int SaveAccounts() override {
        ++accountSaves;
        listFileAtAccountSave = test::ReadFileBytes(listPath);
        return saveResult;
    }

    std::string listPath;
    std::string failingPayee;
    int failure = 0;
    int saveResult = 0;
    std::vector<Entry> posted;
    int accountSaves = 0;
    std::string listFileAtAccountSave;
};

class EnterDueTest : public ScheduledTest {
  protected:
    void SetUp() override {
        ScheduledTest::SetUp();
        poster_.listPath = path_;
    }
    FakePoster poster_;
};

TEST_F(EnterDueTest, CatchesUpEveryDueOccurrenceAndSavesOnce) {
    CScheduledItem* weekly = Add({.payee = "Weekly", .nextDue = At(2024, 1, 13, 9)});
    CScheduledItem* three = Add({.payee = "Three", .nextDue = At(2024, 1, 1), .count = 3});
    CScheduledItem* manual = Add({.payee = "Manual", .nextDue = At(2024, 1, 1), .mode = 2});
    CScheduledItem* later = Add({.payee = "Later", .nextDue = At(2024, 2, 11)});
    CScheduledItem* once =
        Add({.payee = "Once", .nextDue = At(2024, 2, 10, 23, 59, 59), .frequency = kFrequencyOnce});
    const std::string before = test::ReadFileBytes(path_);

    EXPECT_EQ(list_.EnterDueTransactions(poster_), 0);
    EXPECT_EQ(poster_.posted, (std::vector<Entry>{{"Once", At(2024, 2, 10, 23, 59, 59)},
                                                  {"Three", At(2024, 1, 1)},
                                                  {"Three", At(2024, 1, 8)},
                                                  {"Three", At(2024, 1, 15)},
                                                  {"Weekly", At(2024, 1, 13, 9)},
                                                  {"Weekly", At(2024, 1, 20, 9)},
                                                  {"Weekly", At(2024, 1, 27, 9)},
                                                  {"Weekly", At(2024, 2, 3, 9)},
                                                  {"Weekly", At(2024, 2, 10, 9)}}));
    EXPECT_EQ(weekly->GetNextDue(), At(2024, 2, 17, 9));
    EXPECT_TRUE(three->IsDeleted());
    EXPECT_EQ(three->GetRepeatCount(), 0);
    EXPECT_EQ(manual->GetNextDue(), At(2024, 1, 1));
    EXPECT_EQ(later->GetNextDue(), At(2024, 2, 11));
    EXPECT_EQ(once->GetNextDue(), kNoDueDate);
    EXPECT_FALSE(once->IsDeleted());

    // The accounts are saved first, once, while the list file is unchanged.
    EXPECT_EQ(poster_.accountSaves, 1);
    EXPECT_EQ(poster_.listFileAtAccountSave, before);
    CScheduledList again;
    ASSERT_EQ(again.Load(path_), 0);
    EXPECT_EQ(Payees(again, false),
              (std::vector<std::string>{"Later", "Manual", "Once", "Weekly"}));
    EXPECT_EQ(again.GetItemAt(3, false)->GetNextDue(), At(2024, 2, 17, 9));

    // Nothing is due any more: nothing is saved.
    poster_.posted.clear();
    EXPECT_EQ(list_.EnterDueTransactions(poster_), 0);
    EXPECT_TRUE(poster_.posted.empty());
    EXPECT_EQ(poster_.accountSaves, 1);
}

TEST_F(EnterDueTest, ItemsOfMissingAccountsAreSkipped) {
    CScheduledItem* orphan = Add({.payee = "Orphan", .account = kGone, .nextDue = At(2024, 1, 1)});
    Add({.payee = "Rent", .nextDue = At(2024, 2, 10), .frequency = kFrequencyMonthly});
    EXPECT_EQ(list_.EnterDueTransactions(poster_), 0);
    EXPECT_EQ(poster_.posted, (std::vector<Entry>{{"Rent", At(2024, 2, 10)}}));
    EXPECT_EQ(orphan->GetNextDue(), At(2024, 1, 1));
    EXPECT_TRUE(sink_.reports.empty());
}

TEST_F(EnterDueTest, AFailedPostStopsOnlyItsItem) {
    CScheduledItem* bad = Add({.payee = "Bad", .nextDue = At(2024, 2, 1)});
    Add({.payee = "Good", .nextDue = At(2024, 2, 3)});
    poster_.failingPayee = "Bad";
    poster_.failure = 5;
    EXPECT_EQ(list_.EnterDueTransactions(poster_), 5);
    EXPECT_EQ(poster_.posted,
              (std::vector<Entry>{{"Good", At(2024, 2, 3)}, {"Good", At(2024, 2, 10)}}));
    EXPECT_EQ(bad->GetNextDue(), At(2024, 2, 1));
    // What was posted is still saved.
    EXPECT_EQ(poster_.accountSaves, 1);
    CScheduledList again;
    ASSERT_EQ(again.Load(path_), 0);
    EXPECT_EQ(again.GetItemAt(1, false)->GetNextDue(), At(2024, 2, 17));
}

TEST_F(EnterDueTest, ASaveFailureIsReturned) {
    Add({.payee = "Rent", .nextDue = At(2024, 2, 10)});
    const std::string before = test::ReadFileBytes(path_);
    poster_.saveResult = -1;
    EXPECT_EQ(list_.EnterDueTransactions(poster_), -1);
    // The schedule on disk still expects the occurrence.
    EXPECT_EQ(test::ReadFileBytes(path_), before);

    // The list's own save failure is reported.
    test::WriteFileBytes(dir_ + "/plain", "not a folder");
    CScheduledList unsaved;
    unsaved.SetPath(dir_ + "/plain/" + kScheduledTransListFile);
    unsaved.AddItem(MakeItem({.payee = "Gym", .nextDue = At(2024, 2, 10)}));
    poster_.saveResult = 0;
    EXPECT_EQ(unsaved.EnterDueTransactions(poster_), -1);
    ASSERT_EQ(sink_.reports.size(), 1u);
    EXPECT_EQ(sink_.reports[0].string_id, 185);
}

TEST_F(EnterDueTest, AnIndefiniteItemFromLongAgoEnds) {
    // Weekly since 1904: about 6,300 occurrences, then the item is current.
    CScheduledItem* item = Add({.payee = "Old", .nextDue = At(1904, 1, 2)});
    EXPECT_EQ(list_.EnterDueTransactions(poster_), 0);
    EXPECT_GT(poster_.posted.size(), 6000u);
    EXPECT_GT(item->GetNextDue(), At(2024, 2, 10, 23, 59, 59));
    EXPECT_LE(item->GetNextDue(), At(2024, 2, 17, 23, 59, 59));
}

}  // namespace
}  // namespace tallowmere
