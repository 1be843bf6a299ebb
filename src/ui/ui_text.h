#pragma once
// A string-table text as the widgets show it.
#include <QString>

#include "model/string_table.h"

namespace tallowmere::ui {

inline QString Text(int id) {
    return QString::fromStdString(LoadString(id));
}

}  // namespace tallowmere::ui
