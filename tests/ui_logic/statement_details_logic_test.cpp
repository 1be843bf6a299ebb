#include "ui/logic/statement_details_logic.h"

#include <gtest/gtest.h>

#include <vector>

#include "ui_logic/small_dialog_fixture.h"

namespace tallowmere::ui {
namespace {

using test::At;

StatementDetailsValues Values(int focusMode, std::uint8_t type = 0) {
    StatementDetailsValues values;
    values.accountType = type;
    values.closingDate = At(2012, 3, 15, 10, 30);
    values.beginningBalance = "120.00";
    values.endingBalance = "87.50";
    values.focusMode = focusMode;
    return values;
}

TEST(StatementDetailsLogic, TheFocusModeSetsTheEndingBalanceAndTheFocus) {
    struct Case {
        int mode;
        const char* ending;
        int focus;
        bool selected;
    };
    const Case cases[] = {
        {0, "", kStatementClosingDate, false},  // never reconciled
        {1, "87.50", kStatementEnding, true},   // a reconcile under way
        {2, "", kStatementEnding, false},       // reconciled before
        {5, "", kStatementClosingDate, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        const StatementDetailsForm form = OpenStatementDetails(Values(c.mode));
        EXPECT_EQ(c.ending, form.endingBalance);
        EXPECT_EQ("120.00", form.beginningBalance);
        EXPECT_EQ(At(2012, 3, 15, 10, 30), form.closingDate);
        EXPECT_EQ(c.focus, form.focusId);
        EXPECT_EQ(c.selected, form.selectFocusText);
    }
}

TEST(StatementDetailsLogic, TheCreditHintIsForCreditCardsAndLinesOfCreditOnly) {
    for (const int type : {0, 1, 2, 3, 4, 5, 6, 7, 8, 255}) {
        SCOPED_TRACE(type);
        const StatementDetailsForm form =
            OpenStatementDetails(Values(0, static_cast<std::uint8_t>(type)));
        EXPECT_EQ(type == 3 || type == 7, form.showCreditHint);
    }
}

TEST(StatementDetailsLogic, ContinueWantsTheBeginningThenTheEndingBalance) {
    struct Case {
        const char* beginning;
        const char* ending;
        int message;  // 0: closes
        int focus;
    };
    const Case cases[] = {
        {"", "", 149, kStatementBeginning},
        {"", "5", 149, kStatementBeginning},
        {"10", "", 150, kStatementEnding},
        {"99999999999999999999", "5", 149, kStatementBeginning},
        {"5", "-72057594037927937", 150, kStatementEnding},
        {"0", "-72057594037927936.99", 0, 0},
        {"abc", "1", 149, kStatementBeginning},
        {"12a", "1", 149, kStatementBeginning},
        {"$", "1", 149, kStatementBeginning},
        {"-", "1", 149, kStatementBeginning},
        {"5", "1.2.x", 150, kStatementEnding},
        {"$1,234.50", "-$5", 150, kStatementEnding},
        {"$1,234.50", "$-5", 0, 0},
        {"+3", "-0.5", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.beginning << " / " << c.ending);
        StatementDetailsForm form = OpenStatementDetails(Values(1));
        form.beginningBalance = c.beginning;
        form.endingBalance = c.ending;
        StatementDetailsValues values = Values(1);
        values.beginningBalance = "unchanged";
        test::RecordingMessages messages;
        const OkResult ok = AcceptStatementDetails(form, messages, values);
        if (c.message == 0) {
            EXPECT_TRUE(ok.close);
            EXPECT_TRUE(messages.shown.empty());
            EXPECT_EQ(c.beginning, values.beginningBalance);
            EXPECT_EQ(c.ending, values.endingBalance);
        } else {
            EXPECT_FALSE(ok.close);
            EXPECT_EQ(c.focus, ok.focusId);
            EXPECT_EQ(std::vector<int>{c.message}, messages.Ids());
            EXPECT_EQ("unchanged", values.beginningBalance);
        }
    }
}

TEST(StatementDetailsLogic, TheClosingDateKeepsItsTimeOfDay) {
    struct Case {
        PalmTime opened;
        PalmTime picked;
        PalmTime closing;
    };
    const Case cases[] = {
        {At(2012, 3, 15, 10, 30), At(2012, 3, 15), At(2012, 3, 15, 10, 30)},
        {At(2012, 3, 15, 10, 30), At(2012, 4, 30), At(2012, 4, 30, 10, 30)},
        {At(2012, 3, 15), At(1904, 1, 1), 0},
        // The last day of the range ends at 06:28:15.
        {At(2012, 3, 15, 10, 30), At(2040, 2, 6), kPalmTimeMax},
        {At(2012, 3, 15, 5, 0), At(2040, 2, 6), At(2040, 2, 6, 5, 0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.picked);
        StatementDetailsValues values = Values(1);
        values.closingDate = c.opened;
        StatementDetailsForm form = OpenStatementDetails(values);
        PickClosingDay(form, c.picked);
        test::RecordingMessages messages;
        ASSERT_TRUE(AcceptStatementDetails(form, messages, values).close);
        EXPECT_EQ(c.closing, values.closingDate);
    }
}

}  // namespace
}  // namespace tallowmere::ui
