#pragma once
// A report of the core's error sink as a message box: the string-table text
// filled with the report's arguments, whose texts the model keeps in
// Windows-1252 and the box shows in UTF-8.
#include "model/error_sink.h"
#include "ui/logic/messages.h"

namespace tallowmere::ui {

MessageRequest ErrorReportMessage(const ErrorReport& report);

}  // namespace tallowmere::ui
