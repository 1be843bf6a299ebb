#include "ui/palm_date.h"

#include <QDateEdit>

namespace tallowmere::ui {

QDate ToQDate(PalmTime t) {
    const DateFields f = DateFields::FromPalmTime(t);
    return QDate(f.year, f.month, f.day);
}

PalmTime DayToPalmTime(const QDate& day) {
    const QDate first(1904, 1, 1);
    const QDate last(2040, 2, 6);
    if (!day.isValid() || day < first)
        return 0;
    const QDate d = day > last ? last : day;
    DateFields f;
    f.year = static_cast<std::int16_t>(d.year());
    f.month = static_cast<std::int16_t>(d.month());
    f.day = static_cast<std::int16_t>(d.day());
    return f.ToPalmTime();
}

void LimitToPalmRange(QDateEdit& edit) {
    edit.setDateRange(QDate(1904, 1, 1), QDate(2040, 2, 6));
}

}  // namespace tallowmere::ui
