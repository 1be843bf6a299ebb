#pragma once
// "Export Transactions" (dialog 184) apart from its widgets: all the
// current account's transactions, the rows selected in the register, or a
// date range with both days included. The view opens it with the last
// export's choice and end date and stores them again after OK, so the
// next range starts on the day the last one ended (that day is exported
// again).
#include <vector>

#include "model/palm_time.h"
#include "ui/logic/messages.h"
#include "ui/logic/ok_result.h"

namespace tallowmere {
class CAccount;
class CTransaction;
}  // namespace tallowmere

namespace tallowmere::ui {

inline constexpr int kExportAllRadio = 1154;
inline constexpr int kExportSelectedRadio = 1155;
inline constexpr int kExportRangeRadio = 1156;
inline constexpr int kExportFrom = 1157;
inline constexpr int kExportTo = 1158;

inline constexpr int kExportAll = 0;
inline constexpr int kExportSelected = 1;
inline constexpr int kExportDateRange = 2;

inline constexpr int kStringFromAfterTo = 259;
inline constexpr int kStringExportCaption = 3521;

// 30 days before the end, when no start is given.
inline constexpr PalmTime kExportDefaultSpan = 2592000;

// The dialog's values as the caller sets and reads them.
struct ExportRange {
    int choice = -1;     // -1 until the caller sets it
    PalmTime start = 0;  // 0: not set
    PalmTime end = 0;
    bool noSelection = false;  // no register row is selected
};

// The controls' values.
struct ExportForm {
    int choice = kExportAll;  // -1 when no radio is checked
    PalmTime fromDay = 0;
    PalmTime toDay = 0;
    bool selectedEnabled = true;
};

// The view's opening values: "Last Export Type" (a value the radios do not
// hold gives All), "Last Export Date" as the start, the end unset (today).
ExportRange ExportRangeFromPrefs(bool noSelection);
// After OK: the choice as "Last Export Type", the end as "Last Export Date".
void StoreExportRange(const ExportRange& range);

// The end defaults to the end of today, the start to 30 days before the
// end, and a start after the end becomes the end. Without a selection a
// choice of Selected falls back to All and that radio is disabled. range
// takes the defaults.
ExportForm OpenExport(ExportRange& range);

// OK: the start of the From day and the end of the To day; To before From
// shows 259 and stays. Fills range when it closes.
OkResult AcceptExport(const ExportForm& form, Messages& messages, ExportRange& range);

// What the export writes, in register order: every transaction (All), the
// selected rows as given (Selected), or those dated from the start to the
// end, both included (Date Range).
std::vector<const CTransaction*> ExportedTransactions(
    const CAccount& account, const ExportRange& range,
    const std::vector<const CTransaction*>& selectedRows);

}  // namespace tallowmere::ui
