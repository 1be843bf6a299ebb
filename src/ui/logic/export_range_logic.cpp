#include "ui/logic/export_range_logic.h"

#include "model/account.h"
#include "model/preferences.h"
#include "model/transaction.h"

namespace tallowmere::ui {

ExportRange ExportRangeFromPrefs(bool noSelection) {
    ExportRange range;
    const std::uint32_t type = GetPrefLastExportType();
    range.choice = type <= kExportDateRange ? static_cast<int>(type) : kExportAll;
    range.start = GetPrefLastExportDate();
    range.noSelection = noSelection;
    return range;
}

void StoreExportRange(const ExportRange& range) {
    SetPrefLastExportType(static_cast<std::uint32_t>(range.choice));
    SetPrefLastExportDate(range.end);
}

ExportForm OpenExport(ExportRange& range) {
    if (range.end == 0)
        range.end = TodayBound(2);
    if (range.start == 0)
        range.start = range.end > kExportDefaultSpan ? range.end - kExportDefaultSpan : 1;
    if (range.start > range.end)
        range.start = range.end;
    if (range.noSelection && range.choice == kExportSelected)
        range.choice = kExportAll;
    return {range.choice, PalmTimeDayBound(range.start, 1), PalmTimeDayBound(range.end, 1),
            !range.noSelection};
}

OkResult AcceptExport(const ExportForm& form, Messages& messages, ExportRange& range) {
    const PalmTime start = PalmTimeDayBound(form.fromDay, 1);
    const PalmTime end = PalmTimeDayBound(form.toDay, 2);
    if (end < start) {
        messages.Show(StringMessage(kStringFromAfterTo));
        return OkResult::Stay(kExportFrom);
    }
    range.choice = form.choice;
    range.start = start;
    range.end = end;
    return OkResult::Close();
}

std::vector<const CTransaction*> ExportedTransactions(
    const CAccount& account, const ExportRange& range,
    const std::vector<const CTransaction*>& selectedRows) {
    if (range.choice == kExportSelected)
        return selectedRows;
    std::vector<const CTransaction*> chosen;
    for (const auto& t : account.Transactions()) {
        if (range.choice == kExportDateRange &&
            (t->GetDate() < range.start || t->GetDate() > range.end))
            continue;
        chosen.push_back(t.get());
    }
    return chosen;
}

}  // namespace tallowmere::ui
