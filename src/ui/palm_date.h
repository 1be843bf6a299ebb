#pragma once
// Dates of the pickers: a QDate is a day of the model's calendar (local
// time, no zone), and a picker never offers a day outside the PalmTime range.
#include <QDate>

#include "model/palm_time.h"

class QDateEdit;

namespace tallowmere::ui {

// The day of t.
QDate ToQDate(PalmTime t);
// That day at 00:00:00; a day outside the range gives its nearest end.
PalmTime DayToPalmTime(const QDate& day);
// 1904-01-01 to 2040-02-06, the last day of the range. A time of day added
// to that day stops at the range's last second.
void LimitToPalmRange(QDateEdit& edit);

}  // namespace tallowmere::ui
