#include "ui/logic/error_report_message.h"

#include <variant>

#include "platform/text_1252.h"

namespace tallowmere::ui {

MessageRequest ErrorReportMessage(const ErrorReport& report) {
    if (report.string_id == 0) {
        MessageRequest request;
        request.text = platform::Cp1252ToUtf8(report.text);
        return request;
    }
    std::vector<FormatArg> args;
    for (const FormatArg& arg : report.args) {
        if (const auto* text = std::get_if<std::string>(&arg))
            args.emplace_back(platform::Cp1252ToUtf8(*text));
        else
            args.push_back(arg);
    }
    return StringMessage(report.string_id, std::move(args));
}

}  // namespace tallowmere::ui
