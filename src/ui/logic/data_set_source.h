#pragma once
// The data set a dialog works on, asked for at each use: a reload puts a new
// data set in place of the old one, and a dialog that kept the old one
// would write into freed records.
#include <functional>

namespace tallowmere {
class CAccounts;
}

namespace tallowmere::ui {

// Null while no data set is loaded.
using DataSetSource = std::function<CAccounts*()>;

}  // namespace tallowmere::ui
