#include "exchange/stream.h"

#include <cstring>

namespace tallowmere::exchange {
namespace {

bool IsLineEnd(std::uint8_t c) {
    return c == '\r' || c == '\n';
}

bool IsTokenSpace(std::uint8_t c) {
    return IsLineEnd(c) || c == '\t' || c == ' ';
}

}  // namespace

bool Stream::CopyText(const char* source, char* destination, std::size_t destinationSize) {
    if (destinationSize == 0)
        return false;
    const std::size_t length = std::strlen(source);
    const std::size_t n = length < destinationSize ? length : destinationSize - 1;
    std::memcpy(destination, source, n);
    destination[n] = '\0';
    return n == length;
}

bool Stream::ReadToken(char* buffer, std::size_t bufferSize, bool wholeLine) {
    if (bufferSize == 0)
        return false;
    std::uint8_t c = 0;
    while (PeekByte(c) && IsTokenSpace(c))
        ReadByte(c);

    // A token longer than the buffer leaves its remainder unread.
    std::size_t stored = 0;
    while (stored < bufferSize - 1 && PeekByte(c)) {
        ReadByte(c);
        if (IsLineEnd(c) || (!wholeLine && IsTokenSpace(c)))
            break;
        buffer[stored++] = static_cast<char>(c);
    }
    buffer[stored] = '\0';
    return stored > 0;
}

bool Stream::SkipPast(std::string_view pattern) {
    if (pattern.empty())
        return false;
    // After a mismatch the longest pattern prefix that still ends here is
    // kept, so a match starting inside a failed attempt ("\r\n\r\r\n\r\n") is
    // found. Patterns are a few bytes, so no failure table is built.
    std::size_t matched = 0;
    std::uint8_t c = 0;
    while (ReadByte(c)) {
        const char ch = static_cast<char>(c);
        if (pattern[matched] == ch) {
            ++matched;
        } else {
            std::size_t k = matched;
            for (; k > 0; --k) {
                if (pattern[k - 1] == ch &&
                    pattern.substr(0, k - 1) == pattern.substr(matched - k + 1, k - 1))
                    break;
            }
            matched = k;
        }
        if (matched == pattern.size())
            return true;
    }
    return false;
}

bool Stream::CopyFrom(Stream& source) {
    const std::uint8_t* data = nullptr;
    std::size_t length = 0;
    while (source.ReadBlock(data, length)) {
        if (!Write(data, length))
            return false;
    }
    return true;
}

bool Stream::WriteText(std::string_view text) {
    return Write(text.data(), text.size());
}

}  // namespace tallowmere::exchange
