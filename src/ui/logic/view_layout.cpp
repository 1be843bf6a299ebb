#include "ui/logic/view_layout.h"

#include <algorithm>

#include "ui/logic/view_pages.h"

namespace tallowmere::ui {
namespace {

struct Definition {
    int id;
    int label;
};

constexpr Definition kReportDefinitions[] = {
    {view_id::kReportAccount, 520}, {view_id::kGroupBy, 521}, {view_id::kPeriod, 522},
    {view_id::kStartDate, 523},     {view_id::kEndDate, 524}, {view_id::kDisplay, 357},
    {view_id::kAmountType, 360},    {view_id::kShowEmpty, 0},
};
constexpr Definition kBudgetDefinitions[] = {
    {view_id::kGroupBy, 521},
    {view_id::kPeriod, 522},
    {view_id::kShowEmpty, 0},
};
constexpr int kReconcileLines[] = {235, 236, 237, 238};
// The instructions take this many lines of text, wrapped in their box.
constexpr int kInstructionLines = 5;

template <typename Range>
int PlaceDefinitions(const ViewMetrics& m, const ViewRect& column, const Range& definitions,
                     std::vector<ViewControlRect>& out) {
    const int controlX = column.x + m.labelWidth + kViewLabelGap;
    const int controlWidth = std::max(0, column.Right() - controlX);
    int y = column.y + kViewDefinitionGap;
    for (const Definition& d : definitions) {
        out.push_back({d.id, ViewRect{controlX, y, controlWidth, m.controlHeight}, d.label});
        y += m.controlHeight + kViewDefinitionGap;
    }
    return y;
}

}  // namespace

ViewLayout LayoutView(const ViewMetrics& m, int page) {
    ViewLayout l;
    const int innerWidth = std::max(0, m.width - 2 * kViewMargin);
    l.tabs = ViewRect{kViewMargin, kViewTabTop, innerWidth, m.tabBandHeight};
    const int top = l.tabs.Bottom();
    const int bandTop = std::max(top, m.height - kViewBottomBand);
    l.bottomBand = ViewRect{0, bandTop, m.width, m.height - bandTop};

    const int paneWidth = std::min(m.paneWidth, innerWidth);
    l.paneHeader = ViewRect{kViewMargin, top, paneWidth, m.headerHeight};
    const int paneTop = std::min(l.paneHeader.Bottom(), bandTop);
    l.pane = ViewRect{kViewMargin, paneTop, paneWidth, bandTop - paneTop};
    const int listX = kViewMargin + paneWidth + kViewColumnGap;
    l.list = ViewRect{listX, top, std::max(0, m.width - kViewMargin - listX), bandTop - top};

    const int buttonY = bandTop + kViewButtonTop;
    int x = listX;
    for (const ViewButton& b : PageButtons(page)) {
        l.buttons.push_back({b.id, ViewRect{x, buttonY, kViewButtonWidth, kViewButtonHeight}, 0});
        x += kViewButtonWidth + kViewButtonGap;
    }
    const int lineY = buttonY + (kViewButtonHeight - m.controlHeight) / 2;

    switch (page) {
        case 0: {
            const int comboX = std::max(x, m.width - kViewMargin - kViewFilterComboWidth);
            l.filterCombo = ViewRect{comboX, lineY, std::max(0, m.width - kViewMargin - comboX),
                                     m.controlHeight};
            l.netWorthReadout = ViewRect{kViewMargin, buttonY, paneWidth, kViewButtonHeight};
            const int readoutX = x + kViewDefinitionGap;
            l.accountReadout =
                ViewRect{readoutX, buttonY, std::max(0, comboX - kViewDefinitionGap - readoutX),
                         kViewButtonHeight};
            break;
        }
        case 1:
            PlaceDefinitions(m, l.pane, kReportDefinitions, l.definitions);
            break;
        case 2:
            PlaceDefinitions(m, l.pane, kBudgetDefinitions, l.definitions);
            break;
        case 3: {
            int y = l.pane.y + kViewDefinitionGap;
            for (const int label : kReconcileLines) {
                l.reconcileLines.push_back(
                    {label, ViewRect{l.pane.x + 4, y, std::max(0, paneWidth - 8), m.textHeight},
                     label});
                y += m.textHeight + kViewDefinitionGap / 2;
            }
            y += kViewDefinitionGap;
            l.instructions = ViewRect{l.pane.x + 4, y, std::max(0, paneWidth - 8),
                                      kInstructionLines * m.textHeight + 12};
            l.done = ViewRect{l.pane.x + (paneWidth - kViewDoneWidth) / 2,
                              l.instructions.Bottom() + kViewDefinitionGap, kViewDoneWidth,
                              m.controlHeight + 2};
            break;
        }
        default:
            break;
    }
    return l;
}

std::optional<ViewRect> FindControlRect(const ViewLayout& layout, int id) {
    for (const auto* group : {&layout.buttons, &layout.definitions}) {
        for (const ViewControlRect& c : *group) {
            if (c.id == id)
                return c.rect;
        }
    }
    switch (id) {
        case view_id::kTabs:
            return layout.tabs;
        case view_id::kPaneHeader:
            return layout.paneHeader;
        case view_id::kAccountsPane:
            return layout.pane;
        case view_id::kRegisterList:
            return layout.list;
        case view_id::kFilterCombo:
            return layout.filterCombo;
        case view_id::kDone:
            return layout.done;
        default:
            return std::nullopt;
    }
}

}  // namespace tallowmere::ui
