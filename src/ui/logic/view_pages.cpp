#include "ui/logic/view_pages.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "model/program_version.h"
#include "model/string_table.h"

namespace tallowmere::ui {
namespace {

// Bits of the pages a control shows on.
constexpr unsigned kRegister = 1U << 0;
constexpr unsigned kReports = 1U << 1;
constexpr unsigned kBudgets = 1U << 2;
constexpr unsigned kReconcile = 1U << 3;
constexpr unsigned kAll = kRegister | kReports | kBudgets | kReconcile;

struct Visibility {
    int id;
    unsigned pages;
};

constexpr std::array<Visibility, 23> kVisibility = {{
    {view_id::kTabs, kAll},
    {view_id::kPaneHeader, kAll},
    {view_id::kAccountsPane, kRegister},
    {view_id::kRegisterList, kAll},
    {view_id::kFilterCombo, kRegister},
    {view_id::kGoOnline, kRegister},
    {view_id::kTransfer, kRegister},
    {view_id::kNew, kRegister | kReconcile},
    {view_id::kEdit, kRegister | kReconcile},
    {view_id::kDelete, kRegister | kReconcile},
    {view_id::kDetails, kReports | kBudgets},
    {view_id::kSetBudget, kBudgets},
    {view_id::kShowEmpty, kReports | kBudgets},
    {view_id::kMarkAll, kReconcile},
    {view_id::kUnmarkAll, kReconcile},
    {view_id::kDone, kReconcile},
    {view_id::kReportAccount, kReports},
    {view_id::kGroupBy, kReports | kBudgets},
    {view_id::kPeriod, kReports | kBudgets},
    {view_id::kDisplay, kReports},
    {view_id::kAmountType, kReports},
    {view_id::kStartDate, kReports},
    {view_id::kEndDate, kReports},
}};

constexpr std::array<int, 23> kIds = [] {
    std::array<int, 23> ids{};
    for (std::size_t i = 0; i < kVisibility.size(); ++i)
        ids[i] = kVisibility[i].id;
    return ids;
}();

constexpr std::array<ViewButton, 9> kButtons = {{
    {view_id::kGoOnline, 0, 1},
    {view_id::kTransfer, 18, 19},
    {view_id::kNew, 2, 3},
    {view_id::kEdit, 4, 5},
    {view_id::kDelete, 6, 7},
    {view_id::kDetails, 10, 11},
    {view_id::kSetBudget, 4, 5},
    {view_id::kMarkAll, 14, 15},
    {view_id::kUnmarkAll, 16, 17},
}};

constexpr std::array<ViewButton, 5> kRegisterButtons = {
    {kButtons[0], kButtons[1], kButtons[2], kButtons[3], kButtons[4]}};
constexpr std::array<ViewButton, 1> kReportsButtons = {{kButtons[5]}};
constexpr std::array<ViewButton, 2> kBudgetsButtons = {{kButtons[5], kButtons[6]}};
constexpr std::array<ViewButton, 5> kReconcileButtons = {
    {kButtons[2], kButtons[3], kButtons[4], kButtons[7], kButtons[8]}};

}  // namespace

std::span<const int> ViewControlIds() {
    return kIds;
}

bool IsControlVisible(int controlId, int page, bool chartMode) {
    if (page < 0 || page >= kViewPageCount)
        return false;
    if (controlId == view_id::kRegisterList && page == 1 && chartMode)
        return false;
    const auto it = std::find_if(kVisibility.begin(), kVisibility.end(),
                                 [controlId](const Visibility& v) { return v.id == controlId; });
    return it != kVisibility.end() && (it->pages & (1U << page)) != 0;
}

int TabStringId(int page) {
    constexpr int kIds[kViewPageCount] = {230, 231, 232, 234};
    return page >= 0 && page < kViewPageCount ? kIds[page] : 0;
}

int PaneHeaderStringId(int page) {
    constexpr int kIds[kViewPageCount] = {517, 518, 519, 536};
    return page >= 0 && page < kViewPageCount ? kIds[page] : 0;
}

std::span<const ViewButton> PageButtons(int page) {
    switch (page) {
        case 0:
            return kRegisterButtons;
        case 1:
            return kReportsButtons;
        case 2:
            return kBudgetsButtons;
        case 3:
            return kReconcileButtons;
        default:
            return {};
    }
}

std::span<const ViewButton> ViewButtons() {
    return kButtons;
}

std::string ViewTitleText(std::string_view userNameUtf8) {
    return FormatText("%s %s - %s",
                      {std::string("Tallowmere"), ProgramVersionText(), std::string(userNameUtf8)});
}

}  // namespace tallowmere::ui
