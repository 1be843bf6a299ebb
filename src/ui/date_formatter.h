#pragma once
// Dates as the user's locale writes them, for every date text of the core:
// the short or the long form, in Windows-1252 like every model text.
#include <QLocale>

#include "model/palm_time.h"

namespace tallowmere::ui {

DateFormatter MakeDateFormatter(const QLocale& locale);

}  // namespace tallowmere::ui
