#include "exchange/date_text.h"

#include <array>
#include <cstdio>

#include "platform/text_1252.h"

namespace tallowmere::exchange {
namespace {

int NormalLayout(int layout) {
    return layout >= 0 && layout < kDateLayoutCount ? layout : kDefaultDateLayout;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

void SkipBlanks(std::string_view text, std::size_t& i) {
    while (i < text.size() && IsBlank(text[i]))
        ++i;
}

// Reads up to maxDigits digits (0: any number); false without one. Long
// digit runs saturate, so they can never pass the range checks.
bool ReadNumber(std::string_view text, std::size_t& i, std::size_t maxDigits, int& value) {
    const std::size_t start = i;
    long long v = 0;
    while (i < text.size() && platform::IsAsciiDigit(static_cast<unsigned char>(text[i])) &&
           (maxDigits == 0 || i - start < maxDigits)) {
        if (v < 100000)
            v = v * 10 + (text[i] - '0');
        ++i;
    }
    value = static_cast<int>(v);
    return i > start;
}

}  // namespace

std::string FormatDateText(PalmTime date, int layout) {
    const DateFields f = DateFields::FromPalmTime(date);
    const int year = f.year;
    const int yy = year - 1900 < 100 ? year - 1900 : year - 2000;
    std::array<char, 48> buffer{};
    switch (NormalLayout(layout)) {
        case 0:
            std::snprintf(buffer.data(), buffer.size(), "%d/%d/%02d", f.month, f.day, yy);
            break;
        case 2:
            std::snprintf(buffer.data(), buffer.size(), "%d/%d/%02d", f.day, f.month, yy);
            break;
        case 3:
            std::snprintf(buffer.data(), buffer.size(), "%d/%d/%d", f.day, f.month, year);
            break;
        case 4:
            std::snprintf(buffer.data(), buffer.size(), "%02d/%d/%d", yy, f.month, f.day);
            break;
        case 5:
            std::snprintf(buffer.data(), buffer.size(), "%d/%d/%d", year, f.month, f.day);
            break;
        default:
            std::snprintf(buffer.data(), buffer.size(), "%d/%d/%d", f.month, f.day, year);
            break;
    }
    return buffer.data();
}

bool ReadDateFields(std::string_view text, int layout, int& month, int& day, int& year) {
    std::size_t i = 0;
    int n[3] = {0, 0, 0};
    SkipBlanks(text, i);
    if (!ReadNumber(text, i, 0, n[0]))
        return false;
    // One separator of any kind, then blanks.
    if (i >= text.size())
        return false;
    ++i;
    SkipBlanks(text, i);
    if (!ReadNumber(text, i, 2, n[1]))
        return false;
    if (i >= text.size())
        return false;
    ++i;
    SkipBlanks(text, i);
    if (!ReadNumber(text, i, 0, n[2]))
        return false;

    switch (NormalLayout(layout)) {
        case 2:
        case 3:
            day = n[0], month = n[1], year = n[2];
            break;
        case 4:
        case 5:
            year = n[0], month = n[1], day = n[2];
            break;
        default:
            month = n[0], day = n[1], year = n[2];
            break;
    }
    if (year < 80)
        year += 2000;
    else if (year < 100)
        year += 1900;
    else if (year < 1900)
        return false;
    return true;
}

std::optional<PalmTime> ParseDateText(std::string_view text, int layout) {
    int month = 0;
    int day = 0;
    int year = 0;
    if (!ReadDateFields(text, layout, month, day, year))
        return std::nullopt;
    return TryMakeUniqueDate(month, day, year);
}

}  // namespace tallowmere::exchange
