#include "sync/trace_message.h"

#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <utility>

namespace tallowmere::handheld {
namespace {

struct TraceSink {
    std::mutex mutex;
    std::function<void(std::string_view)> sink;
};

TraceSink& Sink() {
    static TraceSink sink;
    return sink;
}

}  // namespace

void TraceMessage(const char* format, ...) {
    if (format == nullptr)
        return;
    char buffer[512];
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (n < 0)
        return;
    const std::size_t length = static_cast<std::size_t>(n) < sizeof buffer
                                   ? static_cast<std::size_t>(n)
                                   : sizeof buffer - 1;
    TraceSink& s = Sink();
    std::lock_guard lock(s.mutex);
    if (s.sink)
        s.sink(std::string_view(buffer, length));
}

void SetTraceSink(std::function<void(std::string_view)> sink) {
    TraceSink& s = Sink();
    std::lock_guard lock(s.mutex);
    s.sink = std::move(sink);
}

}  // namespace tallowmere::handheld
