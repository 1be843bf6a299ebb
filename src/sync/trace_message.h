#pragma once
// The sync code's debug trace: printf-style, at most 511 characters a
// message, handed to a replaceable sink (none by default).
#include <functional>
#include <string_view>

namespace tallowmere::handheld {

void TraceMessage(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Installs the sink; an empty function drops the messages.
void SetTraceSink(std::function<void(std::string_view)> sink);

}  // namespace tallowmere::handheld
