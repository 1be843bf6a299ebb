#include "sync/sync_parse.h"

#include "sync/sync_words.h"

namespace tallowmere::handheld {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Sign and digits after blanks, as atoi reads them, stopping once the value
// passes limit. False without digits.
bool ParsePrefix(std::string_view text, std::uint64_t limit, bool& negative, bool& tooBig,
                 std::uint64_t& value) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    value = 0;
    tooBig = false;
    const std::size_t first = i;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        if (tooBig)
            continue;
        value = value * 10 + static_cast<std::uint64_t>(text[i] - '0');
        tooBig = value > limit;
    }
    return i > first;
}

}  // namespace

std::string_view WordText(std::string_view received) {
    return received.substr(0, received.find('\0'));
}

int ParseDiscoveryPort(std::string_view text) {
    const std::size_t bar = text.find('|');
    if (bar == std::string_view::npos)
        return 0;
    bool negative = false;
    bool tooBig = false;
    std::uint64_t value = 0;
    if (!ParsePrefix(text.substr(bar + 1), 65535, negative, tooBig, value))
        return 0;
    if (negative || tooBig)
        return 0;
    return static_cast<int>(value);
}

int DiscoveryReplyPort(std::string_view datagram) {
    const std::string_view text = WordText(datagram);
    if (text.find(kDiscoveryRequest) == std::string_view::npos)
        return 0;
    return ParseDiscoveryPort(text);
}

bool ParseTransferSize(std::string_view text, std::uint64_t maxBytes, std::uint64_t& size) {
    bool negative = false;
    bool tooBig = false;
    std::uint64_t value = 0;
    size = 0;
    if (!ParsePrefix(WordText(text), maxBytes, negative, tooBig, value) || tooBig)
        return false;
    if (negative && value != 0)
        return false;
    size = value;
    return true;
}

}  // namespace tallowmere::handheld
