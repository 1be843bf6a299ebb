#include "model/ofx_datetime.h"

#include <cstdint>
#include <ctime>
#include <optional>

#include "platform/text_1252.h"

namespace tallowmere {
namespace {

// Seconds from 1904-01-01 to 1970-01-01 (24,107 days).
constexpr std::int64_t kPalmToUnixSeconds = 2'082'844'800;

// Walks the text with blanks skipped wherever they stand.
class Cursor {
  public:
    explicit Cursor(std::string_view text) : text_(text) {}

    bool AtEnd() {
        SkipBlanks();
        return pos_ >= text_.size();
    }
    // The next character; only valid when !AtEnd().
    char Peek() {
        SkipBlanks();
        return text_[pos_];
    }
    void Advance() { ++pos_; }

    // Exactly count digits, or empty.
    std::optional<int> Digits(int count) {
        int value = 0;
        for (int i = 0; i < count; ++i) {
            if (AtEnd() || !platform::IsAsciiDigit(static_cast<unsigned char>(Peek())))
                return std::nullopt;
            value = value * 10 + (Peek() - '0');
            Advance();
        }
        return value;
    }

  private:
    void SkipBlanks() {
        while (pos_ < text_.size() && text_[pos_] == ' ')
            ++pos_;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

// The zone after "[": an optional sign and one or two hour digits, ended by
// ".", ":" or "]" or by the second digit. The name is never looked at.
std::optional<int> ReadZoneHours(Cursor& in) {
    if (in.AtEnd())
        return std::nullopt;
    int sign = 1;
    if (in.Peek() == '-' || in.Peek() == '+') {
        sign = in.Peek() == '-' ? -1 : 1;
        in.Advance();
    }
    std::optional<int> first = in.Digits(1);
    if (!first || in.AtEnd())
        return std::nullopt;
    int hours = *first;
    const char next = in.Peek();
    if (platform::IsAsciiDigit(static_cast<unsigned char>(next))) {
        hours = hours * 10 + (next - '0');
    } else if (next != '.' && next != ':' && next != ']') {
        return std::nullopt;
    }
    return sign * hours;
}

// The local date value of a moment given as UTC fields.
PalmTime UtcToLocal(PalmTime utcFields, int offsetHours) {
    const std::int64_t unixSeconds =
        std::int64_t{utcFields} - kPalmToUnixSeconds - std::int64_t{offsetHours} * 3600;
    const std::time_t when = static_cast<std::time_t>(unixSeconds);
    std::tm local{};
    if (localtime_r(&when, &local) == nullptr)
        return 0;
    DateFields fields;
    fields.year = static_cast<std::int16_t>(local.tm_year + 1900);
    fields.month = static_cast<std::int16_t>(local.tm_mon + 1);
    fields.day = static_cast<std::int16_t>(local.tm_mday);
    fields.hour = static_cast<std::int16_t>(local.tm_hour);
    fields.minute = static_cast<std::int16_t>(local.tm_min);
    // A leap second counts as the last ordinary one.
    fields.second = static_cast<std::int16_t>(local.tm_sec > 59 ? 59 : local.tm_sec);
    return fields.TryToPalmTime().value_or(0);
}

}  // namespace

PalmTime ParseOfxDateTime(std::string_view text) {
    Cursor in(text);
    const std::optional<int> year = in.Digits(4);
    const std::optional<int> month = year ? in.Digits(2) : std::nullopt;
    const std::optional<int> day = month ? in.Digits(2) : std::nullopt;
    if (!day)
        return 0;
    DateFields fields;
    fields.year = static_cast<std::int16_t>(*year);
    fields.month = static_cast<std::int16_t>(*month);
    fields.day = static_cast<std::int16_t>(*day);

    std::optional<int> zone;
    if (!in.AtEnd()) {
        if (platform::IsAsciiDigit(static_cast<unsigned char>(in.Peek()))) {
            const std::optional<int> hour = in.Digits(2);
            const std::optional<int> minute = hour ? in.Digits(2) : std::nullopt;
            const std::optional<int> second = minute ? in.Digits(2) : std::nullopt;
            if (!second)
                return 0;
            fields.hour = static_cast<std::int16_t>(*hour);
            fields.minute = static_cast<std::int16_t>(*minute);
            fields.second = static_cast<std::int16_t>(*second);
            if (!in.AtEnd() && in.Peek() == '.') {
                in.Advance();
                if (!in.Digits(3))
                    return 0;
            }
        }
        if (!in.AtEnd()) {
            if (in.Peek() != '[')
                return 0;
            in.Advance();
            zone = ReadZoneHours(in);
            if (!zone)
                return 0;
        }
    }

    const std::optional<PalmTime> stated = fields.TryToPalmTime();
    if (!stated)
        return 0;
    // Offset 0 keeps the stated fields: banks tag plain local dates [0:GMT],
    // and moving those would shift whole days for users west of Greenwich.
    if (zone && *zone != 0)
        return UtcToLocal(*stated, *zone);
    return *stated;
}

}  // namespace tallowmere
