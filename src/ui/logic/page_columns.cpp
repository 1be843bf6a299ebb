#include "ui/logic/page_columns.h"

#include <algorithm>
#include <cstdint>

namespace tallowmere::ui {

namespace {

constexpr int kRestFallback = 90;

bool IsRegisterPage(ListPage page) {
    return page == ListPage::kRegister || page == ListPage::kReconcile;
}

}  // namespace

bool IsPageColumnId(ListPage page, std::uint16_t id) {
    return IsRegisterPage(page) ? id <= 9 : id >= 20 && id <= 24;
}

std::span<const ShowColumnEntry> DefaultPageColumns(ListPage page) {
    switch (page) {
        case ListPage::kReconcile:
            return kReconcileColumns;
        case ListPage::kReports:
            return kReportColumns;
        case ListPage::kBudgets:
            return kBudgetColumns;
        case ListPage::kRegister:
            break;
    }
    return kRegisterColumns;
}

CShowColumns ValidPageColumns(ListPage page, const CShowColumns& stored) {
    std::vector<ShowColumnEntry> kept;
    bool anyVisible = false;
    for (int i = 0; i < stored.GetCount(); ++i) {
        const std::uint16_t id = stored.GetId(i);
        if (!IsPageColumnId(page, id) ||
            std::any_of(kept.begin(), kept.end(), [id](const auto& e) { return e.id == id; }))
            continue;
        const bool visible = stored.IsVisible(i);
        kept.push_back({id, stored.GetWidth(i), static_cast<std::uint8_t>(visible ? 1 : 0), 0});
        anyVisible = anyVisible || visible;
    }
    if (!anyVisible)
        return CShowColumns(DefaultPageColumns(page));
    return CShowColumns(kept);
}

std::vector<PageColumn> VisiblePageColumns(const CShowColumns& set, int room) {
    std::int64_t fixed = 0;
    for (int i = 0; i < set.GetCount(); ++i) {
        if (set.IsVisible(i) && set.GetWidth(i) != kColumnWidthRest)
            fixed += set.GetWidth(i);
    }
    const std::int64_t rest = room - fixed;
    const int restWidth = rest < 0 ? kRestFallback : static_cast<int>(rest);
    std::vector<PageColumn> columns;
    for (int i = 0; i < set.GetCount(); ++i) {
        if (!set.IsVisible(i))
            continue;
        const std::uint16_t width = set.GetWidth(i);
        columns.push_back({set.GetId(i), width == kColumnWidthRest ? restWidth : int{width}});
    }
    return columns;
}

int ColumnTitleStringId(ListPage page, std::uint16_t id, int groupBy) {
    switch (id) {
        case 2:
            return 200;  // "Date"
        case 3:
            return 201;  // "Type"
        case 4:
            return 202;  // "Payee"
        case 5:
            return 203;  // "Category"
        case 6:
            return 207;  // "Class"
        case 7:
            return 204;  // "Memo"
        case 8:
            return 205;  // "Amount"
        case 9:
            return 206;  // "Balance"
        case 21:
            return groupBy == kGroupByCategory ? 203 : groupBy == kGroupByClass ? 207 : 202;
        case 22:
            return 208;  // "Budget"
        case 23:
            return page == ListPage::kBudgets ? 209 : 205;  // "Actual" or "Amount"
        case 24:
            return 223;  // "Difference"
        default:
            return 0;
    }
}

}  // namespace tallowmere::ui
