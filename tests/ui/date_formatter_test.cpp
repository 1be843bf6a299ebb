#include "ui/date_formatter.h"

#include <gtest/gtest.h>

namespace tallowmere::ui {
namespace {

PalmTime Date(int year, int month, int day) {
    DateFields fields;
    fields.year = static_cast<std::int16_t>(year);
    fields.month = static_cast<std::int16_t>(month);
    fields.day = static_cast<std::int16_t>(day);
    return fields.ToPalmTime();
}

TEST(DateFormatterTest, TheLocalesShortAndLongDatesInWindows1252) {
    SetDateFormatter(MakeDateFormatter(QLocale(QLocale::French, QLocale::France)));
    EXPECT_EQ("14/02/2024", FormatLocaleDate(Date(2024, 2, 14), kDateShortDate));
    EXPECT_EQ("mercredi 14 f\xE9vrier 2024", FormatLocaleDate(Date(2024, 2, 14), kDateLongDate));
    SetDateFormatter(MakeDateFormatter(QLocale(QLocale::English, QLocale::UnitedStates)));
    EXPECT_EQ("2/14/24", FormatLocaleDate(Date(2024, 2, 14), kDateShortDate));
    SetDateFormatter({});
}

}  // namespace
}  // namespace tallowmere::ui
