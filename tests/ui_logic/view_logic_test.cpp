// The main view's rules without widgets: which control shows on which page,
// the tab and header texts, the layout's rectangles, when a reload may run,
// and the filter combo's texts and counts.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

#include "model/account.h"
#include "model/preferences.h"
#include "model/transaction.h"
#include "ui/logic/filter_combo.h"
#include "ui/logic/reload_gate.h"
#include "ui/logic/view_layout.h"
#include "ui/logic/view_pages.h"

namespace tallowmere::ui {
namespace {

std::set<int> Visible(int page, bool chart) {
    std::set<int> ids;
    for (const int id : ViewControlIds()) {
        if (IsControlVisible(id, page, chart))
            ids.insert(id);
    }
    return ids;
}

TEST(ViewPages, ControlsByPage) {
    struct Case {
        int page;
        bool chart;
        std::set<int> ids;
    };
    const Case cases[] = {
        {0, false, {5000, 5001, 5002, 5003, 5004, 32805, 32790, 5005, 5006, 5007}},
        {1, false, {5000, 5001, 5003, 5010, 5012, 5015, 5016, 5017, 5018, 5019, 5020, 5021}},
        {1, true, {5000, 5001, 5010, 5012, 5015, 5016, 5017, 5018, 5019, 5020, 5021}},
        {2, false, {5000, 5001, 5003, 5010, 5011, 5012, 5016, 5017}},
        {3, false, {5000, 5001, 5003, 5005, 5006, 5007, 5013, 5014, 5022}},
        // The chart flag counts only on the reports page.
        {2, true, {5000, 5001, 5003, 5010, 5011, 5012, 5016, 5017}},
        {4, false, {}},
        {-1, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.page);
        EXPECT_EQ(c.ids, Visible(c.page, c.chart));
    }
    EXPECT_FALSE(IsControlVisible(4999, 0, false));
}

TEST(ViewPages, TextsAndButtonsByPage) {
    const int tabs[] = {230, 231, 232, 234};
    const int headers[] = {517, 518, 519, 536};
    for (int page = 0; page < 4; ++page) {
        EXPECT_EQ(tabs[page], TabStringId(page));
        EXPECT_EQ(headers[page], PaneHeaderStringId(page));
        // Every button a page places is one it shows.
        for (const ViewButton& b : PageButtons(page))
            EXPECT_TRUE(IsControlVisible(b.id, page, false)) << page << " " << b.id;
    }
    EXPECT_EQ(0, TabStringId(4));
    EXPECT_EQ(0, PaneHeaderStringId(-1));
    std::vector<std::pair<int, int>> images;
    for (const ViewButton& b : PageButtons(0))
        images.emplace_back(b.normal, b.pressed);
    EXPECT_EQ((std::vector<std::pair<int, int>>{{0, 1}, {18, 19}, {2, 3}, {4, 5}, {6, 7}}), images);
}

TEST(ViewLayout, AThousandBySevenHundred) {
    ViewMetrics m;
    m.width = 1000;
    m.height = 700;
    m.tabBandHeight = 24;
    m.headerHeight = 20;
    m.controlHeight = 22;
    m.labelWidth = 80;
    const ViewLayout l = LayoutView(m, 0);
    EXPECT_EQ((ViewRect{8, 5, 984, 24}), l.tabs);
    EXPECT_EQ((ViewRect{8, 29, 250, 20}), l.paneHeader);
    EXPECT_EQ((ViewRect{8, 49, 250, 613}), l.pane);
    EXPECT_EQ((ViewRect{263, 29, 729, 633}), l.list);
    ASSERT_EQ(5U, l.buttons.size());
    for (std::size_t i = 0; i < l.buttons.size(); ++i)
        EXPECT_EQ((ViewRect{263 + 33 * static_cast<int>(i), 667, 28, 20}), l.buttons[i].rect);
    EXPECT_EQ(992, l.filterCombo.Right());
    EXPECT_EQ(kViewFilterComboWidth, l.filterCombo.width);
    EXPECT_LE(l.accountReadout.Right(), l.filterCombo.x);
    EXPECT_GE(l.accountReadout.x, l.buttons.back().rect.Right());
}

TEST(ViewLayout, DefinitionColumnOneLineEachTenApart) {
    ViewMetrics m;
    m.width = 900;
    m.height = 600;
    m.controlHeight = 22;
    m.labelWidth = 70;
    const ViewLayout reports = LayoutView(m, 1);
    ASSERT_EQ(8U, reports.definitions.size());
    for (std::size_t i = 1; i < reports.definitions.size(); ++i)
        EXPECT_EQ(reports.definitions[i - 1].rect.Bottom() + 10, reports.definitions[i].rect.y);
    EXPECT_EQ(520, reports.definitions.front().labelStringId);
    EXPECT_EQ(8 + 70 + 5, reports.definitions.front().rect.x);
    EXPECT_EQ(8 + 250, reports.definitions.front().rect.Right());
    EXPECT_EQ(3U, LayoutView(m, 2).definitions.size());
    const ViewLayout reconcile = LayoutView(m, 3);
    EXPECT_EQ(4U, reconcile.reconcileLines.size());
    EXPECT_GT(reconcile.done.y, reconcile.instructions.Bottom());
    EXPECT_TRUE(FindControlRect(reconcile, 5022).has_value());
    EXPECT_FALSE(FindControlRect(reconcile, 5015).has_value());
}

TEST(ViewLayout, ATinyWindowGivesNoNegativeSizes) {
    ViewMetrics m;
    m.width = 10;
    m.height = 10;
    for (int page = 0; page < 4; ++page) {
        const ViewLayout l = LayoutView(m, page);
        for (const ViewRect& r : {l.tabs, l.paneHeader, l.pane, l.list, l.filterCombo,
                                  l.accountReadout, l.netWorthReadout}) {
            EXPECT_GE(r.width, 0) << page;
            EXPECT_GE(r.height, 0) << page;
        }
    }
}

TEST(ReloadGate, WaitsForTheOutermostWork) {
    CReloadGate gate;
    EXPECT_TRUE(gate.Request(0));
    gate.Done();
    EXPECT_FALSE(gate.IsPending());

    // A command with a box open inside it.
    gate.EnterWork();
    gate.EnterWork();
    EXPECT_FALSE(gate.Request(1));
    EXPECT_FALSE(gate.Request(1));  // asked twice, done once
    EXPECT_FALSE(gate.LeaveWork(1));
    EXPECT_FALSE(gate.LeaveWork(1));  // the box still runs
    EXPECT_TRUE(gate.MayRun(0));
    gate.Done();
    EXPECT_FALSE(gate.MayRun(0));

    // Only other work (a dialog opened outside any command).
    EXPECT_FALSE(gate.Request(1));
    EXPECT_TRUE(gate.IsPending());
    EXPECT_TRUE(gate.MayRun(0));
    // The busy lock was held elsewhere: the reload stays pending.
    EXPECT_TRUE(gate.IsPending());
    gate.EnterWork();
    EXPECT_TRUE(gate.LeaveWork(0));
    EXPECT_FALSE(gate.LeaveWork(0) && gate.Depth() < 0);
    EXPECT_EQ(0, gate.Depth());
}

std::unique_ptr<CTransaction> Tx(std::uint8_t status, bool downloaded = false) {
    auto t = std::make_unique<CTransaction>();
    t->SetStatus(status);
    if (downloaded)
        t->SetReviewState(1);
    return t;
}

TEST(FilterCombo, CountsEveryFilterLeavingVoidOut) {
    CAccount account;
    for (const std::uint8_t s :
         {kStatusOpen, kStatusOpen, kStatusCleared, kStatusReconciled, kStatusVoid, kStatusVoid})
        account.Transactions().push_back(Tx(s));
    account.Transactions().push_back(Tx(kStatusOpen, true));
    const auto counts = CountFilterRows(&account);
    // Cleared counts the reconciled too.
    EXPECT_EQ((std::array<int, 6>{5, 1, 4, 2, 3, 1}), counts);
    const auto texts = FilterComboTexts(&account);
    EXPECT_EQ("All (5)", texts[0]);
    EXPECT_EQ("Reconciled (1)", texts[1]);
    EXPECT_EQ("Unreconciled (4)", texts[2]);
    EXPECT_EQ("Cleared (2)", texts[3]);
    EXPECT_EQ("Uncleared (3)", texts[4]);
    EXPECT_EQ("Downloaded (1)", texts[5]);
    EXPECT_EQ("All (0)", FilterComboTexts(nullptr)[0]);
    EXPECT_EQ(0, ClampFilter(6));
    EXPECT_EQ(0, ClampFilter(0xFFFFFFFFULL));
    EXPECT_EQ(5, ClampFilter(5));
}

}  // namespace
}  // namespace tallowmere::ui
