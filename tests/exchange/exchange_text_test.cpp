// The texts that the CSV and QIF files share: dates in six layouts, amounts
// in two number formats, the line reader, CSV fields and the text encoding
// of files written elsewhere.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "exchange/amount_text.h"
#include "exchange/csv_fields.h"
#include "exchange/date_text.h"
#include "exchange/import_text.h"
#include "exchange/line_reader.h"
#include "model/palm_time.h"
#include "support/test_env.h"

namespace tallowmere::exchange {
namespace {

PalmTime Day(int year, int month, int day) {
    DateFields f;
    f.year = static_cast<std::int16_t>(year);
    f.month = static_cast<std::int16_t>(month);
    f.day = static_cast<std::int16_t>(day);
    f.hour = 15;  // the time of day is never written
    return f.ToPalmTime();
}

TEST(DateText, WritesEachLayout) {
    struct Case {
        int year, month, day;
        const char* texts[kDateLayoutCount];
    };
    const Case cases[] = {
        {2005, 3, 7, {"3/7/05", "3/7/2005", "7/3/05", "7/3/2005", "05/3/7", "2005/3/7"}},
        {1999,
         12,
         31,
         {"12/31/99", "12/31/1999", "31/12/99", "31/12/1999", "99/12/31", "1999/12/31"}},
        {2000, 1, 1, {"1/1/00", "1/1/2000", "1/1/00", "1/1/2000", "00/1/1", "2000/1/1"}},
    };
    for (const Case& c : cases) {
        const PalmTime date = Day(c.year, c.month, c.day);
        for (int layout = 0; layout < kDateLayoutCount; ++layout) {
            EXPECT_EQ(FormatDateText(date, layout), c.texts[layout]) << "layout " << layout;
            // Every written date reads back as the same day.
            const auto back = ParseDateText(c.texts[layout], layout);
            ASSERT_TRUE(back.has_value()) << c.texts[layout];
            const DateFields f = DateFields::FromPalmTime(*back);
            EXPECT_EQ(f.year, c.year);
            EXPECT_EQ(f.month, c.month);
            EXPECT_EQ(f.day, c.day);
        }
    }
    // A layout outside 0-5 writes as the default.
    EXPECT_EQ(FormatDateText(Day(2005, 3, 7), 9), "3/7/2005");
}

TEST(DateText, ReadsFieldsOrRefuses) {
    struct Case {
        int layout;
        const char* text;
        int year, month, day;  // year 0: malformed
    };
    const Case cases[] = {
        {1, "3/7/80", 1980, 3, 7},
        {1, "3/7/79", 2079, 3, 7},
        {1, "3/7/99", 1999, 3, 7},
        {1, "3/7/00", 2000, 3, 7},
        {1, "3/7/1850", 0, 0, 0},
        {1, "3/7/100", 0, 0, 0},
        {1, "3/7/1900", 1900, 3, 7},
        {1, "3/7", 0, 0, 0},
        {1, "3/07", 0, 0, 0},
        {1, "3/7/", 0, 0, 0},
        {1, "", 0, 0, 0},
        {1, "/3/7/05", 0, 0, 0},
        // The separator is one character; a blank before it leaves the slash
        // where the second number should begin.
        {1, " 3 / 7 / 05", 0, 0, 0},
        {1, " 3/ 7/ 05", 2005, 3, 7},
        // The apostrophe year that other programs write.
        {1, "1/ 5'05", 2005, 1, 5},
        {1, "3/7/05 trailing", 2005, 3, 7},
        {1, "3.7.2005", 2005, 3, 7},
        // At most two digits for the second number.
        {1, "3/123/05", 0, 0, 0},
        {0, "12/31/99", 1999, 12, 31},
        {2, "31/12/99", 1999, 12, 31},
        {3, "13/1/05", 2005, 1, 13},
        {4, "05/3/7", 2005, 3, 7},
        {5, "2005/3/7", 2005, 3, 7},
        {7, "3/7/2005", 2005, 3, 7},
    };
    for (const Case& c : cases) {
        int month = 0, day = 0, year = 0;
        const bool ok = ReadDateFields(c.text, c.layout, month, day, year);
        EXPECT_EQ(ok, c.year != 0) << c.text;
        if (ok && c.year != 0) {
            EXPECT_EQ(year, c.year) << c.text;
            EXPECT_EQ(month, c.month) << c.text;
            EXPECT_EQ(day, c.day) << c.text;
        }
    }
}

TEST(DateText, MakesOnlyDaysThatExistInTheRange) {
    struct Case {
        int layout;
        const char* text;
        bool ok;
    };
    const Case cases[] = {
        {1, "3/7/05", true},   {1, "2/29/2004", true},   {1, "2/29/2005", false},
        {1, "13/1/05", false},  // month 13
        {1, "0/1/05", false},   // month 0
        {1, "1/32/05", false},  // day 32
        {1, "3/7/79", false},   // 2079 lies past the end of the date range
        {1, "1/1/1904", true}, {1, "12/31/1903", false}, {1, "2/6/2040", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseDateText(c.text, c.layout).has_value(), c.ok) << c.text;

    // Each imported date is a distinct time of its day.
    const auto a = ParseDateText("3/7/05", 1);
    const auto b = ParseDateText("3/7/05", 1);
    ASSERT_TRUE(a && b);
    EXPECT_NE(*a, *b);
    EXPECT_EQ(PalmTimeDayBound(*a, 1), PalmTimeDayBound(*b, 1));
}

TEST(AmountText, ReadsInBothNumberFormats) {
    struct Case {
        const char* text;
        Cents point;  // number format 0
        Cents comma;  // number format 1
    };
    const Case cases[] = {
        {"1,234.56", 123456, 123},  // a decimal comma stops after two places
        {"-.05", -5, -500},         // "." groups in format 1
        {"$12", 1200, 1200},
        {"12.345", 1234, 1234500},
        {"1.234,56", 123, 123456},
        {" -100.00 ", -10000, -1000000},
        {"abc", 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseAmountText(c.text, kNumberFormatPoint), c.point) << c.text;
        EXPECT_EQ(ParseAmountText(c.text, kNumberFormatComma), c.comma) << c.text;
    }
}

TEST(AmountText, WritesFullHundredthsAndTellsTextsWithoutNumber) {
    EXPECT_EQ(FormatAmountText(123456, kNumberFormatPoint), "1234.56");
    EXPECT_EQ(FormatAmountText(123456, kNumberFormatComma), "1234,56");
    EXPECT_EQ(FormatAmountText(-10000, kNumberFormatPoint), "-100.00");
    // Zero and single cents in the short forms that the money texts use.
    EXPECT_EQ(FormatAmountText(0, kNumberFormatComma), "0");
    EXPECT_EQ(FormatAmountText(-5, kNumberFormatPoint), "-.05");
    EXPECT_EQ(FormatAmountText(5, kNumberFormatComma), ",05");
    for (const Cents v : {Cents{5}, Cents{-5}, Cents{123456789}, Cents{-1}}) {
        for (const int format : {kNumberFormatPoint, kNumberFormatComma})
            EXPECT_EQ(ParseAmountText(FormatAmountText(v, format), format), v);
    }

    for (const char* text : {"12", "-.05", "$1", "+0", " 7 "})
        EXPECT_TRUE(IsAmountText(text, kNumberFormatPoint)) << text;
    for (const char* text : {"", "abc", "$", "-", "..", "x12"})
        EXPECT_FALSE(IsAmountText(text, kNumberFormatPoint)) << text;

    Cents out = 1;
    EXPECT_FALSE(AddAmounts(std::numeric_limits<Cents>::max(), 1, out));
    EXPECT_FALSE(SubtractAmounts(std::numeric_limits<Cents>::min(), 1, out));
    EXPECT_EQ(out, 1);
    EXPECT_TRUE(SubtractAmounts(5, 7, out));
    EXPECT_EQ(out, -2);
}

TEST(LineReader, SplitsTrimsAndCountsLines) {
    const std::string longLine(300, 'x');
    struct Case {
        std::string text;
        std::vector<std::pair<std::size_t, std::string>> lines;
    };
    const std::vector<Case> cases = {
        {"a\r\nb\r\n", {{1, "a"}, {2, "b"}}},
        {"a\nb", {{1, "a"}, {2, "b"}}},
        {"a\rb\r", {{1, "a"}, {2, "b"}}},
        {"a\r\n\nb", {{1, "a"}, {3, "b"}}},
        {"  a  \n\n\n b\t\n", {{1, "a"}, {4, "b"}}},
        {"\r\n \t\r\n", {}},
        {"", {}},
        // No length limit: the whole line, and the next starts after it.
        {longLine + "\r\nnext", {{1, longLine}, {2, "next"}}},
    };
    for (const Case& c : cases) {
        LineReader reader(c.text);
        std::vector<std::pair<std::size_t, std::string>> got;
        std::string_view line;
        while (reader.Next(line))
            got.emplace_back(reader.LineNumber(), std::string(line));
        EXPECT_EQ(got, c.lines) << c.text;
        EXPECT_TRUE(line.empty());
        EXPECT_TRUE(reader.AtEnd());
    }
}

TEST(LineReader, PutBackAndSkipTo) {
    const std::string text = "one\r\ntwo\nthree\n\nfour";
    LineReader reader(text);
    std::string_view line;
    ASSERT_TRUE(reader.Next(line));
    ASSERT_TRUE(reader.Next(line));
    EXPECT_EQ(line, "two");
    reader.PutBack();
    ASSERT_TRUE(reader.Next(line));
    EXPECT_EQ(line, "two");
    EXPECT_EQ(reader.LineNumber(), 2u);
    // A record that went on over "three" and its line end.
    reader.SkipTo(text.find("three") + 5);
    ASSERT_TRUE(reader.Next(line));
    EXPECT_EQ(line, "four");
    EXPECT_EQ(reader.LineNumber(), 5u);
}

TEST(CsvFields, WritesQuotedFields) {
    struct Case {
        std::string text, field;
    };
    const Case cases[] = {
        {"plain", "\"plain\""},
        {"", "\"\""},
        {"Joe's \"Deli\"", "\"Joe's \"\"Deli\"\"\""},
        {"a,b", "\"a,b\""},
        {"one\r\ntwo\nthree\rfour", "\"one\vtwo\vthree\vfour\""},
    };
    for (const Case& c : cases) {
        std::string row;
        AppendCsvField(row, c.text);
        EXPECT_EQ(row, c.field);
        // And back.
        std::size_t pos = 0;
        std::vector<std::string> fields;
        ASSERT_EQ(ReadCsvRow(row, pos, fields), CsvRowResult::kOk);
        ASSERT_EQ(fields.size(), 1u);
        std::string expected = c.text;
        for (std::size_t i; (i = expected.find("\r\n")) != std::string::npos;)
            expected.replace(i, 2, "\n");
        for (char& ch : expected)
            ch = ch == '\r' ? '\n' : ch;
        EXPECT_EQ(fields[0], expected);
    }
}

TEST(CsvFields, ReadsRows) {
    struct Case {
        std::string text;
        CsvRowResult result;
        std::vector<std::string> fields;
        std::size_t end;  // npos: the end of the text
    };
    const std::size_t npos = std::string::npos;
    const std::vector<Case> cases = {
        {"\"a\",\"b\"\"c\",d ,  \"e\" x,", CsvRowResult::kOk, {"a", "b\"c", "d", "e", ""}, npos},
        {"\"multi\r\nline\",2\r\nrest", CsvRowResult::kOk, {"multi\nline", "2"}, 15},
        {"a,b\nc", CsvRowResult::kOk, {"a", "b"}, 3},
        {"\"a\"\"\"", CsvRowResult::kOk, {"a\""}, npos},
        {"x\vy", CsvRowResult::kOk, {"x\ny"}, npos},
        {",", CsvRowResult::kOk, {"", ""}, npos},
        {"", CsvRowResult::kOk, {""}, npos},
        {"\"unclosed,\r\nnext", CsvRowResult::kUnclosedQuote, {"unclosed,\nnext"}, npos},
    };
    for (const Case& c : cases) {
        std::size_t pos = 0;
        std::vector<std::string> fields;
        EXPECT_EQ(ReadCsvRow(c.text, pos, fields), c.result) << c.text;
        EXPECT_EQ(fields, c.fields) << c.text;
        EXPECT_EQ(pos, c.end == npos ? c.text.size() : c.end) << c.text;
    }
}

TEST(ImportText, UnicodeFilesBecomeWindows1252) {
    struct Case {
        std::string bytes, text;
    };
    const Case cases[] = {
        {"caf\xC3\xA9", "caf\xE9"},
        {"caf\xE9", "caf\xE9"},  // already 1252
        {"\xEF\xBB\xBF"
         "abc",
         "abc"},  // byte-order mark
        {"\xEF\xBB\xBF"
         "\xC3\xA9",
         "\xE9"},
        {"\xE2\x82\xAC 5", "\x80 5"},  // the euro sign
        {"\xE2\x98\x83", "?"},         // no 1252 form
        {"\xC3(", "\xC3("},            // not UTF-8
        {"plain", "plain"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DecodeImportText(c.bytes), c.text) << c.bytes;

    const std::string folder = test::MakeTempDir();
    std::string text = "left";
    EXPECT_EQ(ReadImportFile(folder + "/missing.csv", text), 2);
    EXPECT_TRUE(text.empty());
    test::WriteFileBytes(folder + "/u.csv", "\xC3\xBC");
    EXPECT_EQ(ReadImportFile(folder + "/u.csv", text), 0);
    EXPECT_EQ(text, "\xFC");
}

}  // namespace
}  // namespace tallowmere::exchange
