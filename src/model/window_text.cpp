#include "model/window_text.h"

#include "model/program_version.h"

namespace tallowmere {

std::string FormatWindowText(std::string_view windowText, std::string_view argument) {
    std::string out;
    out.reserve(windowText.size() + argument.size());
    bool filled = false;
    for (std::size_t i = 0; i < windowText.size(); ++i) {
        const char c = windowText[i];
        const char next = i + 1 < windowText.size() ? windowText[i + 1] : '\0';
        if (c == '%' && next == '%') {
            out += '%';
            ++i;
        } else if (c == '%' && next == 's' && !filled) {
            out += argument;
            filled = true;
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

std::string SetVersionText(std::string_view windowText) {
    return FormatWindowText(windowText, ProgramVersionText());
}

int ReplaceLineBreaks(std::string& text, char replacement) {
    int crs = 0;
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        if (c == '\r') {
            out += replacement;
            ++crs;
        } else if (c != '\n') {
            out += c;
        }
    }
    text = std::move(out);
    return crs;
}

}  // namespace tallowmere
