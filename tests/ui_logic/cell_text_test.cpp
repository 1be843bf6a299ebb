#include "ui/logic/cell_text.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "model/category.h"
#include "model/class_item.h"
#include "model/transaction_type.h"
#include "ui_logic/print_test_data.h"

namespace tallowmere::ui {
namespace {

// Every character 10 wide; counts the measures taken.
struct CharMeasure {
    int calls = 0;
    std::int64_t operator()(std::string_view text) {
        ++calls;
        std::int64_t n = 0;
        for (char c : text)
            n += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 10 : 0;
        return n;
    }
};

TEST(CellTextTest, FitCellText) {
    struct Case {
        const char* text;
        std::int64_t width;
        const char* fitted;
    };
    const Case cases[] = {
        {"Groceries", 90, "Groceries"},  // fits exactly: unchanged
        {"Groceries", 89, "Groce..."},   // 5 characters and the dots
        {"Groceries", 40, "G..."},
        {"Groceries", 30, "..."},  // nothing of it fits
        {"Groceries", 0, "..."},
        {"Groceries", -20, "..."},
        {"", 0, ""},
        {"ab", 10, "..."},
        {"Caf\xC3\xA9 cr\xC3\xA8me", 70, "Caf\xC3\xA9..."},  // whole characters only
        {"\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC", 40, "\xE2\x82\xAC..."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.text << " in " << c.width);
        CharMeasure measure;
        std::int64_t width = -1;
        EXPECT_EQ(FitCellText(c.text, c.width, std::ref(measure), &width), c.fitted);
        EXPECT_EQ(width, CharMeasure()(c.fitted));
    }
}

TEST(CellTextTest, FittingALongTextTakesFewMeasures) {
    const std::string memo(160, 'm');
    CharMeasure measure;
    EXPECT_EQ(FitCellText(memo, 100, std::ref(measure)), "mmmmmmm...");
    EXPECT_LE(measure.calls, 10);
}

TEST(CellTextTest, LineBreaksFlattened) {
    EXPECT_EQ(FlattenLineBreaks("one\r\ntwo\nthree\rfour"), "one twothree four");
    EXPECT_EQ(FlattenLineBreaks("\r\n\r\n"), "  ");
    EXPECT_EQ(FlattenLineBreaks("plain"), "plain");
}

TEST(CellTextTest, MoneyCells) {
    struct Case {
        const char* symbol;
        Cents value;
        bool decimals;
        const char* text;
        bool negative;
    };
    const Case cases[] = {
        {"$", 123456, true, "$1234.56", false},
        {"$", -5, true, "$-.05", true},
        {"$", 0, true, "$0", false},
        {"\xA3", -150, true, "\xC2\xA3-1.50", true},
        {"$", 151, false, "$2", false},
        {"$", -199, false, "$-1", true},
        // Whole units of amounts beyond 32 bits stay whole.
        {"$", 500000000000, false, "$5000000000", false},
        {"", std::numeric_limits<Cents>::min(), true, "-92233720368547758.08", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const CellText cell = MoneyCellText(c.symbol, c.value, c.decimals);
        EXPECT_EQ(cell.text, c.text);
        EXPECT_TRUE(cell.money);
        EXPECT_EQ(cell.negative, c.negative);
    }
}

TEST(CellTextTest, RegisterCells) {
    test::PrintData data;
    CTransaction check;
    check.SetTypeId(CheckTypeId);
    check.SetCheckNumber(3000000000u);
    check.SetAmount(4567);
    check.SetDate(test::Day(2012, 2, 29));
    check.SetPayeeName("Caf\xE9 Ole");
    check.SetCategoryId(test::kFuelId);
    check.SetClassId(PersonalClassId);
    check.SetMemo("two\r\nlines");
    CTransaction deposit;
    deposit.SetTypeId(DepositTypeId);
    deposit.SetAmount(1000);
    deposit.SetCategoryId(SplitMarkerId);
    CTransaction unknownType;
    unknownType.SetTypeId(RecordId::Fixed(0x0055));
    const MoneyStyle dollars{"$", true};
    struct Case {
        const CTransaction* t;
        int column;
        const char* text;
        bool money;
        bool negative;
    };
    const Case cases[] = {
        {&check, kColumnStatus, "", false, false},
        {&check, kColumnIcon, "", false, false},
        {&check, kColumnDate, "2/29/12", false, false},
        {&check, kColumnType, "3000000000", false, false},
        {&check, kColumnPayee, "Caf\xC3\xA9 Ole", false, false},
        {&check, kColumnCategory, "Auto:Fuel", false, false},
        {&check, kColumnClass, "Personal", false, false},
        {&check, kColumnMemo, "two\r\nlines", false, false},  // the caller flattens
        {&check, kColumnAmount, "$-45.67", true, true},
        {&check, kColumnBalance, "$-12.00", true, true},
        {&check, 10, "", false, false},
        {&deposit, kColumnType, "Dep", false, false},
        {&deposit, kColumnCategory, "-SPLIT-", false, false},
        {&deposit, kColumnAmount, "$10.00", true, false},
        {&unknownType, kColumnType, "", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "column " << c.column << ": " << c.text);
        const CellText cell = RegisterCellText(data.Data(), *c.t, c.column, dollars, -1200);
        EXPECT_EQ(cell.text, c.text);
        EXPECT_EQ(cell.money, c.money);
        EXPECT_EQ(cell.negative, c.negative);
    }
}

TEST(CellTextTest, ReportCells) {
    test::PrintData data;
    data.FillRegister(data.Account("Checking"), 10);
    ASSERT_EQ(data.Data().Categories().SetBudgetAmount(test::kFuelId, 10000), 0);
    const auto report = data.MakeReport(true, kReportLastQuarter);
    const CReportItem* fuel = nullptr;
    for (std::size_t i = 0; i < report->GetItemCount(); ++i) {
        if (report->GetItem(i)->GetId() == test::kFuelId)
            fuel = report->GetItem(i);
    }
    ASSERT_NE(fuel, nullptr);
    // Spent 52.10 and 61.00 on fuel against 100.00 a month, 300.00 a quarter.
    const MoneyStyle dollars{"$", true};
    EXPECT_EQ(ReportCellText(*report, *fuel, kColumnReportName, dollars, true).text, "    Fuel");
    EXPECT_EQ(ReportCellText(*report, *fuel, kColumnReportName, dollars, false).text, "Auto:Fuel");
    EXPECT_EQ(ReportCellText(*report, *fuel, kColumnReportBudget, dollars, true).text, "$300.00");
    const CellText amount = ReportCellText(*report, *fuel, kColumnReportAmount, dollars, true);
    EXPECT_EQ(amount.text, "$-113.10");
    EXPECT_TRUE(amount.negative);
    EXPECT_EQ(ReportCellText(*report, *fuel, kColumnReportDifference, dollars, true).text,
              "$-413.10");
    EXPECT_EQ(ReportCellText(*report, *fuel, kColumnReportIcon, dollars, true).text, "");
    EXPECT_EQ(
        ReportCellText(*report, *fuel, kColumnReportAmount, MoneyStyle{"$", false}, true).text,
        "$-113");
}

}  // namespace
}  // namespace tallowmere::ui
