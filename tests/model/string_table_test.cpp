#include "model/string_table.h"

#include <gtest/gtest.h>

#include <vector>

#include "model/error_sink.h"
#include "support/test_env.h"

namespace tallowmere {
namespace {

TEST(StringTable, BuiltInTextsAndOverride) {
    EXPECT_EQ(LoadString(317), "-SPLIT-");
    EXPECT_EQ(LoadString(507), "There was an error saving the account (%x).");
    EXPECT_EQ(LoadString(999999), "");

    const std::string path = test::MakeTempDir() + "/strings.txt";
    test::WriteFileBytes(path, "# comment\r\n317\t-DIVIDED-\r\nnot a line\n9001\tTab\\there\n");
    EXPECT_EQ(LoadStringTableOverride(path), 0);
    EXPECT_EQ(LoadString(317), "-DIVIDED-");
    EXPECT_EQ(LoadString(9001), "Tab\there");
    EXPECT_EQ(LoadString(260), "Transfer") << "entries not in the override stay";
    EXPECT_EQ(LoadStringTableOverride(path + ".missing"), 2);
}

TEST(StringTable, FormatText) {
    struct Case {
        const char* format;
        std::vector<FormatArg> args;
        const char* expected;
    };
    const Case cases[] = {
        {"There was an error saving the account (%x).",
         {std::int64_t{183}},
         "There was an error saving the account (b7)."},
        {"code %X", {std::int64_t{-1}}, "code FFFFFFFF"},
        {"%04d %04d", {std::int64_t{100}, std::int64_t{-5}}, "0100 -005"},
        {"%d%%", {std::int64_t{50}}, "50%"},
        {"%s and %s", {std::string("a")}, "a and "},  // a missing argument is empty
        {"%-4s|", {std::string("ab")}, "ab  |"},
        {"%ld items", {std::int64_t{3}}, "3 items"},
        {"trailing %", {}, "trailing %"},
        {"%q stays", {}, "%q stays"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatText(c.format, c.args), c.expected) << c.format;
    }
}

TEST(ErrorSink, ReportsReachTheInstalledSink) {
    struct Recorder : ErrorSink {
        std::vector<ErrorReport> reports;
        void Report(const ErrorReport& r) override { reports.push_back(r); }
    } recorder;
    SetErrorSink(&recorder);
    ReportError(185, {std::int64_t{5}});
    SetErrorSink(nullptr);
    ASSERT_EQ(recorder.reports.size(), 1u);
    EXPECT_EQ(recorder.reports[0].string_id, 185);
    EXPECT_EQ(recorder.reports[0].text, "There was an error saving the file (5).");
}

}  // namespace
}  // namespace tallowmere
