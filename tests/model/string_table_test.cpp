#include "model/string_table.h"

#include <gtest/gtest.h>

#include <vector>

#include "model/error_sink.h"
#include "support/test_env.h"

namespace tallowmere {
namespace {

TEST(StringTable, BuiltInTexts) {
    EXPECT_EQ(LoadString(317), "-SPLIT-");
    EXPECT_EQ(LoadString(507), "There was an error saving the account (%x).");
    EXPECT_EQ(LoadString(999999), "");
}

// An override file stands in for the program's texts only where the program
// would format it with the same arguments.
TEST(StringTable, OverrideTakesKnownIdsWithTheSameConversions) {
    struct Case {
        int id;
        const char* text;
        bool taken;
    };
    const Case cases[] = {
        {317, "-DIVIDED-", true},
        {185, "Erreur d'enregistrement du fichier (%d).", true},
        {225, "%s au total (100%%)", true},  // "%%" is no conversion
        {507, "Erreur (%d).", false},        // another conversion
        {225, "Total %s %s", false},         // one more
        {225, "Total", false},               // one fewer
        {185, "Erreur %n (%d).", false},     // one the formatter does not know
        {185, "Erreur (%04d).", false},      // another width
        {185, "Erreur (%d) %", false},       // a '%' left dangling
        {9001, "Tab\\there", false},         // not one of the program's
    };
    const std::string path = test::MakeTempDir() + "/strings.txt";
    // One entry per file, so each case is judged alone.
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        const std::string before = LoadString(c.id);
        test::WriteFileBytes(
            path, "# comment\r\nnot a line\n" + std::to_string(c.id) + "\t" + c.text + "\r\n");
        EXPECT_EQ(LoadStringTableOverride(path), 0);
        EXPECT_EQ(LoadString(c.id), c.taken ? std::string(c.text) : before);
    }
    EXPECT_EQ(LoadString(260), "Transfer") << "entries not in the override stay";
    EXPECT_EQ(LoadStringTableOverride(path + ".missing"), 2);

    // The program's own texts come back for the other tests.
    test::WriteFileBytes(path,
                         "317\t-SPLIT-\n185\tThere was an error saving the file (%d).\n"
                         "225\tTotal %s\n");
    EXPECT_EQ(LoadStringTableOverride(path), 0);
    EXPECT_EQ(LoadString(225), "Total %s");
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
