#pragma once
// Where the core's error reports go in the program: on the window thread a
// message box through the UI services, built from the report's string id and
// arguments; from any other thread (the sync) only the log, since a sync
// thread never waits for the windows.
#include "model/error_sink.h"

namespace tallowmere::ui {

class UiErrorSink final : public ErrorSink {
  public:
    void Report(const ErrorReport& report) override;
};

}  // namespace tallowmere::ui
