#include "ui/logic/error_report_message.h"

#include <gtest/gtest.h>

namespace tallowmere::ui {
namespace {

TEST(ErrorReportMessage, TextFromTheIdWithArgumentsInUtf8) {
    ErrorReport report;
    report.string_id = 3101;  // "The file %s could not be read (%d)."
    report.args = {std::string("Ch\xE8que \x80.qif"), std::int64_t{13}};
    report.text = "not used";
    const MessageRequest request = ErrorReportMessage(report);
    EXPECT_EQ(3101, request.stringId);
    EXPECT_EQ("The file Ch\xC3\xA8que \xE2\x82\xAC.qif could not be read (13).", request.text);
    EXPECT_EQ(Buttons::kOk, request.buttons);
}

TEST(ErrorReportMessage, AReportWithoutAnIdShowsItsText) {
    ErrorReport report;
    report.text = "Caf\xE9";
    EXPECT_EQ("Caf\xC3\xA9", ErrorReportMessage(report).text);
}

}  // namespace
}  // namespace tallowmere::ui
