#include "model/error_sink.h"

#include <atomic>
#include <cstdio>
#include <mutex>

namespace tallowmere {
namespace {

class StderrSink : public ErrorSink {
  public:
    void Report(const ErrorReport& report) override {
        static std::mutex mutex;
        std::lock_guard lock(mutex);
        std::fprintf(stderr, "tallowmere: %s\n", report.text.c_str());
    }
};

StderrSink& DefaultSink() {
    static StderrSink sink;
    return sink;
}

std::atomic<ErrorSink*> g_sink{nullptr};

}  // namespace

void SetErrorSink(ErrorSink* sink) {
    g_sink.store(sink);
}

void ReportError(int stringId, std::vector<FormatArg> args) {
    ErrorReport report;
    report.string_id = stringId;
    report.text = FormatText(LoadString(stringId), args);
    report.args = std::move(args);
    ErrorSink* sink = g_sink.load();
    (sink ? *sink : DefaultSink()).Report(report);
}

}  // namespace tallowmere
