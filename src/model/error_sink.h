#pragma once
// Messages that the model would show to the user go through a sink: the UI
// shows them on its own thread later, the sync thread only logs them.
#include <string>
#include <vector>

#include "model/string_table.h"

namespace tallowmere {

struct ErrorReport {
    int string_id = 0;
    std::vector<FormatArg> args;
    std::string text;  // the formatted string-table text
};

class ErrorSink {
  public:
    virtual ~ErrorSink() = default;
    // May be called from any thread.
    virtual void Report(const ErrorReport& report) = 0;
};

// Installs the sink (nullptr restores the default, which writes to stderr).
// The caller keeps ownership.
void SetErrorSink(ErrorSink* sink);

// Formats the string and hands it to the current sink.
void ReportError(int stringId, std::vector<FormatArg> args = {});

}  // namespace tallowmere
