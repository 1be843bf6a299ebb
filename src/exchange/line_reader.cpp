#include "exchange/line_reader.h"

namespace tallowmere::exchange {

std::string_view TrimBlanks(std::string_view text) {
    std::size_t b = 0;
    std::size_t e = text.size();
    while (b < e && (text[b] == ' ' || text[b] == '\t'))
        ++b;
    while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t'))
        --e;
    return text.substr(b, e - b);
}

void LineReader::PassLineEnd() {
    if (position_ >= text_.size())
        return;
    const char c = text_[position_];
    if (c == '\r') {
        ++position_;
        if (position_ < text_.size() && text_[position_] == '\n')
            ++position_;
        ++physical_;
    } else if (c == '\n') {
        ++position_;
        ++physical_;
    }
}

bool LineReader::Next(std::string_view& line) {
    backPosition_ = position_;
    backPhysical_ = physical_;
    backCurrent_ = current_;
    while (position_ < text_.size()) {
        const std::size_t start = position_;
        std::size_t end = text_.find_first_of("\r\n", start);
        if (end == std::string_view::npos)
            end = text_.size();
        const std::size_t number = physical_;
        position_ = end;
        PassLineEnd();
        const std::string_view raw = text_.substr(start, end - start);
        const std::string_view trimmed = TrimBlanks(raw);
        if (!trimmed.empty()) {
            line = trimmed;
            current_ = number;
            lineStart_ = start + static_cast<std::size_t>(trimmed.data() - raw.data());
            return true;
        }
    }
    line = {};
    return false;
}

void LineReader::PutBack() {
    position_ = backPosition_;
    physical_ = backPhysical_;
    current_ = backCurrent_;
}

void LineReader::SkipTo(std::size_t offset) {
    if (offset > text_.size())
        offset = text_.size();
    if (offset < position_)
        return;
    // Only text before position_ was counted: the part up to offset now.
    std::size_t i = position_;
    while (i < offset) {
        const char c = text_[i];
        if (c == '\r') {
            ++physical_;
            if (i + 1 < text_.size() && text_[i + 1] == '\n')
                ++i;
        } else if (c == '\n') {
            ++physical_;
        }
        ++i;
    }
    position_ = i < text_.size() ? i : text_.size();
    PassLineEnd();
}

}  // namespace tallowmere::exchange
