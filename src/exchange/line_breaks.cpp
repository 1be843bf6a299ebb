#include "exchange/line_breaks.h"

namespace tallowmere::exchange {

std::string EncodeLineBreaks(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            out += kLineBreakStandIn;
        } else {
            out += c;
        }
    }
    return out;
}

void DecodeLineBreaks(std::string& text) {
    for (char& c : text) {
        if (c == kLineBreakStandIn)
            c = '\n';
    }
}

}  // namespace tallowmere::exchange
