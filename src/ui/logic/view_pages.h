#pragma once
// The main view's pages and the controls each shows: the four tabs, the
// pane header's text by page, which child control is visible on which page
// (the register list hides on the reports page while it shows the chart),
// and the main window's title.
#include <span>
#include <string>
#include <string_view>

namespace tallowmere::ui {

// The view's child controls by id.
namespace view_id {
inline constexpr int kTabs = 5000;
inline constexpr int kPaneHeader = 5001;
inline constexpr int kAccountsPane = 5002;
inline constexpr int kRegisterList = 5003;
inline constexpr int kFilterCombo = 5004;
inline constexpr int kGoOnline = 32805;
inline constexpr int kTransfer = 32790;
inline constexpr int kNew = 5005;
inline constexpr int kEdit = 5006;
inline constexpr int kDelete = 5007;
inline constexpr int kDetails = 5010;
inline constexpr int kSetBudget = 5011;
inline constexpr int kShowEmpty = 5012;
inline constexpr int kMarkAll = 5013;
inline constexpr int kUnmarkAll = 5014;
inline constexpr int kDone = 5022;
inline constexpr int kReportAccount = 5015;
inline constexpr int kGroupBy = 5016;
inline constexpr int kPeriod = 5017;
inline constexpr int kDisplay = 5020;
inline constexpr int kAmountType = 5021;
inline constexpr int kStartDate = 5018;
inline constexpr int kEndDate = 5019;
}  // namespace view_id

inline constexpr int kViewPageCount = 4;

// Every child control, in the order they are made.
std::span<const int> ViewControlIds();
// Whether the control shows on the page (0-3); chartMode hides the register
// list on the reports page. Unknown ids and pages show nothing.
bool IsControlVisible(int controlId, int page, bool chartMode);

// The tab titles 230, 231, 232 and 234; 0 outside the pages.
int TabStringId(int page);
// The pane header's text: 517, 518, 519, 536; 0 outside the pages.
int PaneHeaderStringId(int page);

// The icon buttons of the bottom band of a page, left to right, each with
// its normal and pressed image of the command strip.
struct ViewButton {
    int id = 0;
    int normal = 0;
    int pressed = 1;
};
std::span<const ViewButton> PageButtons(int page);
// Every icon button with its images.
std::span<const ViewButton> ViewButtons();

// "Tallowmere <version> - <user>": the user's name in UTF-8.
std::string ViewTitleText(std::string_view userNameUtf8);

}  // namespace tallowmere::ui
