#include "ui/logic/export_range_logic.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>

#include "model/accounts.h"
#include "model/preferences.h"
#include "model/string_table.h"
#include "model/transaction_type.h"
#include "ui_logic/upcoming_fixture.h"

namespace tallowmere::ui {
namespace {

using test::At;

class ExportRangeLogicTest : public test::DialogSceneTest {};

TEST_F(ExportRangeLogicTest, OpeningFillsTheMissingDatesAndKeepsTheRangeInOrder) {
    const PalmTime endOfToday = At(2012, 3, 15, 23, 59, 59);
    struct Case {
        const char* name;
        ExportRange given;
        int choice;
        PalmTime start;
        PalmTime end;
        bool selectedEnabled;
    };
    const Case cases[] = {
        {"nothing set", {0, 0, 0, false}, 0, endOfToday - 2592000, endOfToday, true},
        {"the last export's end",
         {2, At(2012, 2, 29, 23, 59, 59), 0, false},
         2,
         At(2012, 2, 29, 23, 59, 59),
         endOfToday,
         true},
        {"a start after the end",
         {2, At(2012, 6, 1), At(2012, 5, 1), false},
         2,
         At(2012, 5, 1),
         At(2012, 5, 1),
         true},
        {"selected without a selection",
         {1, 0, 0, true},
         0,
         endOfToday - 2592000,
         endOfToday,
         false},
        {"selected with one", {1, 0, 0, false}, 1, endOfToday - 2592000, endOfToday, true},
        {"date range without a selection",
         {2, 0, 0, true},
         2,
         endOfToday - 2592000,
         endOfToday,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExportRange range = c.given;
        const ExportForm form = OpenExport(range);
        EXPECT_EQ(c.choice, range.choice);
        EXPECT_EQ(c.start, range.start);
        EXPECT_EQ(c.end, range.end);
        EXPECT_EQ(c.choice, form.choice);
        EXPECT_EQ(PalmTimeDayBound(c.start, 1), form.fromDay);
        EXPECT_EQ(PalmTimeDayBound(c.end, 1), form.toDay);
        EXPECT_EQ(c.selectedEnabled, form.selectedEnabled);
    }
}

TEST_F(ExportRangeLogicTest, OkTakesWholeDaysAndRefusesFromAfterTo) {
    ExportRange range{2, 7, 7, false};
    // The same day both ways is a range of one whole day.
    ExportForm form{kExportDateRange, At(2012, 3, 1, 15), At(2012, 3, 1, 8), true};
    ASSERT_TRUE(AcceptExport(form, messages_, range).close);
    EXPECT_EQ(At(2012, 3, 1), range.start);
    EXPECT_EQ(At(2012, 3, 1, 23, 59, 59), range.end);
    EXPECT_TRUE(messages_.shown.empty());

    range = {2, 7, 7, false};
    form = {kExportAll, At(2012, 3, 2), At(2012, 3, 1), true};
    const OkResult refused = AcceptExport(form, messages_, range);
    EXPECT_FALSE(refused.close);
    EXPECT_EQ(kExportFrom, refused.focusId);
    EXPECT_EQ(std::vector<int>{kStringFromAfterTo}, messages_.Ids());
    EXPECT_EQ(7u, range.start);
    EXPECT_EQ(2, range.choice);
    EXPECT_EQ("The \"from\" date is after the \"to\" date. Please correct and try again.",
              messages_.shown[0].text);
}

// The view opens with the last export's choice and end, and stores them
// after OK: the next range starts on the day the last one ended.
TEST_F(ExportRangeLogicTest, TheLastExportsChoiceAndEndAreStoredAndReadBack) {
    struct Case {
        std::optional<std::uint32_t> type;
        int choice;
    };
    for (const Case& c : {Case{std::nullopt, 0}, Case{0, 0}, Case{1, 1}, Case{2, 2}, Case{3, 0},
                          Case{0xFFFFFFFF, 0}}) {
        SCOPED_TRACE(c.choice);
        if (c.type)
            SetPrefLastExportType(*c.type);
        EXPECT_EQ(c.choice, ExportRangeFromPrefs(false).choice);
    }
    SetPrefLastExportDate(0);
    ExportRange range = ExportRangeFromPrefs(false);
    EXPECT_EQ(0u, range.start);
    EXPECT_EQ(0u, range.end);
    OpenExport(range);
    ASSERT_TRUE(
        AcceptExport({kExportDateRange, At(2012, 2, 1), At(2012, 2, 20), true}, messages_, range)
            .close);
    StoreExportRange(range);
    EXPECT_EQ(2u, GetPrefLastExportType());
    EXPECT_EQ(At(2012, 2, 20, 23, 59, 59), GetPrefLastExportDate());

    ExportRange next = ExportRangeFromPrefs(true);
    EXPECT_TRUE(next.noSelection);
    const ExportForm form = OpenExport(next);
    EXPECT_EQ(kExportDateRange, form.choice);
    EXPECT_EQ(At(2012, 2, 20), form.fromDay);
    EXPECT_EQ(At(2012, 3, 15), form.toDay);
}

TEST_F(ExportRangeLogicTest, TheChoiceSaysWhichTransactionsGoInRegisterOrder) {
    CAccount& checking = Account("Checking");
    for (const PalmTime date : {At(2012, 2, 28, 23, 59, 59), At(2012, 3, 1), At(2012, 3, 2, 12),
                                At(2012, 3, 3, 23, 59, 59), At(2012, 3, 4)}) {
        auto t = std::make_unique<CTransaction>();
        t->SetDate(date);
        t->SetAmount(100);
        t->SetTypeId(DepositTypeId);
        checking.AddTransaction(std::move(t));
    }
    const auto& all = checking.Transactions();
    const std::vector<const CTransaction*> selected = {all[3].get(), all[1].get()};
    struct Case {
        int choice;
        std::vector<std::size_t> rows;
    };
    const Case cases[] = {
        {kExportAll, {0, 1, 2, 3, 4}},
        {kExportSelected, {3, 1}},
        {kExportDateRange, {1, 2, 3}},  // 1 to 3 March, both days whole
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.choice);
        const ExportRange range{c.choice, At(2012, 3, 1), At(2012, 3, 3, 23, 59, 59), false};
        const auto chosen = ExportedTransactions(checking, range, selected);
        ASSERT_EQ(c.rows.size(), chosen.size());
        for (std::size_t n = 0; n < c.rows.size(); ++n)
            EXPECT_EQ(all[c.rows[n]].get(), chosen[n]) << n;
    }
}

}  // namespace
}  // namespace tallowmere::ui
